#include "Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {
namespace {
QString g_applications; // set by tests only
}

QString applicationsFolder()
{
    if (!g_applications.isEmpty())
        return g_applications;
#ifdef Q_OS_MACOS
    return QStringLiteral("/Applications");
#else
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/Applications"));
#endif
}

void setApplicationsFolder(const QString& folder)
{
    g_applications = folder;
}

QString downloadsFolder()
{
    return QDir::cleanPath(QDir::homePath() + QStringLiteral("/Downloads"));
}

bool moveToTrash(const QString& path, QString* inTrash)
{
    // Qt 6.4 puts the item into the current folder instead of the Trash when the generic
    // data folder (which holds the freedesktop Trash) does not exist yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QString moved;
    if (!QFile::moveToTrash(path, &moved))
        return false;
    if (inTrash)
        *inTrash = moved;
    return true;
}

bool restoreFromTrash(const QString& inTrash, const QString& original)
{
    if (!QDir().rename(inTrash, original))
        return false;
    // A freedesktop Trash keeps a record beside "files"; without its item it would show a
    // broken entry. The macOS Trash keeps none.
    const QFileInfo item(inTrash);
    const QString record = QDir::cleanPath(item.absolutePath() + QStringLiteral("/../info/") +
                                           item.fileName() + QStringLiteral(".trashinfo"));
    if (QFileInfo(item.absolutePath()).fileName() == QLatin1String("files"))
        QFile::remove(record);
    return true;
}

} // namespace platform
