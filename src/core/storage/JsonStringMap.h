#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>

// A JSON object whose values are all strings, such as the task-colour mappings.
// Anything else (not an object, or one value of another type) reads as nothing at all.
std::optional<QHash<QString, QString>> decodeStringMap(QByteArrayView json);
// Keys in sorted order, so the file reads well and diffs cleanly.
QByteArray encodeStringMap(const QHash<QString, QString>& map);
