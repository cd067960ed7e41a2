#include "storage/PreferencesStore.h"

#include "storage/DurableFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Reads a whole file; nullopt with the reason when it is there but cannot be read.
std::optional<QByteArray> readWhole(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace

FilePreferencesStore::FilePreferencesStore(QString folder)
    : m_folder(std::move(folder)) {
    if (!m_folder.isEmpty())
        removeStaleTemporaries(m_folder);
}

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

    m_lastError.clear();
    std::optional<QByteArray> result;
    const QString path = pathFor(key);
    if (QFileInfo::exists(path)) {
        // A file that exists but cannot be read counts as present and unreadable (empty bytes
        // never decode), so it is kept aside instead of being overwritten as if absent.
        result = readWhole(path, &m_lastError).value_or(QByteArray());
    }
    m_loaded.insert(key, result);
    return result;
}

bool FilePreferencesStore::setValue(const QString& key, const QByteArray& bytes) {
    m_lastError.clear();
    // No data folder known (no home directory): write nowhere rather than relative to "/".
    if (m_folder.isEmpty()) {
        m_lastError = QStringLiteral("no folder for %1 (is HOME set?)").arg(key);
        return false;
    }
    if (!writeFileDurably(pathFor(key), bytes, &m_lastError))
        return false;
    // Not kept: holding a reference would make the writer copy a large buffer it could reuse.
    // The file now holds exactly these bytes, so a later read returns them.
    m_loaded.remove(key);
    return true;
}

bool FilePreferencesStore::keepAside(const QString& key) {
    m_lastError.clear();
    const QString path = pathFor(key);
    if (!QFileInfo::exists(path))
        return true;
    const std::optional<QByteArray> bytes = readWhole(path, &m_lastError);
    if (!bytes)
        return false;

    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = m_folder + u'/' + key + QStringLiteral(".unreadable-") + stamp;
    QString asidePath = base + QStringLiteral(".json");
    for (int n = 2; QFileInfo::exists(asidePath); ++n)
        asidePath = base + u'-' + QString::number(n) + QStringLiteral(".json");
    return writeFileDurably(asidePath, *bytes, &m_lastError);
}
