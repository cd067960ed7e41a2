#pragma once

#include "control/ControlTypes.h"

#include <QByteArray>
#include <QDBusContext>
#include <QObject>
#include <QTimer>

class Clock;
class HistoryManager;

// The history on the session bus (io.github.hourlark.Hourlark.History): the completions of a
// range, the same as a file, adding a completion that was not timed, and a signal on every change.
// Everything goes through the one HistoryManager, so the history screen shows an added completion
// at once and two writers never race for the file.
class HistoryService final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HistoryService)
public:
    HistoryService(HistoryManager& history, const Clock& clock, QObject* parent = nullptr);

    // The interface's methods, called by the adaptor generated from its introspection file.
    // Instants are seconds since the Unix epoch.
    CompletionList Completions(double from, double to);
    QByteArray Export(const QString& format, double from, double to);
    QString AddCompletion(const QString& name, qlonglong seconds, double end);

signals:
    // The interface's signal, relayed by the adaptor: once per turn of the event loop in which the
    // history changed.
    void Changed();

private:
    void onTasksChanged();
    void refuse(const QString& message);

    HistoryManager& m_history;
    const Clock& m_clock;
    QTimer m_changedTimer;
};
