#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class PreferencesStore;

// One value of the preferences store as its owner sees it: read once; a value the owner cannot
// decode is kept aside before the first write replaces it; every change is written durably.
// A change that cannot be written stays pending and is written with the next change, on a
// back-off timer, or by flush() at quit, whichever comes first. The owner's data never depends
// on the disk: it lives in memory either way.
class StoredValue final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StoredValue)
public:
    StoredValue(PreferencesStore& store, QString key, QObject* parent = nullptr);

    // The stored bytes; nullopt when nothing is stored yet.
    std::optional<QByteArray> read();
    // Takes in what a read of the store made elsewhere (on another thread) found: the bytes and
    // the store's lastError() after it.
    std::optional<QByteArray> acceptRead(std::optional<QByteArray> bytes, const QString& error);
    // The owner could not decode what read() returned: it is copied aside before it is replaced.
    void markUnreadable() { m_unreadable = true; }

    // Stores the bytes, or keeps them to retry; true when they are on disk now.
    bool write(const QByteArray& bytes);
    // Adds `elements` to the end of the stored JSON array without writing all of it again;
    // `whole` gives the entire new value for when that cannot be done.
    bool appendToArray(QByteArrayView elements, const std::function<QByteArray()>& whole);
    // Writes a pending change now; true when nothing is pending afterwards.
    bool flush();
    bool hasPendingWrite() const { return m_pending.has_value(); }

    QString path() const;
    // Why the value cannot be read or written; empty while all is well.
    QString problem() const { return m_problem; }

    // The first retry waits this long; each failed one doubles it, up to the maximum.
    static constexpr int firstRetryMs = 2000;
    static constexpr int maximumRetryMs = 60000;

signals:
    // A problem started (the value cannot be read, or a change cannot be written); said once
    // until it ends.
    void problemStarted(const QString& path, const QString& reason);
    // Everything is on disk again after a problem.
    void problemEnded(const QString& path);

private:
    bool writePending();
    void succeeded();
    void setProblem(const QString& reason);
    void onRetry();

    PreferencesStore& m_store;
    QString m_key;
    bool m_unreadable = false;
    std::optional<QByteArray> m_pending;
    QString m_problem;
    QTimer m_retry;
    int m_retryMs = firstRetryMs;
};
