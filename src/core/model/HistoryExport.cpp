#include "model/HistoryExport.h"

#include "model/TaskEntryCsv.h"
#include "model/TaskEntryJson.h"

#include <algorithm>

namespace HistoryExport {

std::optional<Format> formatNamed(QStringView name) {
    if (name == u"csv")
        return Format::Csv;
    if (name == u"json")
        return Format::Json;
    return std::nullopt;
}

QList<TaskEntry> select(const QList<TaskEntry>& tasks, Range range) {
    QList<TaskEntry> selected;
    selected.reserve(tasks.size());
    std::copy_if(tasks.cbegin(), tasks.cend(), std::back_inserter(selected),
                 [&](const TaskEntry& task) { return range.contains(task.completionDate()); });
    const auto earlier = [](const TaskEntry& a, const TaskEntry& b) {
        return a.completionDate() < b.completionDate();
    };
    if (!std::is_sorted(selected.cbegin(), selected.cend(), earlier))
        std::stable_sort(selected.begin(), selected.end(), earlier);
    return selected;
}

std::optional<QByteArray> write(Format format, const QList<TaskEntry>& tasks, Range range) {
    const QList<TaskEntry> selected = select(tasks, range);
    if (format == Format::Csv)
        return encodeTaskCsv(selected);
    return encodeTaskHistory(selected);
}

} // namespace HistoryExport
