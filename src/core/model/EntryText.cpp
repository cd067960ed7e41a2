#include "model/EntryText.h"

namespace EntryText {

// Eight digits at a time: this runs for every stored entry.
std::optional<QUuid> parseUuid(std::string_view text) {
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    const char* const at = text.data();
    quint64 invalid = 0;
    // Eight digits, the first in the word's highest byte, as a number. Once no byte has its top
    // bit set (which `invalid` collects), adding to a byte cannot carry into the next one, so the
    // top bit of each byte of a sum tells whether that byte reaches a bound.
    const auto digits = [&invalid](quint64 word) {
        const auto atLeast = [](quint64 bytes, uchar bound) {
            return (bytes + eachByte(0x80 - bound)) & eachByte(0x80);
        };
        const auto atMost = [](quint64 bytes, uchar bound) {
            return ~(bytes + eachByte(0x7F - bound)) & eachByte(0x80);
        };
        const quint64 lower = word | eachByte(0x20); // 'A'-'F' as 'a'-'f'; nothing else lands there
        const quint64 hex =
            (atLeast(word, '0') & atMost(word, '9')) | (atLeast(lower, 'a') & atMost(lower, 'f'));
        invalid |= (word & eachByte(0x80)) | (hex ^ eachByte(0x80));
        // A digit's value is its low four bits, plus nine for a letter (bit 6 set).
        quint64 n = (word & eachByte(0x0F)) + ((word >> 6) & eachByte(0x01)) * 9;
        n = (n | n >> 4) & 0x00FF00FF00FF00FFULL; // pairs of digits to bytes
        n = (n | n >> 8) & 0x0000FFFF0000FFFFULL;
        return quint32(n | n >> 16);
    };
    const auto halves = [at](int first, int second) {
        return quint64(qFromBigEndian<quint32>(at + first)) << 32 |
               qFromBigEndian<quint32>(at + second);
    };
    const quint32 a = digits(qFromBigEndian<quint64>(at));
    const quint32 b = digits(halves(9, 14));
    const quint32 c = digits(halves(19, 24));
    const quint32 d = digits(qFromBigEndian<quint64>(at + 28));
    if (invalid != 0)
        return std::nullopt;
    QUuid id;
    id.data1 = a;
    id.data2 = ushort(b >> 16);
    id.data3 = ushort(b);
    qToBigEndian(c, id.data4);
    qToBigEndian(d, id.data4 + 4);
    return id;
}

} // namespace EntryText
