#include "TestSupport.h"

namespace testsupport {

static std::unique_ptr<QTemporaryDir> g_home;

void isolateHome()
{
    g_home =
        std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pairwell-home-XXXXXX"));
    if (!g_home->isValid())
        qFatal("cannot make a temporary HOME");
    qputenv("HOME", QFile::encodeName(g_home->path()));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS",
                             "XDG_CONFIG_DIRS", "XDG_RUNTIME_DIR"})
        qunsetenv(name);
}

QString home()
{
    return g_home ? g_home->path() : QString();
}

void resetStore()
{
    QFile::remove(store::settingsFile());
    QDir(store::root()).removeRecursively();
}

bool mountFull(const QString& dir, int kib, qint64 left, const std::function<void()>& ready)
{
    if (!QDir().mkpath(dir) ||
        QProcess::execute(
            QStringLiteral("mount"),
            {"-t", "tmpfs", "-o", QStringLiteral("size=%1k").arg(kib), "tmpfs", dir}) != 0)
        return false;
    ready();
    QFile fill(dir + QStringLiteral("/.fill"));
    const qint64 room = QStorageInfo(dir).bytesAvailable() - left;
    return fill.open(QIODevice::WriteOnly) &&
           fill.write(QByteArray(qMax<qint64>(room, 0), 'x')) >= 0;
}

void unmount(const QString& dir)
{
    QProcess::execute(QStringLiteral("umount"), {dir});
}

} // namespace testsupport
