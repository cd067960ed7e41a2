#include "control/TimerCommands.h"

#include "control/TaskRules.h"
#include "managers/TimerManager.h"

namespace TimerCommands {

bool start(TimerManager& timer, std::optional<qint64> minutes, const std::optional<QString>& name) {
    if (timer.isRunning())
        return false;
    // In the order a person fills the panel in; each step writes the status title, as typing does.
    if (name) {
        timer.setCustomText(TaskRules::acceptedName(*name));
        timer.updateDisplay();
    }
    if (minutes)
        timer.setInitialTime(TaskRules::clampedMinutes(*minutes));
    timer.startTimer();
    return true;
}

void stop(TimerManager& timer) {
    timer.stopTimer();
}

void toggle(TimerManager& timer) {
    if (timer.isRunning())
        stop(timer);
    else
        start(timer);
}

void reset(TimerManager& timer) {
    timer.resetTimer();
}

bool complete(TimerManager& timer) {
    if (!timer.isRunning())
        return false;
    timer.completeTask(false);
    return true;
}

} // namespace TimerCommands
