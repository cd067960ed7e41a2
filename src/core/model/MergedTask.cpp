#include "model/MergedTask.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <limits>

namespace {
qint64 saturatingAdd(qint64 a, qint64 b) {
    qint64 sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
}
} // namespace

QList<MergedTask> mergedTasks(const QList<TaskEntry>& dayTasks) {
    QList<MergedTask> merged;
    QHash<QString, qsizetype> indexByName;
    for (const TaskEntry& task : dayTasks) {
        auto it = indexByName.constFind(task.taskName());
        if (it == indexByName.constEnd()) {
            it = indexByName.insert(task.taskName(), merged.size());
            MergedTask group;
            group.id = QUuid::createUuid();
            group.taskName = task.taskName();
            merged.append(std::move(group));
        }
        MergedTask& group = merged[*it];
        group.totalDuration = saturatingAdd(group.totalDuration, task.duration());
        ++group.count;
        group.originalTasks.append(task);
    }

    for (MergedTask& group : merged) {
        std::stable_sort(group.originalTasks.begin(), group.originalTasks.end(),
                         [](const TaskEntry& a, const TaskEntry& b) {
                             return a.completionDate() > b.completionDate();
                         });
        group.lastCompletionDate = group.originalTasks.constFirst().completionDate();
    }
    std::stable_sort(merged.begin(), merged.end(), [](const MergedTask& a, const MergedTask& b) {
        return a.totalDuration > b.totalDuration;
    });
    return merged;
}

qint64 totalDuration(const QList<TaskEntry>& tasks) {
    qint64 total = 0;
    for (const TaskEntry& task : tasks)
        total = saturatingAdd(total, task.duration());
    return total;
}

QList<NameTotal> totalsByName(const QList<TaskEntry>& tasks) {
    QList<NameTotal> totals;
    QHash<QString, qsizetype> indexByName;
    for (const TaskEntry& task : tasks) {
        auto it = indexByName.constFind(task.taskName());
        if (it == indexByName.constEnd()) {
            it = indexByName.insert(task.taskName(), totals.size());
            totals.append({task.taskName(), 0});
        }
        NameTotal& entry = totals[*it];
        entry.duration = saturatingAdd(entry.duration, task.duration());
    }
    std::stable_sort(totals.begin(), totals.end(), [](const NameTotal& a, const NameTotal& b) {
        return a.duration > b.duration;
    });
    return totals;
}

qint64 uniqueTaskCount(const QList<TaskEntry>& dayTasks) {
    QSet<QString> names;
    for (const TaskEntry& task : dayTasks)
        names.insert(task.taskName());
    return names.size();
}
