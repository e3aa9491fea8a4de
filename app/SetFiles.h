#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <functional>

/// The file work of the set editor: which names may become set folders, and writing and
/// removing a set folder without ever leaving half a set or touching anything else.
namespace setfiles {

/// Whether \a name can name a folder directly inside the store root on every file system:
/// not empty, not "." or "..", at most 255 bytes in UTF-8, and free of path separators ("/"
/// and "\"), control characters, and format or line and paragraph separator characters,
/// which would show one name and store another.
bool isFolderName(const QString& name);

/// How the creation of a set folder went.
enum class Made
{
    Made,   ///< the folder is new and this call made it
    Exists, ///< a folder or link of that name stands there already
    Failed  ///< it could not be made
};
/// Creates \a folder, failing when anything stands there already, so that of two saves of
/// one name only one goes on. Missing parents are made.
Made makeFolder(const QString& folder);

/// Writes \a bytes to \a path so that it counts only when it is complete: written, flushed
/// and synced to disk before the file takes its name, then read back whole. False, with the
/// reason in \a error, when anything fell short; a file that was there stays as it was.
bool writeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

/// Writes \a images as PNG files 0.png, 1.png, ... into the empty folder \a folder, each
/// checked by writeFile() and by decoding what is on disk. If any of them falls short, the
/// files written are removed again, \a error says why, and false is returned.
/// \a onward, when given, hears the count of files done after each one; it returns false to
/// stop the save, which then fails the same way. Safe to run on any thread.
bool writeSet(const QString& folder, const QList<QImage>& images, QString* error = nullptr,
              const std::function<bool(int done)>& onward = {});

/// Removes the set folder \a folder with its contents. A symbolic link is removed as a link,
/// never followed. False when no such folder exists or it could not be removed entirely.
bool removeSet(const QString& folder);

} // namespace setfiles
