#pragma once

#include "model/TaskEntry.h"
#include "time/Instant.h"

#include <QString>
#include <QtGlobal>

// What the countdown accepts as a task name and a length, wherever they come from: the timer
// panel's fields, the control service or the command line. One set of rules, so a countdown
// started from a keyboard shortcut is the one the panel would have started.
namespace TaskRules {

inline constexpr int maximumNameLength = 40; // user-perceived characters
inline constexpr qint64 minimumMinutes = 1;
inline constexpr qint64 maximumMinutes = 600;

// What a completion without a name is recorded as.
QString untitledName();

// A name is one line of plain text: no C0 or C1 controls, no line or paragraph separators, and
// none of the characters that embed, override or isolate a writing direction.
bool isKeptOutOfNames(QChar c);
QString withoutControls(const QString& text);
// The first maximumNameLength grapheme clusters of `text`.
QString truncatedName(const QString& text);
// Both of the above: what the panel's name field would hold had `text` been pasted into it.
QString acceptedName(const QString& text);

// The nearest length from minimumMinutes to maximumMinutes.
qint64 clampedMinutes(qint64 minutes);

// A completion the user forgot to time, recorded afterwards. It may last from one second to the
// longest countdown, and it must end at a real instant no later than `now`.
enum class PastCompletionProblem { None, Duration, EndNotAnInstant, EndInFuture };
PastCompletionProblem checkPastCompletion(qint64 seconds, Instant end, Instant now);
// Recorded under the accepted name, or untitledName() when that is empty.
TaskEntry pastCompletion(const QString& name, qint64 seconds, Instant end);

} // namespace TaskRules
