#include "model/WrittenEntries.h"

#include "model/EntryText.h"
#include "model/TaskNameCache.h"

#include <QtEndian>
#include <charconv>
#include <cstring>
#include <fast_float/fast_float.h>
#include <simdjson.h>
#include <string>

namespace WrittenEntries {
namespace {

using namespace EntryText;

// The byte-wise flags behind the name scan: the top bit of each byte of the result is set for a
// byte of `word` that is `byte` (or below `bound`). Only the flag of the first such byte is sure:
// a borrow may set one above it.
quint64 bytesEqual(quint64 word, uchar byte) {
    const quint64 x = word ^ eachByte(byte);
    return (x - eachByte(1)) & ~x & eachByte(0x80);
}
quint64 bytesBelow(quint64 word, uchar bound) {
    return (word - eachByte(bound)) & ~word & eachByte(0x80);
}

// The text of a JSON number, -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?, and the value of its
// digits when it has no exponent and at most 19 of them.
struct Number {
    std::string_view text; // empty for anything else
    bool negative = false;
    bool integer = true;
    bool exponent = false;
    bool plain = false; // then the value is `digits` / 10^`decimals`
    quint64 digits = 0;
    int decimals = 0;
};

class WrittenRun final {
public:
    explicit WrittenRun(std::string_view text)
        : m_at(text.data())
        , m_end(text.data() + text.size()) {}

    // `text` is a run: '[', entries separated by commas, ']', then nothing but space. False, with
    // whatever it appended left in the list, for anything else.
    bool read(TaskNameCache& names, QList<TaskEntry>& tasks) {
        if (!take('['))
            return false;
        if (!take(']')) {
            do {
                if (!entry(names, tasks))
                    return false;
            } while (take(','));
            if (!take(']'))
                return false;
        }
        while (m_at < m_end && isJsonSpace(*m_at))
            ++m_at;
        return m_at == m_end;
    }

    // The entries of the array from a place between two of them on, for text that is not all there
    // yet. `afterComma`: the last thing read was a comma, so an entry must follow; kept up to date.
    Progress entries(TaskNameCache& names, QList<TaskEntry>& tasks, bool& afterComma) {
        const char* const start = m_at;
        for (;;) {
            const char* const boundary = m_at;
            m_short = false;
            if (!afterComma && m_at < m_end && *m_at == ']')
                return {Stop::Closed, m_at + 1 - start};
            if (!entry(names, tasks))
                return {m_short ? Stop::Short : Stop::Other, boundary - start};
            // entry() made sure a comma or the ']' follows.
            if (*m_at++ == ']')
                return {Stop::Closed, m_at - start};
            afterComma = true;
        }
    }

private:
    bool take(char c) {
        if (m_at == m_end) {
            m_short = true;
            return false;
        }
        if (*m_at != c)
            return false;
        ++m_at;
        return true;
    }
    // A literal's length is known here, so the comparison compiles to a few loads of words,
    // the last overlapping the one before.
    template <size_t size> bool take(const char (&literal)[size]) {
        constexpr size_t length = size - 1;
        static_assert(length >= 4);
        if (size_t(m_end - m_at) < length) {
            m_short = true;
            return false;
        }
        quint64 differs = 0;
        if constexpr (length < 8) {
            differs = qFromLittleEndian<quint32>(m_at) ^ qFromLittleEndian<quint32>(literal);
            differs |= qFromLittleEndian<quint32>(m_at + length - 4) ^
                       qFromLittleEndian<quint32>(literal + length - 4);
        } else {
            for (size_t i = 0; i + 8 < length; i += 8)
                differs |= word8(m_at + i) ^ word8(literal + i);
            differs |= word8(m_at + length - 8) ^ word8(literal + length - 8);
        }
        if (differs != 0)
            return false;
        m_at += length;
        return true;
    }
    // The same bytes as `text` again.
    bool takeAgain(std::string_view text) {
        const size_t length = text.size();
        if (size_t(m_end - m_at) < length)
            return false;
        size_t i = 0;
        for (; i + 8 <= length; i += 8) {
            if (word8(m_at + i) != word8(text.data() + i))
                return false;
        }
        for (; i < length; ++i) {
            if (m_at[i] != text[i])
                return false;
        }
        m_at += length;
        return true;
    }

    // Digits, adding them to `value` (which wraps beyond 19 of them); how many. A word at a time:
    // the first byte that is not a digit is the lowest flagged below, as no digit borrows or
    // carries into the byte above it.
    qsizetype digits(quint64& value) {
        static constexpr quint64 powersOfTen[8] = {1,     10,     100,     1000,
                                                   10000, 100000, 1000000, 10000000};
        const char* const first = m_at;
        while (m_end - m_at >= 8) {
            const quint64 word = word8(m_at);
            const quint64 others =
                ((word + eachByte(0x46)) | (word - eachByte('0'))) & eachByte(0x80);
            if (others == 0) {
                value = value * 100000000 + fast_float::parse_eight_digits_unrolled(word);
                m_at += 8;
                continue;
            }
            const int count = std::countr_zero(others) / 8;
            if (count > 0) {
                // The digits moved to the top of the word behind as many zeros as were not digits.
                const int shift = 64 - 8 * count;
                value = value * powersOfTen[count] +
                        fast_float::parse_eight_digits_unrolled(word << shift |
                                                                eachByte('0') >> (64 - shift));
                m_at += count;
            }
            return m_at - first;
        }
        while (m_at < m_end && uchar(*m_at - '0') < 10) {
            value = value * 10 + uchar(*m_at - '0');
            ++m_at;
        }
        return m_at - first;
    }

    // Text that ends where a number should go on may yet be one.
    Number notANumber() {
        m_short = m_short || m_at == m_end;
        return {};
    }

    Number number() {
        Number number;
        const char* const start = m_at;
        number.negative = take('-');
        const char* const whole = m_at;
        const qsizetype wholeDigits = digits(number.digits);
        if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0'))
            return notANumber();
        if (take('.')) {
            number.integer = false;
            number.decimals = int(digits(number.digits));
            if (number.decimals == 0)
                return notANumber();
        }
        number.plain = wholeDigits + number.decimals <= 19;
        if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
            number.integer = false;
            number.exponent = true;
            number.plain = false;
            ++m_at;
            if (!take('+'))
                take('-');
            quint64 exponent = 0;
            if (digits(exponent) == 0)
                return notANumber();
        }
        number.text = std::string_view(start, size_t(m_at - start));
        return number;
    }

    // A string's text up to its closing quote, unescaped as simdjson would; escapes other than
    // those of one character or of a code point outside the surrogates are left to simdjson.
    // Whether it is UTF-8 is for the name cache to tell.
    bool name(std::string_view* into) {
        const char* const start = m_at;
        // A word at a time up to the first byte that needs a look: a quote, a backslash or a
        // control character.
        while (m_end - m_at >= 8) {
            const quint64 word = word8(m_at);
            const quint64 stops =
                bytesEqual(word, '"') | bytesEqual(word, '\\') | bytesBelow(word, 0x20);
            if (stops != 0) {
                m_at += std::countr_zero(stops) / 8;
                break;
            }
            m_at += 8;
        }
        bool escaped = false;
        while (m_at < m_end && *m_at != '"') {
            const auto c = uchar(*m_at++);
            if (c < 0x20)
                return false;
            if (c == '\\') {
                // The escaped character is taken apart below; a quote here does not end the name.
                if (m_at == m_end) {
                    m_short = true;
                    return false;
                }
                ++m_at;
                escaped = true;
            }
        }
        const std::string_view raw(start, size_t(m_at - start));
        if (!take('"'))
            return false;
        if (!escaped) {
            *into = raw;
            return true;
        }
        m_unescaped.clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\') {
                m_unescaped.push_back(raw[i]);
                continue;
            }
            if (++i == raw.size())
                return false;
            switch (raw[i]) {
            case '"':
            case '\\':
            case '/':
                m_unescaped.push_back(raw[i]);
                break;
            case 'b':
                m_unescaped.push_back('\b');
                break;
            case 'f':
                m_unescaped.push_back('\f');
                break;
            case 'n':
                m_unescaped.push_back('\n');
                break;
            case 'r':
                m_unescaped.push_back('\r');
                break;
            case 't':
                m_unescaped.push_back('\t');
                break;
            case 'u': {
                if (raw.size() - i < 5)
                    return false;
                char32_t code = 0;
                for (size_t k = 1; k <= 4; ++k) {
                    const uchar digit = hexDigits[uchar(raw[i + k])];
                    if (digit > 0xF)
                        return false;
                    code = code << 4 | digit;
                }
                i += 4;
                if (code >= 0xD800 && code <= 0xDFFF)
                    return false;
                if (code < 0x80) {
                    m_unescaped.push_back(char(code));
                } else if (code < 0x800) {
                    m_unescaped.push_back(char(0xC0 | code >> 6));
                    m_unescaped.push_back(char(0x80 | (code & 0x3F)));
                } else {
                    m_unescaped.push_back(char(0xE0 | code >> 12));
                    m_unescaped.push_back(char(0x80 | (code >> 6 & 0x3F)));
                    m_unescaped.push_back(char(0x80 | (code & 0x3F)));
                }
                break;
            }
            default:
                return false;
            }
        }
        *into = m_unescaped;
        return true;
    }

    // Correctly rounded, as readInstant() reads it. A plain decimal is digits / 10^k with k <= 19,
    // which fast_float's Eisel-Lemire step rounds exactly in integers (it says so with a power of
    // two that is not negative); longer ones go to from_chars. A number with an exponent, which
    // simdjson may refuse where from_chars does not (0e99999999999999999999), is left to simdjson.
    bool instant(double* into) {
        const Number number = this->number();
        if (number.text.empty() || number.exponent)
            return false;
        if (number.plain) {
            using Binary = fast_float::binary_format<double>;
            const fast_float::adjusted_mantissa rounded =
                fast_float::compute_float<Binary>(-number.decimals, number.digits);
            if (number.digits == 0 ||
                (rounded.power2 > 0 && rounded.power2 < Binary::infinite_power())) {
                fast_float::to_float(number.negative, rounded, *into);
                return true;
            }
        }
        const char* const last = number.text.data() + number.text.size();
        const auto [end, error] = std::from_chars(number.text.data(), last, *into);
        return error == std::errc() && end == last;
    }

    // One entry, appended only when a comma or a ']' follows it (which is left to read).
    bool entry(TaskNameCache& names, QList<TaskEntry>& tasks) {
        if (!take(R"({"id":")"))
            return false;
        if (m_end - m_at < 36) {
            m_short = true;
            return false;
        }
        const std::optional<QUuid> id = parseUuid(std::string_view(m_at, 36));
        m_at += 36;
        if (!id || !take(R"(","taskName":")"))
            return false;
        std::string_view nameText;
        if (!name(&nameText) || !take(R"(,"duration":)"))
            return false;
        const Number durationNumber = number();
        // "-0" and the edges of 64 bits are left to simdjson.
        if (durationNumber.text.empty() || !durationNumber.integer ||
            durationNumber.text.size() > 18 || durationNumber.text.starts_with("-0"))
            return false;
        const auto duration = qint64(durationNumber.digits);
        double start = 0;
        double end = 0;
        double completion = 0;
        if (!take(R"(,"startTime":)") || !instant(&start) || !take(R"(,"endTime":)"))
            return false;
        const char* const endText = m_at;
        if (!instant(&end))
            return false;
        const std::string_view endNumber(endText, size_t(m_at - endText));
        if (!take(R"(,"completionDate":)"))
            return false;
        // Written as the same text as the end, as this program does: the same number.
        const char* const completionText = m_at;
        if (takeAgain(endNumber) && m_at < m_end && *m_at == '}') {
            completion = end;
        } else {
            m_at = completionText;
            if (!instant(&completion))
                return false;
        }
        if (!take('}'))
            return false;
        if (m_at == m_end) {
            m_short = true;
            return false;
        }
        if (*m_at != ',' && *m_at != ']')
            return false;
        const TaskEntry::Name* const taskName = names(nameText);
        if (!taskName)
            return false;
        tasks.emplaceBack(*id, *taskName, durationNumber.negative ? -duration : duration,
                          Instant(start), Instant(end), Instant(completion));
        return true;
    }

    const char* m_at;
    const char* const m_end;
    bool m_short = false; // a step failed for want of text
    std::string m_unescaped;
};

} // namespace

bool readRun(std::string_view text, TaskNameCache& names, QList<TaskEntry>& tasks) {
    return WrittenRun(text).read(names, tasks);
}

Progress readEntries(std::string_view text, TaskNameCache& names, QList<TaskEntry>& tasks,
                     bool& afterComma) {
    return WrittenRun(text).entries(names, tasks, afterComma);
}

} // namespace WrittenEntries
