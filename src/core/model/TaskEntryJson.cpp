#include "model/TaskEntryJson.h"

#include "model/EntryText.h"
#include "model/TaskNameCache.h"
#include "model/WrittenEntries.h"
#include "storage/JsonText.h"
#include "storage/JsonWriter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <memory>
#include <simdjson.h>
#include <string>
#include <string_view>

namespace {

using namespace std::string_view_literals;
using EntryText::isJsonSpace;
using EntryText::parseUuid;
namespace ondemand = simdjson::ondemand;

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
std::optional<TaskEntry> decodeEntry(ondemand::value element, TaskNameCache& names) {
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
bool decodeArray(ondemand::parser& parser, simdjson::padded_string_view text, TaskNameCache& names,
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
    TaskNameCache names;
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
    TaskNameCache names;
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
    TaskNameCache names;
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

    WrittenEntries::Progress readEntries(std::string_view from) {
        return WrittenEntries::readEntries(from, names, tasks, afterComma);
    }

    // The next piece, in Entries mode.
    void readPiece(QByteArrayView piece) {
        using Stop = WrittenEntries::Stop;
        qsizetype taken = 0; // bytes of the piece in the carry or read
        if (!carry.empty()) {
            // The entry that the last piece cut, with as much of this one as it takes.
            for (;;) {
                const auto held = qsizetype(carry.size());
                const qsizetype more =
                    std::min(piece.size() - taken, std::max<qsizetype>(held, 256));
                carry.append(piece.data() + taken, size_t(more));
                taken += more;
                const WrittenEntries::Progress read = readEntries(carry);
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
        const WrittenEntries::Progress read =
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
        if (WrittenEntries::readRun(std::string_view(text.get() + begin, size_t(length)), names,
                                    tasks))
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
