// Arbitrary bytes as both stored values. Whatever the bytes, decoding must not crash or throw, a
// value that decodes must survive encode/decode unchanged, and a history that loads must group,
// merge and name its days without trouble.
#include "Fakes.h"
#include "managers/ColorManager.h"
#include "managers/HistoryManager.h"
#include "model/MergedTask.h"
#include "model/TaskEntryJson.h"
#include "storage/JsonStringMap.h"
#include "storage/PreferencesStore.h"

#include <QLocale>
#include <cstdlib>
#include <ctime>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A zone with daylight-saving changes, so day grouping meets 23- and 25-hour days.
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

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
