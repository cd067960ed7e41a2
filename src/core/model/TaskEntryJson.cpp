#include "model/TaskEntryJson.h"

#include "storage/JsonText.h"
#include "storage/JsonWriter.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <simdjson.h>
#include <string_view>
#include <unordered_map>

namespace {

using namespace std::string_view_literals;
namespace dom = simdjson::dom;

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
// shared by every entry that carries it.
class NameCache final {
public:
    const QString& operator()(std::string_view utf8) {
        auto it = m_names.find(utf8);
        if (it == m_names.end())
            it =
                m_names.emplace(utf8, QString::fromUtf8(utf8.data(), qsizetype(utf8.size()))).first;
        return it->second;
    }

private:
    std::unordered_map<std::string_view, QString> m_names; // views into the parsed document
};

std::optional<TaskEntry> decodeEntry(dom::element element, NameCache& names) {
    dom::object object;
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

    for (const dom::key_value_pair field : object) {
        const std::string_view key = field.key;
        if (key == "id"sv) {
            std::string_view text;
            if (field.value.get_string().get(text))
                return std::nullopt;
            const auto parsed = parseUuid(text);
            if (!parsed)
                return std::nullopt;
            id = *parsed;
            seen |= Id;
        } else if (key == "taskName"sv) {
            if (field.value.get_string().get(name))
                return std::nullopt;
            seen |= Name;
        } else if (key == "duration"sv) {
            // Integers only: 1500.0 or 1.5e3 are numbers of another type.
            if (field.value.get_int64().get(duration))
                return std::nullopt;
            seen |= Duration;
        } else if (key == "startTime"sv) {
            if (field.value.get_double().get(start))
                return std::nullopt;
            seen |= Start;
        } else if (key == "endTime"sv) {
            if (field.value.get_double().get(end))
                return std::nullopt;
            seen |= End;
        } else if (key == "completionDate"sv) {
            if (field.value.get_double().get(completion))
                return std::nullopt;
            seen |= Completion;
        }
    }
    if (seen != All)
        return std::nullopt;
    return TaskEntry(id, names(name), duration, Instant(start), Instant(end), Instant(completion));
}

// simdjson refuses integer literals beyond 64 bits (a NUMBER_ERROR), which are valid JSON numbers
// (a date far out, or an unknown member). Giving each such literal a fraction lets it read as the
// double it is; a duration written that way still fails, as it must.
bool fitsIn64Bits(QByteArrayView token) {
    const char* end = token.data() + token.size();
    if (token.startsWith('-')) {
        int64_t value = 0;
        return std::from_chars(token.data(), end, value).ec == std::errc();
    }
    uint64_t value = 0;
    return std::from_chars(token.data(), end, value).ec == std::errc();
}

QByteArray withBigIntegersAsDoubles(QByteArrayView json) {
    QByteArray out;
    out.reserve(json.size() + 64);
    qsizetype i = 0;
    while (i < json.size()) {
        const char c = json[i];
        if (c == '"') {
            const qsizetype start = i++;
            while (i < json.size() && json[i] != '"')
                i += json[i] == '\\' ? 2 : 1;
            i = qMin(i + 1, json.size());
            out.append(json.sliced(start, i - start));
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            const qsizetype start = i++;
            bool integer = true;
            while (i < json.size()) {
                const char d = json[i];
                if (d == '.' || d == 'e' || d == 'E')
                    integer = false;
                else if (!(d >= '0' && d <= '9') && d != '+' && d != '-')
                    break;
                ++i;
            }
            const QByteArrayView token = json.sliced(start, i - start);
            out.append(token);
            if (integer && !fitsIn64Bits(token))
                out.append(".0");
        } else {
            out.append(c);
            ++i;
        }
    }
    return out;
}

std::optional<dom::element> parse(dom::parser& parser, QByteArrayView json, QByteArray& rewritten) {
    json = withoutByteOrderMark(json);
    if (json.isEmpty())
        return std::nullopt;
    dom::element root;
    simdjson::error_code error =
        parser.parse(json.data(), static_cast<size_t>(json.size())).get(root);
    if (error == simdjson::NUMBER_ERROR) {
        rewritten = withBigIntegersAsDoubles(json);
        error =
            parser.parse(rewritten.constData(), static_cast<size_t>(rewritten.size())).get(root);
    }
    if (error)
        return std::nullopt;
    return root;
}

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

std::optional<QList<TaskEntry>> decodeTaskHistory(QByteArrayView json) {
    dom::parser parser;
    QByteArray rewritten; // must outlive the parsed document
    const auto root = parse(parser, json, rewritten);
    if (!root)
        return std::nullopt;
    dom::array array;
    if (root->get_array().get(array))
        return std::nullopt;

    NameCache names;
    QList<TaskEntry> tasks;
    tasks.reserve(static_cast<qsizetype>(array.size()));
    for (const dom::element element : array) {
        auto entry = decodeEntry(element, names);
        if (!entry)
            return std::nullopt;
        tasks.append(std::move(*entry));
    }
    return tasks;
}

std::optional<TaskEntry> decodeTaskEntry(QByteArrayView json) {
    dom::parser parser;
    QByteArray rewritten; // must outlive the parsed document
    const auto root = parse(parser, json, rewritten);
    if (!root)
        return std::nullopt;
    NameCache names;
    return decodeEntry(*root, names);
}

bool encodeTaskHistory(const QList<TaskEntry>& tasks, QByteArray& into) {
    JsonWriter out(std::move(into), tasks.size() * 180 + 2);
    char* p = JsonWriter::raw(out.reserve(1), "[");
    bool first = true;
    for (const TaskEntry& task : tasks) {
        out.commit(p);
        p = out.reserve(JsonWriter::stringRoom(task.taskName().size()) + fixedEntryRoom + 1);
        if (!first)
            *p++ = ',';
        first = false;
        if (!(p = writeEntry(p, task)))
            return false; // the buffer went to the writer and is dropped with it
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
