#pragma once

#include <QString>
#include <optional>

class TimerManager;

// The timer panel's buttons as operations, for whatever drives the countdown from outside the
// panel. Each does what pressing the button does after filling in the fields, with the same rules
// (TaskRules), so the countdown behaves the same however it was started.
namespace TimerCommands {

// Sets the length and the name as the panel's fields would, then starts. Without minutes the
// length stays, without a name the name stays. Refused (false, nothing changes) while the
// countdown runs: the panel shows Stop instead of Start then, and its length field is locked.
bool start(TimerManager& timer, std::optional<qint64> minutes = std::nullopt,
           const std::optional<QString>& name = std::nullopt);
void stop(TimerManager& timer);
// Stop while running, else Start with the length and name as they are.
void toggle(TimerManager& timer);
void reset(TimerManager& timer);
// Records the running countdown as completed early. Refused (false) while stopped: the panel's
// Complete button is disabled then, so a stopped countdown is never recorded.
bool complete(TimerManager& timer);

} // namespace TimerCommands
