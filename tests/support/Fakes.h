#pragma once

#include "services/Notifier.h"
#include "storage/PreferencesStore.h"
#include "time/Clock.h"

#include <QHash>
#include <QList>

// A clock that only moves when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Instant start = Instant(786000000.0))
        : m_now(start) {}
    Instant now() const override { return m_now; }
    void set(Instant instant) { m_now = instant; }
    void advance(double seconds) { m_now = m_now.addingSeconds(seconds); }

private:
    Instant m_now;
};

// Keeps every value in memory.
class MemoryPreferencesStore final : public PreferencesStore {
public:
    std::optional<QByteArray> value(const QString& key) const override;
    bool setValue(const QString& key, const QByteArray& bytes) override;
    bool keepAside(const QString& key) override;
    bool appendToArray(const QString& key, QByteArrayView elements) override;
    QString lastError() const override { return m_lastError; }
    QString pathFor(const QString& key) const override { return key + QStringLiteral(".json"); }

    QHash<QString, QByteArray> values;
    QHash<QString, QList<QByteArray>> keptAside;
    int writeCount = 0;      // whole values and appends
    bool failWrites = false; // makes setValue() and keepAside() fail, as a full disk would

private:
    bool refused();
    mutable QString m_lastError;
};

// Remembers what was posted.
class RecordingNotifier final : public Notifier {
public:
    struct Posted {
        QString title;
        QString body;
        bool operator==(const Posted&) const = default;
    };
    void notify(const QString& title, const QString& body) override {
        posted.append({title, body});
    }
    QList<Posted> posted;
};
