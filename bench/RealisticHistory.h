#pragma once

#include "model/TaskEntry.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The history every benchmark runs on, made to look like a person's: about 12 completions a day
// (more on weekdays, fewer at weekends, none on some days), 40 recurring task names whose use
// falls off in a long tail, one completion in ten under a name used once, and some names in
// non-Latin scripts. Durations are the usual timer lengths, some stopped early; the instants carry
// fractions of a second, as recorded ones do. The same count and end give the same history.
namespace RealisticHistory {

struct Summary {
    qsizetype completions = 0;
    qsizetype days = 0;       // calendar days from the first completion to the last
    qsizetype names = 0;      // distinct task names
    double oneOffShare = 0;   // completions whose name is used only once
    double nonLatinShare = 0; // completions whose name has a letter outside Latin script
    double perActiveDay = 0;  // completions per day that has any
};

// `count` completions, oldest first, the last of them before `end` (seconds since 2001, local
// days for the day boundaries).
QList<TaskEntry> generate(qsizetype count, double end, quint64 seed = 2024);
// The same, ending now.
QList<TaskEntry> generate(qsizetype count);
// The stored form: exactly what the program writes to TaskHistoryData.json.
QByteArray stored(const QList<TaskEntry>& tasks);

Summary summarize(const QList<TaskEntry>& tasks);
// One line describing the history, for a benchmark's header.
QString describe(const Summary& summary);

} // namespace RealisticHistory
