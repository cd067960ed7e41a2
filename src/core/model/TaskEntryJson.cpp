#include "model/TaskEntryJson.h"

#include "storage/JsonText.h"
#include "storage/JsonWriter.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <fast_float/fast_float.h>
#include <memory>
#include <simdjson.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace std::string_view_literals;
namespace ondemand = simdjson::ondemand;

// Hex digit values; 0xFF for every other byte. A table: this runs for every stored entry.
constexpr std::array<uchar, 256> hexDigits = [] {
    std::array<uchar, 256> table{};
    table.fill(0xFF);
    for (int i = 0; i < 10; ++i)
        table['0' + i] = uchar(i);
    for (int i = 0; i < 6; ++i)
        table['a' + i] = table['A' + i] = uchar(10 + i);
    return table;
}();

// Eight bytes as one word, the first byte lowest, whatever the machine's byte order.
quint64 word8(const char* text) {
    return qFromLittleEndian<quint64>(text);
}

constexpr quint64 eachByte(uchar value) {
    return 0x0101010101010101ULL * value;
}

// Only the canonical 8-4-4-4-12 form, either case; no braces, no other spellings. Eight digits
// at a time: this runs for every stored entry.
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

char* writeUuid(char* out, const QUuid& id) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const uchar bytes[16] = {
        uchar(id.data1 >> 24), uchar(id.data1 >> 16), uchar(id.data1 >> 8), uchar(id.data1),
        uchar(id.data2 >> 8),  uchar(id.data2),       uchar(id.data3 >> 8), uchar(id.data3),
        id.data4[0],           id.data4[1],           id.data4[2],          id.data4[3],
        id.data4[4],           id.data4[5],           id.data4[6],          id.data4[7]};
    *out++ = '"';
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        *out++ = hex[bytes[i] >> 4];
        *out++ = hex[bytes[i] & 0xF];
    }
    *out++ = '"';
    return out;
}

// A hash of a name for NameCache: a word at a time, the last one or two words overlapping what
// came before, so short names cost a few multiplications.
size_t hashOf(std::string_view text) {
    constexpr quint64 odd = 0x9E3779B97F4A7C15ULL;
    const char* at = text.data();
    size_t left = text.size();
    quint64 hash = left * odd;
    const auto mix = [&hash](quint64 word) {
        hash = (hash ^ word) * 0xBF58476D1CE4E5B9ULL;
        hash ^= hash >> 31;
    };
    for (; left > 8; at += 8, left -= 8)
        mix(word8(at));
    if (left >= 4)
        mix(quint64(qFromLittleEndian<quint32>(at)) << 32 |
            qFromLittleEndian<quint32>(at + left - 4));
    else if (left > 0)
        mix(quint64(uchar(at[0])) << 16 | quint64(uchar(at[left / 2])) << 8 | uchar(at[left - 1]));
    return size_t(hash);
}

// Histories name the same few tasks thousands of times; each distinct name is converted once and
// shared by every entry that carries it. The keys are copied, all into one buffer: the text they
// came from is gone by the time the next piece of a history is read.
class NameCache final {
public:
    // nullptr for text that is not UTF-8. Only a name seen for the first time is checked: the
    // keys held are all valid.
    const TaskEntry::Name* operator()(std::string_view utf8) {
        if (m_names.size() * 2 >= m_slots.size())
            grow();
        const size_t hash = hashOf(utf8);
        for (size_t at = hash & (m_slots.size() - 1);; at = (at + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[at];
            if (slot.index == 0) {
                if (!simdjson::validate_utf8(utf8.data(), utf8.size()))
                    return nullptr;
                m_names.push_back(
                    {m_keys.size(), utf8.size(), hash,
                     TaskEntry::Name(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))});
                m_keys.append(utf8);
                slot = {hash, m_names.size()};
                return &m_names.back().name;
            }
            if (slot.hash != hash)
                continue;
            const Known& known = m_names[slot.index - 1];
            if (known.length == utf8.size() && sameBytes(m_keys.data() + known.offset, utf8))
                return &known.name;
        }
    }

private:
    struct Known {
        size_t offset;
        size_t length;
        size_t hash;
        TaskEntry::Name name;
    };
    struct Slot {
        size_t hash = 0;
        size_t index = 0; // in m_names, plus one; 0 for a free slot
    };

    // Names are short: a word at a time beats a call to memcmp.
    static bool sameBytes(const char* key, std::string_view text) {
        size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            if (word8(key + i) != word8(text.data() + i))
                return false;
        }
        for (; i < text.size(); ++i) {
            if (key[i] != text[i])
                return false;
        }
        return true;
    }
    void grow() {
        m_slots.assign(std::max<size_t>(64, m_slots.size() * 2), Slot());
        const size_t mask = m_slots.size() - 1;
        for (size_t i = 0; i < m_names.size(); ++i) {
            size_t at = m_names[i].hash & mask;
            while (m_slots[at].index != 0)
                at = (at + 1) & mask;
            m_slots[at] = {m_names[i].hash, i + 1};
        }
    }

    std::string m_keys;
    std::vector<Known> m_names;
    std::vector<Slot> m_slots; // open addressing; a power of two, at most half full
};

bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

// An instant as simdjson reads it, with the value from_chars gives the same text: the simdjson
// this builds with misreads some numbers of more than 19 digits (0.95000000000000000000 as
// 0.0277), and both readers of the history must agree with each other and with the file. Where
// from_chars turns the text down (a value too small for a double), simdjson's value stands.
bool readInstant(ondemand::value value, double* into) {
    const std::string_view token = value.raw_json_token();
    if (value.get_double().get(*into))
        return false;
    size_t length = token.size();
    while (length > 0 && isJsonSpace(token[length - 1]))
        --length;
    double exact = 0;
    const char* const last = token.data() + length;
    const auto [end, error] = std::from_chars(token.data(), last, exact);
    if (error == std::errc() && end == last)
        *into = exact;
    return true;
}

// One entry, read member by member straight from the text: no document tree is built, which
// keeps a long history's peak memory near the size of its file.
std::optional<TaskEntry> decodeEntry(ondemand::value element, NameCache& names) {
    ondemand::object object;
    if (element.get_object().get(object))
        return std::nullopt;

    enum : unsigned {
        Id = 1,
        Name = 2,
        Duration = 4,
        Start = 8,
        End = 16,
        Completion = 32,
        All = 63
    };
    unsigned seen = 0;
    QUuid id;
    std::string_view name;
    int64_t duration = 0;
    double start = 0, end = 0, completion = 0;

    for (auto member : object) {
        ondemand::field field;
        std::string_view key;
        if (std::move(member).get(field) || field.unescaped_key().get(key))
            return std::nullopt;
        ondemand::value value = field.value();
        if (key == "id"sv) {
            std::string_view text;
            if (value.get_string().get(text))
                return std::nullopt;
            const auto parsed = parseUuid(text);
            if (!parsed)
                return std::nullopt;
            id = *parsed;
            seen |= Id;
        } else if (key == "taskName"sv) {
            if (value.get_string().get(name))
                return std::nullopt;
            seen |= Name;
        } else if (key == "duration"sv) {
            // Integers only: 1500.0 or 1.5e3 are numbers of another type.
            ondemand::number_type type{};
            if (value.get_number_type().get(type) ||
                type == ondemand::number_type::floating_point_number ||
                value.get_int64().get(duration))
                return std::nullopt;
            seen |= Duration;
        } else if (key == "startTime"sv) {
            if (!readInstant(value, &start))
                return std::nullopt;
            seen |= Start;
        } else if (key == "endTime"sv) {
            if (!readInstant(value, &end))
                return std::nullopt;
            seen |= End;
        } else if (key == "completionDate"sv) {
            if (!readInstant(value, &completion))
                return std::nullopt;
            seen |= Completion;
        }
        // An unknown member's value is skipped by the next step of the loop.
    }
    const TaskEntry::Name* const taskName = seen == All ? names(name) : nullptr;
    if (!taskName)
        return std::nullopt;
    return TaskEntry(id, *taskName, duration, Instant(start), Instant(end), Instant(completion));
}

// Nothing but space after the value: no trailing text, no second document.
bool atEnd(ondemand::document& document) {
    return document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

// Appends the entries of a document that must be an array of them with nothing after it; false
// for anything else, with whatever was appended before the fault left in the list.
bool decodeArray(ondemand::parser& parser, simdjson::padded_string_view text, NameCache& names,
                 QList<TaskEntry>& tasks) {
    ondemand::document document;
    ondemand::array array;
    if (parser.iterate(text).get(document) || document.get_array().get(array))
        return false;
    for (auto element : array) {
        ondemand::value value;
        if (std::move(element).get(value))
            return false;
        auto entry = decodeEntry(value, names);
        if (!entry)
            return false;
        tasks.append(std::move(*entry));
    }
    return atEnd(document);
}

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

// The entries exactly as this program writes them, read without simdjson: the same members in
// the same order, no space, no escapes in the name. Reading them this way costs a fraction of
// what simdjson's generic walk does. Anything else, however slight, makes it give up, and the
// text from the entry it stopped at goes to simdjson, which decides.
class WrittenRun final {
public:
    explicit WrittenRun(std::string_view text)
        : m_at(text.data())
        , m_end(text.data() + text.size()) {}

    // `text` is a run: '[', entries separated by commas, ']', then nothing but space. False, with
    // whatever it appended left in the list, for anything else.
    bool read(NameCache& names, QList<TaskEntry>& tasks) {
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

    enum class Stop {
        Short,  // the text ends inside an entry or before the next one begins
        Closed, // the array's ']' is read
        Other,  // something this does not read
    };
    struct Progress {
        Stop stop;
        qsizetype read; // bytes taken: every entry they hold is in the list
    };
    // The entries of the array from a place between two of them on, for text that is not all there
    // yet. `afterComma`: the last thing read was a comma, so an entry must follow; kept up to date.
    Progress entries(NameCache& names, QList<TaskEntry>& tasks, bool& afterComma) {
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
    bool entry(NameCache& names, QList<TaskEntry>& tasks) {
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

// The text to iterate: the caller's bytes where their allocation leaves simdjson's padding behind
// them (a file read by the store does), else a padded copy.
class PaddedInput final {
public:
    PaddedInput(QByteArrayView bytes, qsizetype capacity) {
        const QByteArrayView json = withoutByteOrderMark(bytes);
        m_empty = json.isEmpty();
        const qsizetype room = capacity - (json.data() - bytes.data());
        if (room >= json.size() + qsizetype(simdjson::SIMDJSON_PADDING)) {
            m_view = simdjson::padded_string_view(json.data(), size_t(json.size()), size_t(room));
        } else {
            m_copy = simdjson::padded_string(json.data(), size_t(json.size()));
            m_view = m_copy;
        }
    }
    bool isEmpty() const { return m_empty; }
    simdjson::padded_string_view view() const { return m_view; }

private:
    simdjson::padded_string m_copy;
    simdjson::padded_string_view m_view;
    bool m_empty = true;
};

// Room for everything but the name: keys, id, a duration and three instants.
constexpr qsizetype fixedEntryRoom = 120 + 4 * JsonWriter::numberRoom;

// nullptr when an instant is not a finite number.
char* writeEntry(char* out, const TaskEntry& task) {
    out = JsonWriter::raw(out, R"({"id":)"sv);
    out = writeUuid(out, task.id());
    out = JsonWriter::raw(out, R"(,"taskName":)"sv);
    out = JsonWriter::string(out, task.taskName());
    out = JsonWriter::raw(out, R"(,"duration":)"sv);
    out = JsonWriter::number(out, task.duration());
    out = JsonWriter::raw(out, R"(,"startTime":)"sv);
    if (!(out = JsonWriter::number(out, task.startTime().secondsSinceReference())))
        return nullptr;
    out = JsonWriter::raw(out, R"(,"endTime":)"sv);
    char* const endText = out;
    if (!(out = JsonWriter::number(out, task.endTime().secondsSinceReference())))
        return nullptr;
    const qsizetype endLength = out - endText;
    out = JsonWriter::raw(out, R"(,"completionDate":)"sv);
    // Completion and end are the same instant in every entry this program makes.
    if (std::bit_cast<quint64>(task.completionDate().secondsSinceReference()) ==
        std::bit_cast<quint64>(task.endTime().secondsSinceReference())) {
        std::memmove(out, endText, size_t(endLength));
        out += endLength;
    } else if (!(out = JsonWriter::number(out, task.completionDate().secondsSinceReference()))) {
        return nullptr;
    }
    *out++ = '}';
    return out;
}

} // namespace

std::optional<QList<TaskEntry>> decodeTaskHistory(QByteArrayView json, qsizetype capacity) {
    const PaddedInput input(json, capacity);
    if (input.isEmpty())
        return std::nullopt;
    ondemand::parser parser;
    NameCache names;
    QList<TaskEntry> tasks;
    // Roughly one entry per 150 bytes; a guess that saves the list most of its regrowth.
    tasks.reserve(json.size() / 150 + 1);
    if (!decodeArray(parser, input.view(), names, tasks))
        return std::nullopt;
    tasks.squeeze();
    return tasks;
}

std::optional<QList<TaskEntry>> decodeTaskHistory(QByteArrayView json) {
    return decodeTaskHistory(json, json.size());
}

std::optional<QList<TaskEntry>> decodeTaskHistory(const QByteArray& json) {
    return decodeTaskHistory(json, json.capacity());
}

std::optional<TaskEntry> decodeTaskEntry(QByteArrayView json) {
    const PaddedInput input(json, json.size());
    if (input.isEmpty())
        return std::nullopt;
    ondemand::parser parser;
    ondemand::document document;
    ondemand::value value;
    if (parser.iterate(input.view()).get(document) || document.get_value().get(value))
        return std::nullopt;
    NameCache names;
    auto entry = decodeEntry(value, names);
    if (!entry || !atEnd(document))
        return std::nullopt;
    return entry;
}

bool encodeTaskHistory(const QList<TaskEntry>& tasks, QByteArray& into) {
    into.clear();
    JsonWriter out(tasks.size() * 180 + 2);
    char* p = JsonWriter::raw(out.reserve(1), "[");
    bool first = true;
    for (const TaskEntry& task : tasks) {
        out.commit(p);
        p = out.reserve(JsonWriter::stringRoom(task.taskName().size()) + fixedEntryRoom + 1);
        if (!first)
            *p++ = ',';
        first = false;
        if (!(p = writeEntry(p, task)))
            return false;
    }
    out.commit(p);
    out.commit(JsonWriter::raw(out.reserve(1), "]"));
    into = out.take();
    return true;
}

std::optional<QByteArray> encodeTaskHistory(const QList<TaskEntry>& tasks) {
    QByteArray bytes;
    if (!encodeTaskHistory(tasks, bytes))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> encodeTaskEntry(const TaskEntry& task) {
    JsonWriter out;
    char* p = writeEntry(
        out.reserve(JsonWriter::stringRoom(task.taskName().size()) + fixedEntryRoom), task);
    if (!p)
        return std::nullopt;
    out.commit(p);
    return out.take();
}

// Text written by this program is read straight from the pieces as they come, entry by entry;
// only an entry that a piece cuts in two is copied, into `carry`, to be read with the next piece.
//
// Anything else (the first entry the fast reader turns down, and all text after it) is read in
// runs of entries: the text not yet read sits in one buffer with simdjson's padding behind it. It
// starts at the opener of the next run: the array's own '[', or the comma after the last entry
// read, overwritten with '['. A run ends at an entry's '}' followed by a comma; a ']' written
// behind that '}' makes the run a document of its own. Read like that, a run goes through exactly
// the steps the whole text would: the same bytes, outside any string, one level inside the array.
// Were the cut inside a string, the run would end in an unclosed one, which simdjson refuses;
// then an earlier cut is tried.
struct TaskHistoryDecoder::State {
    enum class Mode {
        Opening, // looking for the array's '['
        Entries, // reading straight from the pieces
        Runs,    // reading runs from the buffer
    };
    Mode mode = Mode::Opening;
    qsizetype batchBytes = 0;
    ondemand::parser parser;
    NameCache names;
    QList<TaskEntry> tasks;
    std::string carry;   // Entries: the text from the last place between two entries on
    bool closed = false; // Entries: the array's ']' is read, so only space may follow
    std::unique_ptr<char[]> text;
    qsizetype capacity = 0;
    qsizetype begin = 0; // the next run's opener
    qsizetype end = 0;
    qsizetype searchedTo = 0; // no cut before this
    qint64 total = 0;
    bool afterComma = false; // the last thing read was a comma, so an entry must follow
    bool failed = false;
    int failures = 0; // cuts of the current run that did not read

    // Cuts tried before giving up on a run: only a name holding "}," can spoil one.
    static constexpr int triesPerRun = 4;
    enum class Run { Read, NeedMore, Failed };
    // An entry this long that no piece completes is read in runs instead of being tried again
    // with every piece.
    qsizetype carryLimit() const { return std::max<qsizetype>(batchBytes, 1 << 12); }

    void append(QByteArrayView piece) {
        if (begin > 0) {
            std::memmove(text.get(), text.get() + begin, size_t(end - begin));
            end -= begin;
            searchedTo -= begin;
            begin = 0;
        }
        const qsizetype needed = end + piece.size() + qsizetype(simdjson::SIMDJSON_PADDING);
        if (needed > capacity) {
            const qsizetype grown = std::max(needed, capacity * 2);
            auto larger = std::make_unique<char[]>(size_t(grown));
            if (end > 0)
                std::memcpy(larger.get(), text.get(), size_t(end));
            text = std::move(larger);
            capacity = grown;
        }
        if (!piece.isEmpty())
            std::memcpy(text.get() + end, piece.data(), size_t(piece.size()));
        end += piece.size();
    }

    // Finds the array's '[' behind an optional byte-order mark and space; false while it cannot
    // tell yet (or, when `last`, at all).
    bool open(bool last) {
        static constexpr std::string_view mark = "\xEF\xBB\xBF";
        const std::string_view held(text.get(), size_t(end));
        if (!last && held.size() < mark.size() && mark.starts_with(held))
            return false;
        qsizetype at = held.starts_with(mark) ? qsizetype(mark.size()) : 0;
        while (at < end && isJsonSpace(text[at]))
            ++at;
        if (at == end) {
            failed = last;
            return false;
        }
        if (text[at] != '[') {
            failed = true;
            return false;
        }
        begin = at;
        searchedTo = at + 1;
        return true;
    }

    // From the buffer, where the '[' is found, to the pieces.
    void startEntries() {
        carry.assign(text.get() + begin + 1, size_t(end - begin - 1));
        text.reset();
        capacity = begin = end = searchedTo = 0;
        mode = Mode::Entries;
    }

    // Hands the text not yet read, `held` followed by `rest`, to the run reader.
    void startRuns(std::string_view held, QByteArrayView rest) {
        mode = Mode::Runs;
        append("[");
        append(QByteArrayView(held.data(), qsizetype(held.size())));
        append(rest);
        searchedTo = 1;
        carry = std::string();
    }

    void fail() { failed = true; }

    static bool onlySpace(QByteArrayView bytes) {
        return std::all_of(bytes.begin(), bytes.end(), isJsonSpace);
    }

    WrittenRun::Progress readEntries(std::string_view from) {
        return WrittenRun(from).entries(names, tasks, afterComma);
    }

    // The next piece, in Entries mode.
    void readPiece(QByteArrayView piece) {
        using Stop = WrittenRun::Stop;
        qsizetype taken = 0; // bytes of the piece in the carry or read
        if (!carry.empty()) {
            // The entry that the last piece cut, with as much of this one as it takes.
            for (;;) {
                const auto held = qsizetype(carry.size());
                const qsizetype more =
                    std::min(piece.size() - taken, std::max<qsizetype>(held, 256));
                carry.append(piece.data() + taken, size_t(more));
                taken += more;
                const WrittenRun::Progress read = readEntries(carry);
                carry.erase(0, size_t(read.read));
                if (read.stop == Stop::Closed) {
                    closed = true;
                    if (!onlySpace(QByteArrayView(carry.data(), qsizetype(carry.size()))) ||
                        !onlySpace(piece.sliced(taken)))
                        fail();
                    carry.clear();
                    return;
                }
                if (read.stop == Stop::Other) {
                    startRuns(carry, piece.sliced(taken));
                    return;
                }
                if (read.read >= held) {
                    // What is left of the carry is the end of what came from this piece.
                    taken -= qsizetype(carry.size());
                    carry.clear();
                    break;
                }
                if (taken == piece.size()) {
                    if (qsizetype(carry.size()) > carryLimit())
                        startRuns(carry, {});
                    return;
                }
            }
        }
        const QByteArrayView rest = piece.sliced(taken);
        const WrittenRun::Progress read =
            readEntries(std::string_view(rest.data(), size_t(rest.size())));
        const QByteArrayView unread = rest.sliced(read.read);
        switch (read.stop) {
        case Stop::Short:
            if (unread.size() > carryLimit())
                startRuns({}, unread);
            else
                carry.assign(unread.data(), size_t(unread.size()));
            return;
        case Stop::Closed:
            closed = true;
            if (!onlySpace(unread))
                fail();
            return;
        case Stop::Other:
            startRuns({}, unread);
            return;
        }
    }

    simdjson::padded_string_view view(qsizetype length) const {
        return simdjson::padded_string_view(text.get() + begin, size_t(length),
                                            size_t(capacity - begin));
    }

    // The `length` bytes from the opener as one run; false, with nothing appended, when they do
    // not hold one.
    bool decodeRun(qsizetype length) {
        const qsizetype before = tasks.size();
        if (WrittenRun(std::string_view(text.get() + begin, size_t(length))).read(names, tasks))
            return true;
        tasks.erase(tasks.begin() + before, tasks.end());
        if (decodeArray(parser, view(length), names, tasks))
            return true;
        tasks.erase(tasks.begin() + before, tasks.end());
        return false;
    }

    Run readRun() {
        qsizetype comma = end;
        while (failures < triesPerRun) {
            // The last comma before `comma` that follows an entry's closing brace.
            qsizetype brace = -1;
            while (--comma >= searchedTo) {
                if (text[comma] != ',')
                    continue;
                qsizetype before = comma - 1;
                while (before > begin && isJsonSpace(text[before]))
                    --before;
                if (before > begin && text[before] == '}') {
                    brace = before;
                    break;
                }
            }
            if (brace < 0) {
                // Later text brings the next cuts to try.
                searchedTo = end;
                return Run::NeedMore;
            }
            const qsizetype cut = brace + 1;
            const char replaced = text[cut];
            text[cut] = ']';
            if (decodeRun(cut + 1 - begin)) {
                text[comma] = '[';
                begin = comma;
                searchedTo = comma + 1;
                afterComma = true;
                failures = 0;
                return Run::Read;
            }
            text[cut] = replaced;
            ++failures;
        }
        return Run::Failed;
    }
};

TaskHistoryDecoder::TaskHistoryDecoder(qsizetype batchBytes)
    : d(std::make_unique<State>()) {
    d->batchBytes = std::max<qsizetype>(batchBytes, 1);
}

TaskHistoryDecoder::~TaskHistoryDecoder() = default;

void TaskHistoryDecoder::expectBytes(qint64 total) {
    // The same guess as decodeTaskHistory(). Pages of the list that no entry reaches are never
    // touched, so an overestimate costs address space, not memory.
    if (total > 0)
        d->tasks.reserve(qsizetype(total / 150 + 1));
}

bool TaskHistoryDecoder::feed(QByteArrayView piece) {
    if (d->failed)
        return false;
    d->total += piece.size();
    // Beyond what simdjson reads as one document, and so beyond what decodeTaskHistory() reads.
    if (d->total > qint64(simdjson::SIMDJSON_MAXSIZE_BYTES)) {
        d->fail();
        return false;
    }
    using Mode = State::Mode;
    switch (d->mode) {
    case Mode::Opening:
        d->append(piece);
        if (!d->open(false))
            return !d->failed;
        d->startEntries();
        d->readPiece({});
        break;
    case Mode::Entries:
        if (d->closed) {
            if (!State::onlySpace(piece))
                d->fail();
        } else {
            d->readPiece(piece);
        }
        break;
    case Mode::Runs:
        d->append(piece);
        break;
    }
    if (d->mode != Mode::Runs)
        return !d->failed;
    while (d->end - d->begin >= d->batchBytes) {
        const State::Run run = d->readRun();
        if (run == State::Run::Failed) {
            d->fail();
            return false;
        }
        if (run == State::Run::NeedMore)
            break;
    }
    return true;
}

std::optional<QList<TaskEntry>> TaskHistoryDecoder::finish() {
    using Mode = State::Mode;
    if (d->failed || (d->mode == Mode::Opening && !d->open(true)))
        return std::nullopt;
    if (d->mode == Mode::Entries) {
        if (d->closed)
            return std::move(d->tasks);
        // Whatever the pieces ended with, the run reader judges.
        d->startRuns(d->carry, {});
    }
    const qsizetype before = d->tasks.size();
    if (!d->decodeRun(d->end - d->begin))
        return std::nullopt;
    // "[…},]": the comma that opened the last run must have an entry after it.
    if (d->afterComma && d->tasks.size() == before)
        return std::nullopt;
    return std::move(d->tasks);
}
