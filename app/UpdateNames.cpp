#include "UpdateNames.h"

#include "Platform.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace updatenames {
namespace {
QString g_blog; // set by tests only
QString g_site;
QByteArray g_key = PAIRWELL_UPDATE_KEY;
} // namespace

QString entry(const QString& key)
{
    // Built anew on every call, each entry from the ones before it.
    const QString apps = QCoreApplication::applicationName();
    if (key == QLatin1String("apps"))
        return apps;
    // Only U+0020 goes: the archive name drops spaces but keeps any other white space.
    const QString lows = apps.toLower().remove(QChar(u' '));
    if (key == QLatin1String("lows"))
        return lows;
    const QString down = platform::downloadsFolder();
    if (key == QLatin1String("down"))
        return down;
    if (key == QLatin1String("zips"))
        return QStringLiteral("%1/%2.zip").arg(down, lows);
    if (key == QLatin1String("blog"))
        return g_blog.isEmpty() ? QStringLiteral(PAIRWELL_UPDATE_BLOG) : g_blog;
    if (key == QLatin1String("site"))
        return g_site.isEmpty() ? QStringLiteral(PAIRWELL_UPDATE_SITE) : g_site;
    return QString();
}

void setBases(const QString& blog, const QString& site)
{
    g_blog = blog;
    g_site = site;
}

QByteArray publicKey()
{
    return g_key;
}

void setPublicKey(const QByteArray& key)
{
    g_key = key;
}

QString pageAddress()
{
    return entry(QStringLiteral("blog")) + kPost + QStringLiteral(".html");
}

QString archiveAddress()
{
    return entry(QStringLiteral("site")) + entry(QStringLiteral("lows")) + QStringLiteral(".zip");
}

QString versionPattern(const QString& apps)
{
    // The line must follow a line feed and end in one; the version text is the rest of the
    // line and may hold no line terminator at all (CR, VT, FF, NEL, LS, PS included), which
    // PCRE's "." would let through.
    const QString head = QStringLiteral("Tallowenworks: Mac OS X アプリケーション: ") + apps;
    return QStringLiteral("\\n") + QRegularExpression::escape(head) +
           QStringLiteral(" ([^\\n\\x{0B}\\f\\r\\x{85}\\x{2028}\\x{2029}]+)\\n");
}

} // namespace updatenames
