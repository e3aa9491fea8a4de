#pragma once

#include <QString>

/// The few places where the game meets the desktop it runs on: the folder that holds
/// installed applications, the Downloads folder and the Trash.
namespace platform {

/// The local Applications folder: /Applications on macOS, ~/Applications elsewhere (the
/// home of self-contained applications on Linux). It may not exist yet.
QString applicationsFolder();
/// Replaces the Applications folder with \a folder, for tests; an empty text restores it.
void setApplicationsFolder(const QString& folder);

/// The user's Downloads folder: the home folder joined with "Downloads".
QString downloadsFolder();

/// Moves \a path (a file or a folder) into the user's Trash and waits until it is there.
/// On success \a inTrash, when given, receives the item's new path. False when the item
/// could not be moved; it then stays where it was.
bool moveToTrash(const QString& path, QString* inTrash = nullptr);

/// Puts an item that moveToTrash() sent to \a inTrash back at \a original and drops its
/// Trash record. False when it could not be moved back.
bool restoreFromTrash(const QString& inTrash, const QString& original);

} // namespace platform
