#pragma once

#include <QByteArray>
#include <QStringView>
#include <cstring>
#include <string_view>

// Compact JSON text written straight into one buffer: no DOM, and doubles in their shortest form
// that reads back to the same bits.
//
// Callers reserve room for a whole record once and write through a plain pointer; the static
// writers return the new end. Each documents the room it may need.
class JsonWriter final {
public:
    explicit JsonWriter(qsizetype expectedSize = 256);

    char* reserve(qsizetype count);
    void commit(char* end);
    QByteArray take();

    static constexpr qsizetype numberRoom = 32;
    static constexpr qsizetype stringRoom(qsizetype utf16Length) { return utf16Length * 6 + 2; }

    // Text copied as it is: punctuation and keys known to need no escaping. Inline, so the copy
    // of a literal compiles to a few moves.
    static char* raw(char* out, std::string_view text) {
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    }
    static char* string(char* out, QStringView text);
    // nullptr for NaN and infinities, which JSON cannot represent.
    static char* number(char* out, double value);
    static char* number(char* out, qint64 value);

private:
    QByteArray m_out;
    qsizetype m_size = 0;
};
