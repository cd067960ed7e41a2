#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

// Per-user key/value storage of byte blobs. Every write replaces the whole value and is on disk
// before setValue() returns.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    // nullopt when nothing is stored; empty bytes when something is stored but cannot be read
    // (lastError() then says why), so it is never mistaken for an absent value.
    virtual std::optional<QByteArray> value(const QString& key) const = 0;
    // Returns false when the value could not be stored; the previous value then stays.
    virtual bool setValue(const QString& key, const QByteArray& bytes) = 0;
    // Copies the value currently stored under key to a sibling that nothing overwrites,
    // so a value this program cannot read is never destroyed by the next write.
    virtual bool keepAside(const QString& key) = 0;
    // Why the last read, write or copy failed; empty after one that worked.
    virtual QString lastError() const = 0;
    // Where the key's value lives, as the user would look for it.
    virtual QString pathFor(const QString& key) const = 0;
};

// One file per key in a folder (normally ~/.local/share/hourlark/): <key>.json, replaced
// atomically. Temporaries left by an interrupted write are removed when the store is created.
class FilePreferencesStore final : public PreferencesStore {
public:
    explicit FilePreferencesStore(QString folder);
    // The per-user data folder (QStandardPaths::AppDataLocation).
    static QString defaultFolder();

    std::optional<QByteArray> value(const QString& key) const override;
    bool setValue(const QString& key, const QByteArray& bytes) override;
    bool keepAside(const QString& key) override;
    QString lastError() const override { return m_lastError; }
    QString pathFor(const QString& key) const override;

private:
    QString m_folder;
    // Filled on a key's first read and dropped by a write: a file is read again only after it
    // has been replaced.
    mutable QHash<QString, std::optional<QByteArray>> m_loaded;
    mutable QString m_lastError;
};
