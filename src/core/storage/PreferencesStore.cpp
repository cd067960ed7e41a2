#include "storage/PreferencesStore.h"

#include "storage/DurableFile.h"
#include "storage/JsonText.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>
#include <sys/stat.h>

namespace {

// Reads a whole file; nullopt with the reason when it is there but cannot be read.
std::optional<QByteArray> readWhole(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // Room left behind the text lets the JSON reader parse it in place instead of copying it.
    constexpr qsizetype readerPadding = 64;
    QByteArray bytes;
    bytes.reserve(file.size() + readerPadding);
    char chunk[1 << 16];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0)
        bytes.append(chunk, got);
    if (got < 0 || file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

FilePreferencesStore::FileStamp stampOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

// What readInPieces() reads at once.
constexpr qint64 pieceLength = 1 << 16;

// The last bytes of a file, where the end of a JSON array is looked for.
constexpr qint64 tailLength = 4096;

} // namespace

PreferencesStore::PieceRead PreferencesStore::readInPieces(const QString& key,
                                                           const PieceTaker& take) const {
    const std::optional<QByteArray> bytes = value(key);
    if (!bytes)
        return PieceRead::Absent;
    if (!lastError().isEmpty())
        return PieceRead::Failed;
    return take(*bytes, bytes->size()) ? PieceRead::Complete : PieceRead::Stopped;
}

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
    m_lastError.clear();
    std::optional<QByteArray> result;
    const QString path = pathFor(key);
    if (QFileInfo::exists(path)) {
        // A file that exists but cannot be read counts as present and unreadable (empty bytes
        // never decode), so it is kept aside instead of being overwritten as if absent.
        const FileStamp before = stampOf(path);
        result = readWhole(path, &m_lastError).value_or(QByteArray());
        if (m_lastError.isEmpty() && stampOf(path) == before)
            m_stamps.insert(key, before);
    }
    return result;
}

PreferencesStore::PieceRead FilePreferencesStore::readInPieces(const QString& key,
                                                               const PieceTaker& take) const {
    m_lastError.clear();
    const QString path = pathFor(key);
    if (!QFileInfo::exists(path))
        return PieceRead::Absent;
    const FileStamp before = stampOf(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_lastError = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return PieceRead::Failed;
    }
    const qint64 size = file.size();
    const auto chunk = std::make_unique<char[]>(pieceLength);
    qint64 got = 0;
    while ((got = file.read(chunk.get(), pieceLength)) > 0) {
        if (!take(QByteArrayView(chunk.get(), got), size))
            return PieceRead::Stopped;
    }
    if (got < 0 || file.error() != QFileDevice::NoError) {
        m_lastError = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return PieceRead::Failed;
    }
    if (stampOf(path) == before)
        m_stamps.insert(key, before);
    return PieceRead::Complete;
}

bool FilePreferencesStore::setValue(const QString& key, const QByteArray& bytes) {
    m_lastError.clear();
    // No data folder known (no home directory): write nowhere rather than relative to "/".
    if (m_folder.isEmpty()) {
        m_lastError = QStringLiteral("no folder for %1 (is HOME set?)").arg(key);
        return false;
    }
    m_stamps.remove(key);
    if (!writeFileDurably(pathFor(key), bytes, &m_lastError))
        return false;
    remember(key);
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

void FilePreferencesStore::remember(const QString& key) {
    const FileStamp stamp = stampOf(pathFor(key));
    if (stamp.size >= 0)
        m_stamps.insert(key, stamp);
}

bool FilePreferencesStore::appendToArray(const QString& key, QByteArrayView elements) {
    m_lastError.clear();
    const QString path = pathFor(key);
    const auto known = m_stamps.constFind(key);
    if (known == m_stamps.constEnd() || stampOf(path) != *known)
        return false;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 tailStart = std::max<qint64>(0, known->size - tailLength);
    if (!file.seek(tailStart))
        return false;
    const QByteArray tail = file.read(known->size - tailStart);
    const std::optional<ArrayEnd> end = findArrayEnd(tail);
    if (!end || tail.size() != known->size - tailStart)
        return false;

    // Whatever followed the bracket (a final newline) stays where it was.
    QByteArray newTail;
    newTail.reserve(elements.size() + tail.size() - end->bracket + 1);
    if (end->hasElements)
        newTail.append(',');
    newTail.append(elements);
    newTail.append(QByteArrayView(tail).sliced(end->bracket));
    m_stamps.remove(key);
    if (!rewriteTailDurably(path, tailStart + end->bracket, newTail, &m_lastError))
        return false;
    remember(key);
    return true;
}
