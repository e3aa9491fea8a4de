#include "SetFiles.h"

#include "Store.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <algorithm>
#include <cstring>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace setfiles {
namespace {

bool syncToDisk(int handle)
{
#if defined(Q_OS_WIN)
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

/// Whether \a a and \a b show the same pixels. Only the pixels count: a colour profile that
/// PNG cannot carry (an RGB profile on a grey image) is dropped on the way, and that is no
/// failure.
bool samePixels(QImage a, QImage b)
{
    a = a.convertToFormat(QImage::Format_ARGB32);
    b = b.convertToFormat(QImage::Format_ARGB32);
    if (a.isNull() || a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    }
    return true;
}

} // namespace

bool isFolderName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.toUtf8().size() > 255 || !name.isValidUtf16())
        return false;
    // Both separators are refused on every platform, so a set made on one system can be
    // carried to another.
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return true;
        default:
            return c == QLatin1Char('/') || c == QLatin1Char('\\');
        }
    });
}

Made makeFolder(const QString& folder)
{
    const QFileInfo info(folder);
    if (!QDir().mkpath(info.path()))
        return Made::Failed;
    // mkdir() is atomic: of two copies of the game saving one name, one makes the folder.
    if (QDir().mkdir(folder))
        return Made::Made;
    return info.isDir() || info.isSymLink() ? Made::Exists : Made::Failed;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, why);
        return false;
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // A small write only reaches the buffer, and on Qt 6.4 commit() ignores a failure of the
    // flush it makes itself (a full disk leaves the file empty or cut short, yet it returns
    // true). So flush here, where the result counts, and sync before the file takes its name.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!syncToDisk(file.handle())) {
        file.cancelWriting();
        return fail(QStringLiteral("cannot sync it to disk"));
    }
    if (!file.commit())
        return fail(file.errorString());
    QFile back(path);
    if (!back.open(QIODevice::ReadOnly) || back.size() != bytes.size() || back.readAll() != bytes)
        return fail(QStringLiteral("what is on disk differs from what was written"));
    return true;
}

bool writeSet(const QString& folder, const QList<QImage>& images, QString* error,
              const std::function<bool(int done)>& onward)
{
    QStringList written;
    for (int i = 0; i < images.size(); ++i) {
        const QString path = store::imageFile(folder, i);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // A middling zlib level: a third of the default's time for files a few per cent
        // larger, which keeps Save of a photo set well under two seconds.
        writer.setQuality(50);
        QString why;
        if (!writer.write(images.at(i)))
            why = QStringLiteral("cannot encode %1: %2").arg(path, writer.errorString());
        else if (!writeFile(path, png, &why))
            written << path; // the name may already stand for a short file
        else {
            written << path;
            QImageReader reader(path, "png");
            const QImage back = reader.read();
            if (!samePixels(back, images.at(i)))
                why = QStringLiteral("%1 does not read back as the image written").arg(path);
            else if (!onward || onward(i + 1))
                continue;
            else
                why = QStringLiteral("the save of %1 was stopped").arg(folder);
        }
        for (const QString& done : std::as_const(written))
            QFile::remove(done);
        if (error)
            *error = why;
        return false;
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
