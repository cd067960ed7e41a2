#pragma once

#include "time/Instant.h"

#include <QDate>
#include <QString>
#include <optional>

// Dates and times as the command line takes them: ISO 8601, the way they are written everywhere
// else in the program's files.
//
//   2026-12-06                    a day (local)
//   2026-12-06T14:30, 2026-12-06 14:30:15
//                                 a local time
//   2026-12-06T14:30+01:00, ...Z  a time with its offset from UTC
//   14:30, 14:30:15               that time today (--at only)
namespace TimeArgument {

// A whole local day is [start, end).
struct Span {
    Instant start;
    Instant end;
};

// A day or a time for --from and --to: a day spans the whole day, a time is an instant of its own
// (start == end).
std::optional<Span> parseDateOrTime(const QString& text);
// A time for --at; a time of day alone is on `today` (local).
std::optional<Instant> parseTime(const QString& text, const QDate& today);

} // namespace TimeArgument
