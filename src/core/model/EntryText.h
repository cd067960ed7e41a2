#pragma once

#include <QUuid>
#include <QtEndian>
#include <array>
#include <optional>
#include <string_view>

// Small readers of a stored entry's text, shared by the history's two readers (the one for text
// as this program writes it, and the one through simdjson for everything else).
namespace EntryText {

// Eight bytes as one word, the first byte lowest, whatever the machine's byte order.
inline quint64 word8(const char* text) {
    return qFromLittleEndian<quint64>(text);
}

inline constexpr quint64 eachByte(uchar value) {
    return 0x0101010101010101ULL * value;
}

inline bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// Hex digit values; 0xFF for every other byte. A table: this runs for every stored entry.
inline constexpr std::array<uchar, 256> hexDigits = [] {
    std::array<uchar, 256> table{};
    table.fill(0xFF);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = uchar(i);
    for (int i = 0; i < 6; ++i)
        table['a' + i] = table['A' + i] = uchar(10 + i);
    return table;
}();

// Only the canonical 8-4-4-4-12 form, either case; no braces, no other spellings.
std::optional<QUuid> parseUuid(std::string_view text);

} // namespace EntryText
