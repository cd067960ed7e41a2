#include "autostart/LoginItemService.h"

#include "storage/DurableFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <optional>

namespace {

const QString entryName = QStringLiteral("autostart/hourlark.desktop");

// The first XDG_CONFIG_DIRS entry that would start us when the user's own entry is absent
// (a distribution may install one). Empty when there is none.
QString systemEntryPath() {
    const QString user = LoginItemService::entryPath();
    const QStringList found = QStandardPaths::locateAll(QStandardPaths::GenericConfigLocation,
                                                        entryName, QStandardPaths::LocateFile);
    for (const QString& path : found) {
        if (QFileInfo(path).absoluteFilePath() != QFileInfo(user).absoluteFilePath())
            return path;
    }
    return {};
}

// Reads the [Desktop Entry] group; nullopt when the file cannot be read.
std::optional<QHash<QString, QString>> readEntry(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QHash<QString, QString> keys;
    bool inMainGroup = false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inMainGroup && equals > 0)
            keys.insert(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return keys;
}

bool entryEnables(const QHash<QString, QString>& keys) {
    return keys.value(QStringLiteral("Hidden")) != QLatin1String("true") &&
           keys.value(QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

} // namespace

QString LoginItemService::entryPath() {
    // Qt falls back to ~/.config when XDG_CONFIG_HOME is unset or not absolute.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           entryName;
}

// Always quoted; inside quotes ", `, $ and \ take a backslash, and the value as a whole escapes
// backslashes once more, so a literal backslash is written as four.
QString LoginItemService::quotedExecArgument(const QString& argument) {
    QString quoted;
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$')
            quoted += QLatin1String("\\\\") + c;
        else if (c == u'\\')
            quoted += QLatin1String("\\\\\\\\");
        else if (c == u'%')
            quoted += QLatin1String("%%");
        else if (c == u'\n')
            quoted += QLatin1String("\\n");
        else
            quoted += c;
    }
    return u'"' + quoted + u'"';
}

bool LoginItemService::isEnabled() const {
    // The user's entry, when present, overrides one installed system-wide.
    if (const auto keys = readEntry(entryPath()))
        return entryEnables(*keys);
    const QString system = systemEntryPath();
    if (system.isEmpty())
        return false;
    const auto keys = readEntry(system);
    return keys && entryEnables(*keys);
}

bool LoginItemService::setEnabled(bool enabled, QString* error) {
    const QString path = entryPath();
    if (enabled) {
        const QByteArray contents =
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Hourlark\n"
            "Comment=Countdown timer with a task history\n"
            "Exec=" +
            quotedExecArgument(QCoreApplication::applicationFilePath()).toUtf8() +
            "\n"
            "Icon=hourlark\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n";
        return writeFileDurably(path, contents, error);
    }

    // Removing our entry is enough unless a system-wide one would still start us; only then
    // does the user's entry have to stay behind, hidden.
    if (!systemEntryPath().isEmpty()) {
        return writeFileDurably(
            path, "[Desktop Entry]\nType=Application\nName=Hourlark\nHidden=true\n", error);
    }
    QFile file(path);
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    if (!file.remove()) {
        if (error)
            *error = QStringLiteral("cannot remove %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
