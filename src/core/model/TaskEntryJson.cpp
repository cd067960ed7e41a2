#include "model/TaskEntryJson.h"

#include "storage/JsonText.h"
#include "storage/JsonWriter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
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

// Only the canonical 8-4-4-4-12 form, either case; no braces, no other spellings.
std::optional<QUuid> parseUuid(std::string_view text) {
    static constexpr int digitPairs[16] = {0,  2,  4,  6,  9,  11, 14, 16,
                                           19, 21, 24, 26, 28, 30, 32, 34};
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' ||
        text[23] != '-')
        return std::nullopt;
    uchar bytes[16];
    uchar invalid = 0;
    for (int i = 0; i < 16; ++i) {
        const uchar high = hexDigits[uchar(text[digitPairs[i]])];
        const uchar low = hexDigits[uchar(text[digitPairs[i] + 1])];
        invalid |= (high | low) & 0xF0;
        bytes[i] = uchar(high << 4 | (low & 0x0F));
    }
    if (invalid)
        return std::nullopt;
    return QUuid(uint(bytes[0]) << 24 | uint(bytes[1]) << 16 | uint(bytes[2]) << 8 | bytes[3],
                 ushort(bytes[4] << 8 | bytes[5]), ushort(bytes[6] << 8 | bytes[7]), bytes[8],
                 bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
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

// Histories name the same few tasks thousands of times; each distinct name is converted once and
// shared by every entry that carries it. The keys are copied, all into one buffer: the text they
// came from is gone by the time the next piece of a history is read.
class NameCache final {
public:
    const TaskEntry::Name& operator()(std::string_view utf8) {
        if (m_names.size() * 2 >= m_slots.size())
            grow();
        const size_t hash = std::hash<std::string_view>()(utf8);
        for (size_t at = hash & (m_slots.size() - 1);; at = (at + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[at];
            if (slot.index == 0) {
                m_names.push_back(
                    {m_keys.size(), utf8.size(), hash,
                     TaskEntry::Name(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))});
                m_keys.append(utf8);
                slot = {hash, m_names.size()};
                return m_names.back().name;
            }
            const Known& known = m_names[slot.index - 1];
            if (slot.hash == hash && keyOf(known) == utf8)
                return known.name;
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

    std::string_view keyOf(const Known& known) const {
        return std::string_view(m_keys).substr(known.offset, known.length);
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
            if (value.get_double().get(start))
                return std::nullopt;
            seen |= Start;
        } else if (key == "endTime"sv) {
            if (value.get_double().get(end))
                return std::nullopt;
            seen |= End;
        } else if (key == "completionDate"sv) {
            if (value.get_double().get(completion))
                return std::nullopt;
            seen |= Completion;
        }
        // An unknown member's value is skipped by the next step of the loop.
    }
    if (seen != All)
        return std::nullopt;
    return TaskEntry(id, names(name), duration, Instant(start), Instant(end), Instant(completion));
}

// Nothing but space after the value: no trailing text, no second document.
bool atEnd(ondemand::document& document) {
    return document.current_location().error() == simdjson::OUT_OF_BOUNDS;
}

bool isJsonSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
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

// The entries exactly as this program writes them, read without simdjson: the same members in
// the same order, no space, no escapes in the name. Reading a run of them this way costs a third
// of what simdjson's generic walk does. Anything else, however slight, makes it give up (false,
// with whatever it appended left in the list), and the run goes to simdjson, which decides.
class WrittenRun final {
public:
    explicit WrittenRun(std::string_view text)
        : m_at(text.data())
        , m_end(text.data() + text.size()) {}

    // `text` is a run: '[', entries separated by commas, ']', then nothing but space.
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

private:
    bool take(char c) {
        if (m_at == m_end || *m_at != c)
            return false;
        ++m_at;
        return true;
    }
    bool take(std::string_view literal) {
        if (size_t(m_end - m_at) < literal.size() ||
            std::memcmp(m_at, literal.data(), literal.size()) != 0)
            return false;
        m_at += literal.size();
        return true;
    }

    // The text of a JSON number: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    std::string_view number(bool* integer) {
        const char* const start = m_at;
        const auto digits = [this] {
            const char* const first = m_at;
            while (m_at < m_end && *m_at >= '0' && *m_at <= '9')
                ++m_at;
            return m_at - first;
        };
        take('-');
        const char* const whole = m_at;
        const auto wholeDigits = digits();
        if (wholeDigits == 0 || (wholeDigits > 1 && *whole == '0'))
            return {};
        *integer = true;
        if (take('.')) {
            *integer = false;
            if (digits() == 0)
                return {};
        }
        if (m_at < m_end && (*m_at == 'e' || *m_at == 'E')) {
            *integer = false;
            ++m_at;
            if (!take('+'))
                take('-');
            if (digits() == 0)
                return {};
        }
        return std::string_view(start, size_t(m_at - start));
    }

    // A string's text up to its closing quote, unescaped as simdjson would; escapes other than
    // those of one character or of a code point outside the surrogates are left to simdjson.
    bool name(std::string_view* into) {
        const char* const start = m_at;
        bool ascii = true;
        bool escaped = false;
        while (m_at < m_end && *m_at != '"') {
            const auto c = uchar(*m_at++);
            if (c < 0x20)
                return false;
            if (c == '\\') {
                // The escaped character is taken apart below; a quote here does not end the name.
                if (m_at == m_end)
                    return false;
                ++m_at;
                escaped = true;
            }
            ascii = ascii && c < 0x80;
        }
        const std::string_view raw(start, size_t(m_at - start));
        if (!take('"') || (!ascii && !simdjson::validate_utf8(raw.data(), raw.size())))
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

    bool instant(double* into) {
        bool integer = false;
        const std::string_view text = number(&integer);
        // Correctly rounded, like simdjson's; out of range is for simdjson to judge.
        if (text.empty())
            return false;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *into);
        return error == std::errc() && end == text.data() + text.size();
    }

    bool entry(NameCache& names, QList<TaskEntry>& tasks) {
        if (!take(R"({"id":")"sv) || m_end - m_at < 36)
            return false;
        const std::optional<QUuid> id = parseUuid(std::string_view(m_at, 36));
        m_at += 36;
        if (!id || !take(R"(","taskName":")"sv))
            return false;
        std::string_view nameText;
        if (!name(&nameText) || !take(R"(,"duration":)"sv))
            return false;
        bool integer = false;
        const std::string_view durationText = number(&integer);
        int64_t duration = 0;
        // "-0" and the edges of 64 bits are left to simdjson.
        if (durationText.empty() || !integer || durationText.size() > 18 ||
            durationText.starts_with("-0"))
            return false;
        std::from_chars(durationText.data(), durationText.data() + durationText.size(), duration);
        double start = 0;
        double end = 0;
        double completion = 0;
        if (!take(R"(,"startTime":)"sv) || !instant(&start) || !take(R"(,"endTime":)"sv))
            return false;
        const char* const endText = m_at;
        if (!instant(&end))
            return false;
        const std::string_view endNumber(endText, size_t(m_at - endText));
        if (!take(R"(,"completionDate":)"sv))
            return false;
        // Written as the same text as the end, as this program does: the same number.
        const char* const completionText = m_at;
        if (take(endNumber) && m_at < m_end && *m_at == '}') {
            completion = end;
        } else {
            m_at = completionText;
            if (!instant(&completion))
                return false;
        }
        if (!take('}'))
            return false;
        tasks.append(TaskEntry(*id, names(nameText), duration, Instant(start), Instant(end),
                               Instant(completion)));
        return true;
    }

    const char* m_at;
    const char* const m_end;
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

// The text not yet read sits in one buffer with simdjson's padding behind it. It starts at the
// opener of the next run of entries: the array's own '[', or the comma after the last entry read,
// overwritten with '['. A run ends at an entry's '}' followed by a comma; a ']' written behind
// that '}' makes the run a document of its own. Read like that, a run goes through exactly the
// steps the whole text would: the same bytes, outside any string, one level inside the array.
// Were the cut inside a string, the run would end in an unclosed one, which simdjson refuses;
// then an earlier cut is tried.
struct TaskHistoryDecoder::State {
    qsizetype batchBytes = 0;
    ondemand::parser parser;
    NameCache names;
    QList<TaskEntry> tasks;
    std::unique_ptr<char[]> text;
    qsizetype capacity = 0;
    qsizetype begin = 0; // the next run's opener
    qsizetype end = 0;
    qsizetype searchedTo = 0; // no cut before this
    qint64 total = 0;
    bool opened = false; // the array's '[' is found
    bool afterComma = false;
    bool failed = false;
    int failures = 0; // cuts of the current run that did not read

    // Cuts tried before giving up on a run: only a name holding "}," can spoil one.
    static constexpr int triesPerRun = 4;
    enum class Run { Read, NeedMore, Failed };

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
        opened = true;
        return true;
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
        d->failed = true;
        return false;
    }
    d->append(piece);
    if (!d->opened && !d->open(false))
        return !d->failed;
    while (d->end - d->begin >= d->batchBytes) {
        const State::Run run = d->readRun();
        if (run == State::Run::Failed) {
            d->failed = true;
            return false;
        }
        if (run == State::Run::NeedMore)
            break;
    }
    return true;
}

std::optional<QList<TaskEntry>> TaskHistoryDecoder::finish() {
    if (d->failed || (!d->opened && !d->open(true)))
        return std::nullopt;
    const qsizetype before = d->tasks.size();
    if (!d->decodeRun(d->end - d->begin))
        return std::nullopt;
    // "[…},]": the comma that opened the last run must have an entry after it.
    if (d->afterComma && d->tasks.size() == before)
        return std::nullopt;
    return std::move(d->tasks);
}
