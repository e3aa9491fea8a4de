#include "SetFiles.h"

#include "Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>

namespace setfiles {

bool isFolderName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    // Both separators are refused on every platform, so a set made on one system can be
    // carried to another.
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') ||
               c.category() == QChar::Other_Control;
    });
}

bool isTaken(const QString& folder)
{
    const QFileInfo info(folder);
    // A link could lead the files anywhere; a plain file is no set and makes the save fail.
    if (info.isSymLink())
        return true;
    return info.isDir() && !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                 QDir::Hidden | QDir::System);
}

bool writeSet(const QString& folder, const QList<QImage>& images, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const bool existed = QFileInfo(folder).isDir();
    if (!existed && !QDir().mkpath(folder))
        return fail(QStringLiteral("cannot create the folder %1").arg(folder));

    QStringList written;
    for (int i = 0; i < images.size(); ++i) {
        const QString path = store::imageFile(folder, i);
        QSaveFile file(path);
        QImageWriter writer(&file, "png");
        // A middling zlib level: a third of the default's time for files a few per cent
        // larger, which keeps Save of a photo set well under two seconds.
        writer.setQuality(50);
        QString why;
        if (!file.open(QIODevice::WriteOnly))
            why = file.errorString();
        else if (!writer.write(images.at(i)))
            why = writer.errorString();
        else if (!file.commit())
            why = file.errorString();
        else {
            written << path;
            continue;
        }
        // An uncommitted QSaveFile leaves nothing behind; what came before goes too.
        for (const QString& done : std::as_const(written))
            QFile::remove(done);
        if (!existed)
            QDir().rmdir(folder);
        return fail(QStringLiteral("cannot write %1: %2").arg(path, why));
    }
    return true;
}

bool removeSet(const QString& folder)
{
    const QFileInfo info(folder);
    if (info.isSymLink())
        return QFile::remove(folder);
    if (!info.isDir())
        return false;
    return QDir(folder).removeRecursively();
}

} // namespace setfiles
