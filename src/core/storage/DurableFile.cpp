#include "storage/DurableFile.h"

#include "CoreLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file's own name, six random characters and a suffix no one else uses, so that leftovers
// of a killed write are told from the user's own files.
constexpr QLatin1StringView temporarySuffix(".XXXXXX.saving");
constexpr int temporarySuffixLength = 7; // ".saving"

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool fail(QString* error, const QString& what, int code) {
    if (error)
        *error = what + QStringLiteral(": ") + reason(code);
    return false;
}

// The file a chain of symlinks ends at, so the replacement lands beside it and not beside the
// link (which would turn the link into a plain file).
QString resolvedTarget(const QString& path) {
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return current;
}

// Creates the missing folders of `folder`, private to the user; existing ones stay as they are.
bool makeFolders(const QString& folder, QString* error) {
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !makeFolders(parent, error))
        return false;
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST)
        return fail(error, QStringLiteral("cannot create %1").arg(folder), errno);
    return true;
}

bool writeAll(int fd, QByteArrayView bytes) {
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

bool syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return synced;
}

// Copies the first `length` bytes of `from` into `to`, inside the kernel where it can.
bool copyPrefix(int from, int to, qint64 length) {
    loff_t in = 0;
    while (in < length) {
        const ssize_t copied =
            ::copy_file_range(from, &in, to, nullptr, static_cast<size_t>(length - in), 0);
        if (copied > 0)
            continue;
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied == 0 || (errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
                            errno != EOPNOTSUPP && errno != EPERM)) {
            if (copied == 0)
                errno = EIO; // the file is shorter than it was a moment ago
            return false;
        }
        // No kernel copy between these files: through a buffer instead.
        char buffer[1 << 16];
        while (in < length) {
            const ssize_t got =
                ::pread(from, buffer,
                        static_cast<size_t>(std::min<qint64>(sizeof buffer, length - in)), in);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                if (got == 0)
                    errno = EIO;
                return false;
            }
            if (!writeAll(to, QByteArrayView(buffer, got)))
                return false;
            in += got;
        }
    }
    return true;
}

// The one way every file is replaced: a private temporary beside the real file (the end of any
// symlink chain), filled, checked and synced, then renamed over it, then the folder synced.
bool replaceFile(const QString& path,
                 const std::function<bool(int fd, const QString& target)>& fill, QString* error) {
    if (path.isEmpty() || !QFileInfo(path).isAbsolute())
        return fail(error, QStringLiteral("no place to write to"), ENOENT);
    // Only our own folder is created; a link pointing into a missing folder is the user's to fix.
    if (!makeFolders(QFileInfo(path).absolutePath(), error))
        return false;
    const QString target = resolvedTarget(path);
    const QString folder = QFileInfo(target).absolutePath();

    QByteArray temporary = QFile::encodeName(target + temporarySuffix);
    const int fd = ::mkostemps(temporary.data(), temporarySuffixLength, O_CLOEXEC); // 0600
    if (fd < 0)
        return fail(error, QStringLiteral("cannot write in %1").arg(folder), errno);

    struct stat existing {};
    bool ok = true;
    QString step;
    if (::stat(QFile::encodeName(target).constData(), &existing) == 0 &&
        ::fchmod(fd, existing.st_mode & 07777) != 0) {
        ok = false;
        step = QStringLiteral("cannot keep the permissions of %1").arg(target);
    } else if (!fill(fd, target) || ::fsync(fd) != 0) {
        // Checked before the rename: a short or unsynced copy must never replace a good file.
        ok = false;
        step = QStringLiteral("cannot write %1").arg(target);
    }
    int code = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        code = errno;
        step = QStringLiteral("cannot write %1").arg(target);
    }
    if (ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        ok = false;
        code = errno;
        step = QStringLiteral("cannot replace %1").arg(target);
    }
    if (!ok) {
        ::unlink(temporary.constData());
        return fail(error, step, code);
    }
    // The new directory entry only survives a power cut once the folder itself is synced.
    if (!syncFolder(folder))
        return fail(error, QStringLiteral("cannot sync %1").arg(folder), errno);
    return true;
}

} // namespace

bool writeFileDurably(const QString& path, QByteArrayView bytes, QString* error) {
    return replaceFile(
        path, [bytes](int fd, const QString&) { return writeAll(fd, bytes); }, error);
}

bool rewriteTailDurably(const QString& path, qint64 keep, QByteArrayView tail, QString* error) {
    const auto fill = [keep, tail](int fd, const QString& target) {
        const int from = ::open(QFile::encodeName(target).constData(), O_RDONLY | O_CLOEXEC);
        if (from < 0)
            return false;
        const bool copied = copyPrefix(from, fd, keep);
        const int saved = errno;
        ::close(from);
        errno = saved;
        return copied && writeAll(fd, tail);
    };
    return replaceFile(path, fill, error);
}

namespace {

bool isAsciiAlphanumeric(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Ours, "<name>.json.XXXXXX.saving", and those of earlier versions, which wrote through QSaveFile:
// "<name>.json.XXXXXX" with random letters of both cases, unlike a name a person gives a backup
// ("….json.backup"). Matched by hand: a regular expression here would bring its engine into
// every start.
bool isTemporaryName(QStringView name) {
    const bool ours = name.endsWith(u".saving");
    if (ours)
        name.chop(7);
    constexpr qsizetype randomLength = 6;
    const QStringView json = u".json.";
    if (name.size() <= json.size() + randomLength)
        return false;
    const QStringView random = name.last(randomLength);
    const QStringView stem = name.chopped(randomLength + json.size());
    if (!name.chopped(randomLength).endsWith(json) || stem.contains(u'\n') || stem.contains(u'\r'))
        return false;
    bool upper = false;
    bool lower = false;
    for (const QChar c : random) {
        if (!isAsciiAlphanumeric(c))
            return false;
        upper = upper || c.isUpper();
        lower = lower || c.isLower();
    }
    return ours || (upper && lower);
}

} // namespace

void removeStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    const QStringList names =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Unsorted);
    for (const QString& name : names) {
        if (!isTemporaryName(name))
            continue;
        if (QFile::remove(dir.filePath(name)))
            qCInfo(lcStorage, "Removed %s, left by an interrupted save", qPrintable(name));
    }
}
