#pragma once

#include <QLocalServer>
#include <QObject>
#include <memory>

class QLockFile;

// One running Hourlark per user, so two processes never overwrite each other's history. The first
// holds a lock file and listens on a local socket; a later launch asks it to open its panel.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)
public:
    // `folder` must be the user's alone (see defaultFolder()). Empty runs without the channel:
    // every launch then counts as the first and nobody is asked.
    explicit SingleInstance(const QString& folder = defaultFolder(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first; it then answers later launches.
    bool claim();
    // From a later launch: asks the first to open its panel. True once it has acknowledged.
    bool notifyFirst(int timeoutMs);

    // $XDG_RUNTIME_DIR when only this user can enter it, else <temp>/hourlark-<uid>, made private
    // if it is missing. Empty when neither is safe; the reasons go to the log.
    static QString defaultFolder();

signals:
    void openRequested();

private:
    void onNewConnection();

    std::unique_ptr<QLockFile> m_lock;
    QString m_socketPath;
    QLocalServer m_server;
};
