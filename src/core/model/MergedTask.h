#pragma once

#include "model/TaskEntry.h"

#include <QList>

// All completions of one task name on one day. Computed afresh for every rendering; the id is new
// each time, so per-row view state keyed by it starts over whenever the list is recomputed.
struct MergedTask {
    QUuid id;
    QString taskName;
    qint64 totalDuration = 0;
    qint64 count = 0;
    Instant lastCompletionDate;
    QList<TaskEntry> originalTasks; // newest first
};

// One merged task per distinct name (exact comparison), largest total first.
QList<MergedTask> mergedTasks(const QList<TaskEntry>& dayTasks);
qint64 uniqueTaskCount(const QList<TaskEntry>& dayTasks);

// Stored durations are arbitrary integers, so every sum below stops at the limits of qint64.
qint64 totalDuration(const QList<TaskEntry>& tasks);

struct NameTotal {
    QString name;
    qint64 duration = 0;
};
// Each distinct name's total, largest first; equal totals keep the order of first appearance.
QList<NameTotal> totalsByName(const QList<TaskEntry>& tasks);
