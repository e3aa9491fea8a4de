#include "Store.h"

#include "SetFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

Q_LOGGING_CATEGORY(lcStore, "pairwell.store")

namespace store {
namespace {

using Keys = QVariantMap;

// QSettings is not used on the real file for writing: on Qt 6.4 a write that runs out of
// space can replace the file with an empty one and still report success, and a failed write
// stays pending in the process-wide cache, to be written later or to hide what another copy
// of the game stored. The file is therefore parsed and produced by QSettings on private
// copies, and written and checked here.

/// Parses INI \a bytes with QSettings, through a file of its own so no cached copy applies.
std::optional<Keys> parse(const QByteArray& bytes)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("read.conf")));
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return std::nullopt;
    file.close();
    QSettings s(file.fileName(), QSettings::IniFormat);
    Keys keys;
    for (const QString& key : s.allKeys())
        keys.insert(key, s.value(key));
    if (s.status() != QSettings::NoError)
        return std::nullopt;
    return keys;
}

/// The keys of an older build: on macOS and Windows they were kept in the native store, and
/// are read from there until the first change writes them all into the file.
Keys earlierKeys()
{
    Keys keys;
#if defined(Q_OS_DARWIN) || defined(Q_OS_WIN)
    const QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tallowen"),
                      QStringLiteral("Pairwell"));
    for (const QString& key : s.allKeys())
        keys.insert(key, s.value(key));
#endif
    return keys;
}

/// The keys as the file holds them now (an older build's when there is no file yet), nothing when
/// it cannot be read. The last parse is kept, since the game reads "used" at every card.
std::optional<Keys> readKeys()
{
    static QByteArray lastBytes;
    static Keys lastKeys;
    QFile file(settingsFile());
    if (!file.exists())
        return earlierKeys();
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcStore).noquote()
            << "cannot read" << file.fileName() << ":" << file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (bytes != lastBytes || bytes.isEmpty()) {
        const auto keys = parse(bytes);
        if (!keys) {
            // The text is parsed in a private copy in the temporary folder.
            qCWarning(lcStore).noquote()
                << "cannot parse" << file.fileName() << "(is the temporary folder full?)";
            return std::nullopt;
        }
        lastBytes = bytes;
        lastKeys = *keys;
    }
    return lastKeys;
}

std::optional<QByteArray> serialise(const Keys& keys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("write.conf"));
    {
        QSettings s(path, QSettings::IniFormat);
        for (auto it = keys.begin(); it != keys.end(); ++it)
            s.setValue(it.key(), it.value());
        s.sync();
        if (!dir.isValid() || s.status() != QSettings::NoError)
            return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

} // namespace

QString root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tallowen/Pairwell");
}

QString folder(const QString& name)
{
    return root() + QLatin1Char('/') + name;
}

QString imageFile(const QString& setFolder, int index)
{
    return QStringLiteral("%1/%2.png").arg(setFolder).arg(index);
}

QString defaultImage(int index)
{
    return QStringLiteral(":/sets/Default/%1.png").arg(index);
}

QString settingsFile()
{
    // The maker's and the game's names whatever the application object calls itself. An
    // INI file on every platform (the native format elsewhere than on macOS and Windows),
    // since only a file can be written and read back here.
#if defined(Q_OS_DARWIN) || defined(Q_OS_WIN)
    constexpr auto format = QSettings::IniFormat;
#else
    constexpr auto format = QSettings::NativeFormat;
#endif
    static const QString file = QSettings(format, QSettings::UserScope, QStringLiteral("Tallowen"),
                                          QStringLiteral("Pairwell"))
                                    .fileName();
    return file;
}

QVariant value(const QString& key)
{
    return readKeys().value_or(Keys()).value(key);
}

bool hasBook()
{
    return value(kBook).isValid();
}

QStringList book()
{
    // A one-element list comes back from the settings file as a plain string, so the value
    // is always read through toStringList() and never judged by its type.
    return value(kBook).toStringList();
}

bool hasUsed()
{
    return value(kUsed).isValid();
}

QString usedName()
{
    return value(kUsed).toString();
}

QString high()
{
    return value(kHigh).toString();
}

Outcome change(const QString& key,
               const std::function<std::optional<QVariant>(const QVariant&)>& edit)
{
    const QString file = settingsFile();
    const auto fail = [&](const QString& why) {
        qCWarning(lcStore).noquote() << "cannot store" << key << "in" << file << ":" << why;
        return Outcome::Failed;
    };
    if (!QDir().mkpath(QFileInfo(file).path()))
        return fail(QStringLiteral("no folder for it"));
    // The lock QSettings itself takes around its writes, so no copy of the game, and no
    // QSettings anywhere, rewrites the file between this read and this write.
    QLockFile lock(file + QStringLiteral(".lock"));
    if (!lock.tryLock(10000))
        return fail(QStringLiteral("cannot lock it (%1)").arg(int(lock.error())));
    auto keys = readKeys();
    if (!keys)
        return fail(QStringLiteral("cannot read it"));
    const QVariant now = keys->value(key);
    const auto next = edit(now);
    // Writing back what is already stored would only cost a rewrite of the whole file.
    if (!next || (now.isValid() && now == *next))
        return Outcome::Unchanged;
    keys->insert(key, *next);
    const auto bytes = serialise(*keys);
    if (!bytes)
        return fail(QStringLiteral("cannot produce it"));
    QString why;
    if (!setfiles::writeFile(file, *bytes, &why))
        return fail(why);
    return Outcome::Written;
}

bool setBook(const QStringList& names)
{
    return change(kBook, [&](const QVariant&) { return QVariant(names); }) != Outcome::Failed;
}

bool setUsed(const QString& name)
{
    return change(kUsed, [&](const QVariant&) { return QVariant(name); }) != Outcome::Failed;
}

bool setHigh(const QString& text)
{
    return change(kHigh, [&](const QVariant&) { return QVariant(text); }) != Outcome::Failed;
}

} // namespace store
