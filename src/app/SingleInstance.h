#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>

// One running Hourlark per user, so two processes never overwrite each other's history. The first
// holds a lock file and listens on a local socket; a later launch asks it to open its panel.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)
public:
    // `folder` is per user: $XDG_RUNTIME_DIR normally.
    explicit SingleInstance(const QString& folder = defaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first; it then answers later launches.
    bool claim();
    // From a later launch: asks the first to open its panel. True once it has acknowledged.
    bool notifyFirst(int timeoutMs);

    static QString defaultFolder();

signals:
    void openRequested();

private:
    void onNewConnection();

    QLockFile m_lock;
    QString m_socketPath;
    QLocalServer m_server;
};
