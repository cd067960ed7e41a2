#pragma once

#include "model/TaskEntry.h"

#include <QByteArray>
#include <QList>

// Completions as CSV for spreadsheets (RFC 4180): UTF-8, CRLF line ends, a header row, and a
// field quoted (quotes doubled) when it holds a comma, a quote or a line break. One row per
// completion, in the order given:
//
//   id,task,start,end,completed,duration_seconds,duration
//
// The three instants are ISO 8601 local times with their UTC offset, in whole seconds; an instant
// outside the years 1 to 9999 is left empty. The duration is given in seconds and as H:MM:SS.
QByteArray encodeTaskCsv(const QList<TaskEntry>& tasks);
