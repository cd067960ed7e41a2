#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C, the starting terminal closed) into a
// signal on the event loop, so the program ends through its normal path. A signal that was already
// ignored when the watcher was made stays ignored. One instance at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool received() const { return m_received != 0; }

signals:
    void terminationRequested(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};
