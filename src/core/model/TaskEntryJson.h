#pragma once

#include "model/TaskEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

// The stored form of the history: a compact JSON array of entry objects with the members
// id, taskName, duration, startTime, endTime and completionDate.
//
// Reading is strict about what an entry needs and lenient about everything else: members may come
// in any order, unknown members are ignored, the id may be in either case; a missing member, a
// member of the wrong type, a non-integer duration or a malformed id fails the whole list.
std::optional<QList<TaskEntry>> decodeTaskHistory(QByteArrayView json);
// The same; reads in place when the array's allocation leaves room behind the text.
std::optional<QList<TaskEntry>> decodeTaskHistory(const QByteArray& json);
std::optional<TaskEntry> decodeTaskEntry(QByteArrayView json);

// Writes ids in upper case and instants in the shortest text that reads back to the same double.
// Fails only for an instant that is not a finite number.
std::optional<QByteArray> encodeTaskHistory(const QList<TaskEntry>& tasks);
// The same into a buffer; false (and an empty buffer) on failure.
bool encodeTaskHistory(const QList<TaskEntry>& tasks, QByteArray& into);
std::optional<QByteArray> encodeTaskEntry(const TaskEntry& task);
