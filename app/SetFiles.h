#pragma once

#include <QImage>
#include <QList>
#include <QString>

/// The file work of the set editor: which names may become set folders, and writing and
/// removing a set folder without ever leaving half a set or touching anything else.
namespace setfiles {

/// Whether \a name can name a folder directly inside the store root: not empty, not "." or
/// "..", and free of path separators ("/" and "\") and control characters.
bool isFolderName(const QString& name);

/// Whether \a folder is already in use: a folder that is not empty, or a symbolic link.
bool isTaken(const QString& folder);

/// Writes \a images as PNG files 0.png, 1.png, ... into \a folder, creating it if needed.
/// Each file is written atomically. If any write fails, the files already written (and the
/// folder, when this call made it) are removed again, \a error says why, and false is
/// returned; on success every image is on disk.
bool writeSet(const QString& folder, const QList<QImage>& images, QString* error = nullptr);

/// Removes the set folder \a folder with its contents. A symbolic link is removed as a link,
/// never followed. False when no such folder exists or it could not be removed entirely.
bool removeSet(const QString& folder);

} // namespace setfiles
