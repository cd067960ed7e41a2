#include "storage/JsonWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

JsonWriter::JsonWriter(qsizetype expectedSize) {
    m_out.resize(qMax<qsizetype>(expectedSize, 64));
}

char* JsonWriter::reserve(qsizetype count) {
    if (m_size + count > m_out.size())
        m_out.resize(qMax(m_out.size() * 2, m_size + count));
    return m_out.data() + m_size;
}

void JsonWriter::commit(char* end) {
    m_size = end - m_out.constData();
}

char* JsonWriter::string(char* out, QStringView text) {
    static constexpr char hex[] = "0123456789abcdef";
    *out++ = '"';
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        if (c < 0x80) {
            if (c == u'"' || c == u'\\') {
                *out++ = '\\';
                *out++ = static_cast<char>(c);
            } else if (c >= 0x20) {
                *out++ = static_cast<char>(c);
            } else {
                *out++ = '\\';
                switch (c) {
                case u'\n':
                    *out++ = 'n';
                    break;
                case u'\r':
                    *out++ = 'r';
                    break;
                case u'\t':
                    *out++ = 't';
                    break;
                case u'\b':
                    *out++ = 'b';
                    break;
                case u'\f':
                    *out++ = 'f';
                    break;
                default:
                    *out++ = 'u';
                    *out++ = '0';
                    *out++ = '0';
                    *out++ = hex[c >> 4];
                    *out++ = hex[c & 0xF];
                }
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            // A lone surrogate has no UTF-8 form; it becomes U+FFFD so the file stays valid.
            if (c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF)
                c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
            else
                c = 0xFFFD;
        }
        if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *out++ = static_cast<char>(0xF0 | (c >> 18));
            *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    *out++ = '"';
    return out;
}

char* JsonWriter::number(char* out, double value) {
    if (!std::isfinite(value))
        return nullptr;
    if (value == 0 && std::signbit(value)) // "-0" reads back as the integer 0
        return raw(out, "-0.0");
    auto result = std::to_chars(out, out + numberRoom, value);
    // A whole number can come out as a long run of digits ("86000005555555560000"); readers that
    // take such text as an integer fail beyond 64 bits, so large ones go in exponent form.
    if (result.ptr - out > 18 &&
        std::find_if(out, result.ptr, [](char c) { return c == '.' || c == 'e'; }) == result.ptr)
        result = std::to_chars(out, out + numberRoom, value, std::chars_format::scientific);
    return result.ptr;
}

char* JsonWriter::number(char* out, qint64 value) {
    return std::to_chars(out, out + numberRoom, value).ptr;
}

QByteArray JsonWriter::take() {
    m_out.resize(m_size);
    m_size = 0;
    return std::exchange(m_out, QByteArray());
}
