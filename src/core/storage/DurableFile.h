#pragma once

#include <QByteArrayView>
#include <QString>

// Replaces a file's whole contents so that, whatever happens meanwhile (a full disk, a kill, a
// power cut), the file holds either all of its old bytes or all of the new ones.
//
// The bytes go to a temporary sibling of the file that a symlink at `path` points to, are
// checked and synced, and the temporary is renamed over it; then that folder is synced. A file
// written for the first time is private to the user (0600, in folders created 0700); an existing
// file keeps its permissions. On failure nothing is replaced and `error` says why.
bool writeFileDurably(const QString& path, QByteArrayView bytes, QString* error = nullptr);

// Like writeFileDurably(), but the new contents are the first `keep` bytes of the current file
// followed by `tail`. The kept part is copied inside the kernel, so adding to the end of a large
// file costs about as much as the tail itself.
bool rewriteTailDurably(const QString& path, qint64 keep, QByteArrayView tail,
                        QString* error = nullptr);

// Removes the temporaries that a write killed before its rename left in `folder`.
void removeStaleTemporaries(const QString& folder);
