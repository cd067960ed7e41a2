#pragma once

#include "model/TaskEntry.h"

#include <QList>
#include <QString>
#include <optional>

// The stored history read without changing anything on disk: no temporaries cleared away, no
// unreadable file kept aside. For reading it while no Hourlark runs to ask.
namespace HistoryFile {

// Where Hourlark keeps the history in `folder` (FilePreferencesStore's file for its key).
QString path(const QString& folder);
// The stored completions; empty when there is no file yet. nullopt, with the reason, when the file
// cannot be read or holds no history this version can read.
std::optional<QList<TaskEntry>> read(const QString& path, QString* error);

} // namespace HistoryFile
