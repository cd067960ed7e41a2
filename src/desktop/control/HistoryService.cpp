#include "control/HistoryService.h"

#include "control/TaskRules.h"
#include "managers/HistoryManager.h"
#include "model/HistoryExport.h"
#include "time/Clock.h"

#include <QDBusError>

namespace {

double fromUnix(double seconds) {
    return seconds - double(Instant::referenceUnixSeconds);
}

double toUnix(Instant instant) {
    return instant.secondsSinceReference() + double(Instant::referenceUnixSeconds);
}

HistoryExport::Range rangeFromUnix(double from, double to) {
    return {fromUnix(from), fromUnix(to)};
}

} // namespace

HistoryService::HistoryService(HistoryManager& history, const Clock& clock, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_clock(clock) {
    m_changedTimer.setSingleShot(true);
    m_changedTimer.setInterval(0);
    connect(&m_changedTimer, &QTimer::timeout, this, &HistoryService::Changed);
    connect(&m_history, &HistoryManager::tasksChanged, this, &HistoryService::onTasksChanged);
}

CompletionList HistoryService::Completions(double from, double to) {
    CompletionList completions;
    const QList<TaskEntry> selected =
        HistoryExport::select(m_history.tasks(), rangeFromUnix(from, to));
    completions.reserve(selected.size());
    for (const TaskEntry& task : selected)
        completions.append({task.id().toString(QUuid::WithoutBraces).toUpper(), task.taskName(),
                            task.duration(), toUnix(task.startTime()), toUnix(task.endTime()),
                            toUnix(task.completionDate())});
    return completions;
}

QByteArray HistoryService::Export(const QString& format, double from, double to) {
    const std::optional<HistoryExport::Format> known = HistoryExport::formatNamed(format);
    if (!known) {
        refuse(tr("Unknown export format \"%1\"; use \"csv\" or \"json\".").arg(format));
        return {};
    }
    std::optional<QByteArray> text =
        HistoryExport::write(*known, m_history.tasks(), rangeFromUnix(from, to));
    if (!text) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::Failed,
                           tr("The history holds an instant JSON cannot write; export it as CSV."));
        return {};
    }
    return *text;
}

QString HistoryService::AddCompletion(const QString& name, qlonglong seconds, double end) {
    const Instant endInstant(fromUnix(end));
    switch (TaskRules::checkPastCompletion(seconds, endInstant, m_clock.now())) {
    case TaskRules::PastCompletionProblem::Duration:
        refuse(tr("A completion lasts from 1 second to %n minutes.", nullptr,
                  int(TaskRules::maximumMinutes)));
        return {};
    case TaskRules::PastCompletionProblem::EndNotAnInstant:
        refuse(tr("The end of a completion must be a time."));
        return {};
    case TaskRules::PastCompletionProblem::EndInFuture:
        refuse(tr("A completion cannot end in the future."));
        return {};
    case TaskRules::PastCompletionProblem::None:
        break;
    }
    const TaskEntry entry = TaskRules::pastCompletion(name, seconds, endInstant);
    m_history.saveTask(entry);
    return entry.id().toString(QUuid::WithoutBraces).toUpper();
}

void HistoryService::refuse(const QString& message) {
    if (calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs, message);
}

void HistoryService::onTasksChanged() {
    if (!m_changedTimer.isActive())
        m_changedTimer.start();
}
