#include "TestSupport.h"

#include "Store.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

namespace testsupport {
namespace {
std::unique_ptr<QTemporaryDir> g_home;
}

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

} // namespace testsupport
