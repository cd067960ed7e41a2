#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <functional>
#include <optional>

// Per-user key/value storage of byte blobs. Every write replaces the whole value and is on disk
// before setValue() returns.
class PreferencesStore {
public:
    virtual ~PreferencesStore() = default;

    // nullopt when nothing is stored; empty bytes when something is stored but cannot be read
    // (lastError() then says why), so it is never mistaken for an absent value.
    virtual std::optional<QByteArray> value(const QString& key) const = 0;
    // What readInPieces() found.
    enum class PieceRead {
        Absent,   // nothing is stored
        Complete, // every piece was taken
        Stopped,  // `take` asked for no more
        Failed,   // the value is there but could not be read; lastError() says why
    };
    // Hands the value under key to `take` a piece at a time, in order, for a reader that need not
    // hold all of it at once; `size` is the whole value's (or -1). `take` returns false to stop.
    // This reads the value whole and hands it over as one piece; a store that can do better
    // reads it a piece at a time.
    using PieceTaker = std::function<bool(QByteArrayView piece, qint64 size)>;
    virtual PieceRead readInPieces(const QString& key, const PieceTaker& take) const;
    // Returns false when the value could not be stored; the previous value then stays.
    virtual bool setValue(const QString& key, const QByteArray& bytes) = 0;
    // Copies the value currently stored under key to a sibling that nothing overwrites,
    // so a value this program cannot read is never destroyed by the next write.
    virtual bool keepAside(const QString& key) = 0;
    // Adds `elements` (the JSON text of one or more array elements, comma-separated) to the end
    // of the JSON array stored under key, as if the whole array had been written again. False
    // when that cannot be done cheaply and safely (the value was changed by someone else since
    // this store last read or wrote it, or is not an array); the caller then writes it whole.
    virtual bool appendToArray(const QString& key, QByteArrayView elements) = 0;
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
    // Reads the file in pieces of 64 KiB.
    PieceRead readInPieces(const QString& key, const PieceTaker& take) const override;
    bool setValue(const QString& key, const QByteArray& bytes) override;
    bool keepAside(const QString& key) override;
    bool appendToArray(const QString& key, QByteArrayView elements) override;
    QString lastError() const override { return m_lastError; }
    QString pathFor(const QString& key) const override;

    // What identifies one version of a file: it changed if any of these did.
    struct FileStamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

private:
    void remember(const QString& key);

    QString m_folder;
    // Each key's file as this store last read or wrote it; nothing else may be appended to.
    mutable QHash<QString, FileStamp> m_stamps;
    mutable QString m_lastError;
};
