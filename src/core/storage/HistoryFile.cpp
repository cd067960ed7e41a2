#include "storage/HistoryFile.h"

#include "model/TaskEntryJson.h"

#include <QCoreApplication>
#include <QFile>

namespace HistoryFile {

QString path(const QString& folder) {
    return folder + QStringLiteral("/TaskHistoryData.json");
}

std::optional<QList<TaskEntry>> read(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists())
        return QList<TaskEntry>();
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("HistoryFile", "cannot read %1: %2")
                     .arg(path, file.errorString());
        return std::nullopt;
    }
    std::optional<QList<TaskEntry>> tasks = decodeTaskHistory(file.readAll());
    if (!tasks)
        *error = QCoreApplication::translate("HistoryFile", "%1 holds no history Hourlark can read")
                     .arg(path);
    return tasks;
}

} // namespace HistoryFile
