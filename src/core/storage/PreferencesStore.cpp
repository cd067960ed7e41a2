#include "storage/PreferencesStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <fcntl.h>
#include <unistd.h>

namespace {

// After a rename the new directory entry is only durable once the directory itself is synced.
void syncDirectory(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Temporary file, flush and fsync (QSaveFile::commit), rename, then the directory.
bool writeDurably(const QString& folder, const QString& path, const QByteArray& bytes) {
    // No data folder known (no home directory): write nowhere rather than relative to "/".
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    syncDirectory(folder);
    return true;
}

} // namespace

FilePreferencesStore::FilePreferencesStore(QString folder)
    : m_folder(std::move(folder)) {}

QString FilePreferencesStore::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString FilePreferencesStore::pathFor(const QString& key) const {
    return m_folder + u'/' + key + QStringLiteral(".json");
}

std::optional<QByteArray> FilePreferencesStore::value(const QString& key) const {
    const auto cached = m_loaded.constFind(key);
    if (cached != m_loaded.constEnd())
        return *cached;

    std::optional<QByteArray> result;
    QFile file(pathFor(key));
    if (file.exists()) {
        // A file that exists but cannot be read counts as present and unreadable (empty bytes
        // never decode), so it is kept aside instead of being overwritten as if absent.
        result = QByteArray();
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readAll();
            if (file.error() == QFileDevice::NoError)
                result = std::move(bytes);
        }
    }
    m_loaded.insert(key, result);
    return result;
}

bool FilePreferencesStore::setValue(const QString& key, const QByteArray& bytes) {
    if (!writeDurably(m_folder, pathFor(key), bytes))
        return false;
    // Not kept: holding a reference would make the writer copy a large buffer it could reuse.
    // The file now holds exactly these bytes, so a later read returns them.
    m_loaded.remove(key);
    return true;
}

bool FilePreferencesStore::keepAside(const QString& key) {
    QFile file(pathFor(key));
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = m_folder + u'/' + key + QStringLiteral(".unreadable-") + stamp;
    QString asidePath = base + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(asidePath); ++n)
        asidePath = base + u'-' + QString::number(n) + QStringLiteral(".json");
    return writeDurably(m_folder, asidePath, bytes);
}
