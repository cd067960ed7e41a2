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
    ondemand::document document;
    ondemand::array array;
    if (parser.iterate(input.view()).get(document) || document.get_array().get(array))
        return std::nullopt;

    NameCache names;
    QList<TaskEntry> tasks;
    // Roughly one entry per 150 bytes; a guess that saves the list most of its regrowth.
    tasks.reserve(json.size() / 150 + 1);
    for (auto element : array) {
        ondemand::value value;
        if (std::move(element).get(value))
            return std::nullopt;
        auto entry = decodeEntry(value, names);
        if (!entry)
            return std::nullopt;
        tasks.append(std::move(*entry));
    }
    if (!atEnd(document))
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
