#pragma once

#include <QString>

// Every way the program writes a duration, in one place. Each screen has its own form, and the
// forms differ in how they treat a negative duration (stored durations may be negative), so each
// has its own function rather than one with options. Division truncates toward zero throughout.
namespace DurationText {

// "29:59", "600:00": the countdown and the status title; minutes are not capped.
QString countdown(qint64 seconds);

// "25": the whole minutes of a duration, as the length and duration fields show them.
QString wholeMinutes(qint64 seconds);

// "1:05", "1:02:05": one completion; hours are neither padded nor wrapped at 24.
QString completionClock(qint64 seconds);

// "0:45", "1:05", "1:02:05": the total of one task's completions of a day.
QString mergedTotalClock(qint64 seconds);

// "35m", "25h 1m": a day's total. Below an hour the minutes are the whole total's (-3700 s reads
// -61m).
QString dayTotal(qint64 seconds);

// "25m", "1h 30m": a legend row. Below an hour only the minutes within the hour count (-3700 s
// reads -1m).
QString legendTotal(qint64 seconds);

} // namespace DurationText
