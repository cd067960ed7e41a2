// Arbitrary bytes as both stored values. Whatever the bytes, decoding must not crash or throw, a
// value that decodes must survive encode/decode unchanged, and a history that loads must group,
// merge and name its days without trouble. The history read in pieces, cut into runs of entries
// wherever the pieces allow, must give what reading it whole gives, name for name and bit for bit.
// The bytes that open the input, taken as an instant in an entry, must read as from_chars reads
// them.
#include "Fakes.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/MergedTask.h"
#include "model/TaskEntryJson.h"
#include "storage/JsonStringMap.h"
#include "storage/PreferencesStore.h"

#include <QLocale>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <ctime>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A zone with daylight-saving changes, so day grouping meets 23- and 25-hour days.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

namespace {

quint64 bits(Instant instant) {
    return std::bit_cast<quint64>(instant.secondsSinceReference());
}

bool identical(const QList<TaskEntry>& a, const QList<TaskEntry>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i]) || a[i].taskName() != b[i].taskName() ||
            bits(a[i].startTime()) != bits(b[i].startTime()) ||
            bits(a[i].endTime()) != bits(b[i].endTime()) ||
            bits(a[i].completionDate()) != bits(b[i].completionDate()))
            return false;
    }
    return true;
}

// The first byte picks the size of the pieces and of the runs, the rest is the history.
void readInPieces(const QByteArray& input) {
    if (input.isEmpty())
        return;
    const qsizetype pieceSize = 1 + uchar(input[0]) % 16;
    const QByteArray bytes = input.sliced(1);
    TaskHistoryDecoder decoder(1 + uchar(input[0]) / 16 * 8);
    bool fed = true;
    for (qsizetype at = 0; fed && at < bytes.size(); at += pieceSize)
        fed =
            decoder.feed(QByteArrayView(bytes).sliced(at, std::min(pieceSize, bytes.size() - at)));
    const auto pieces = fed ? decoder.finish() : std::nullopt;
    const auto whole = decodeTaskHistory(bytes);
    // Turning down what the whole reader reads only costs a second reading; the reverse, or a
    // different history, would be a fault.
    if (pieces && (!whole || !identical(*pieces, *whole)))
        std::abort();
}

// The characters of numbers that open the input, as the start and end of an entry written as this
// program writes them.
void readInstant(const QByteArray& input) {
    static constexpr std::string_view numberCharacters = "0123456789+-.eE";
    qsizetype length = 0;
    while (length < std::min<qsizetype>(input.size(), 48) &&
           numberCharacters.find(input[length]) != std::string_view::npos)
        ++length;
    if (length == 0)
        return;
    const QByteArray text = input.first(length);
    const QByteArray json =
        R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","taskName":"x","duration":1,"startTime":)" +
        text + R"(,"endTime":)" + text + R"(,"completionDate":0}])";
    // The first byte still picks the pieces.
    readInPieces(input.first(1) + json);
    const auto whole = decodeTaskHistory(json);
    double expected = 0;
    const auto [end, error] = std::from_chars(text.cbegin(), text.cend(), expected);
    if (whole && error == std::errc() && end == text.cend() &&
        bits(whole->first().startTime()) != std::bit_cast<quint64>(expected))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    readInPieces(bytes);
    readInstant(bytes);

    if (const auto tasks = decodeTaskHistory(bytes)) {
        const auto encoded = encodeTaskHistory(*tasks);
        if (!encoded || decodeTaskHistory(*encoded) != tasks)
            std::abort();

        MemoryPreferencesStore store;
        store.values.insert(u"TaskHistoryData"_s, bytes);
        HistoryManager history(store);
        if (history.tasks() != *tasks)
            std::abort();
        for (const DayGroup& day : history.getTasksByDay()) {
            if (day.tasks.isEmpty())
                std::abort();
            const QList<MergedTask> merged = mergedTasks(day.tasks);
            if (uniqueTaskCount(day.tasks) != merged.size())
                std::abort();
            for (const MergedTask& task : merged)
                (void)task.originalTasks.constFirst().formattedDuration();
            (void)HistoryManager::formatDay(day.date, QDate(2026, 12, 6),
                                            QLocale(QLocale::English, QLocale::UnitedStates));
        }
        if (!history.tasks().isEmpty())
            history.updateTask(history.tasks().constFirst(), u"renamed"_s,
                               history.tasks().constFirst().duration());
    }

    if (const auto map = decodeStringMap(bytes)) {
        if (decodeStringMap(encodeStringMap(*map)) != map)
            std::abort();
        MemoryPreferencesStore store;
        store.values.insert(u"TaskColorMappings"_s, bytes);
        ColorManager colors(store);
        for (auto it = map->cbegin(); it != map->cend(); ++it)
            (void)colors.colorForTask(it.key());
    }
    return 0;
}
