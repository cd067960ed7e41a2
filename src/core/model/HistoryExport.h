#pragma once

#include "model/TaskEntry.h"

#include <QByteArray>
#include <QList>
#include <QStringView>
#include <limits>
#include <optional>

// The history as files for other programs: CSV for spreadsheets (TaskEntryCsv) or JSON in the
// form Hourlark stores it (TaskEntryJson), so an export can also serve as a backup.
namespace HistoryExport {

enum class Format { Csv, Json };
// "csv" or "json".
std::optional<Format> formatNamed(QStringView name);

// Completion instants from `from` up to, not including, `to`; infinite ends leave a side open.
struct Range {
    double from = -std::numeric_limits<double>::infinity();
    double to = std::numeric_limits<double>::infinity();
    bool contains(Instant instant) const {
        return instant.secondsSinceReference() >= from && instant.secondsSinceReference() < to;
    }
};

// The completions within the range, oldest first by completion; equal instants keep the order
// in which they were recorded (a completion added afterwards is recorded last but belongs where it
// happened).
QList<TaskEntry> select(const QList<TaskEntry>& tasks, Range range);

// The selected completions in the format. nullopt only for JSON of an instant that is not a finite
// number, which a hand-edited file may hold and JSON cannot write.
std::optional<QByteArray> write(Format format, const QList<TaskEntry>& tasks, Range range);

} // namespace HistoryExport
