#include "MendJob.h"

#include "MendSign.h"
#include "Platform.h"
#include "UpdateNames.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStorageInfo>
#include <QTimer>
#include <memory>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

Q_LOGGING_CATEGORY(lcUpdate, "pairwell.update")

namespace mendjob {
namespace {
constexpr int kTimeout = 30 * 1000;  // Qt's own limit on a silent transfer
constexpr int kDeadline = 60 * 1000; // see deadline()
int g_deadline = 0;                  // set by tests only
constexpr char kRefused[] = "pairwell.refused";
} // namespace

int deadline()
{
    return g_deadline > 0 ? g_deadline : kDeadline;
}

void setDeadline(int milliseconds)
{
    g_deadline = milliseconds;
}

QNetworkReply* fetch(QNetworkAccessManager* network, const QUrl& url, qint64 cap, bool flowing)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(kTimeout);
    QNetworkReply* reply = network->get(request);
    // The reply lives across redirects, and so does this timer: Qt's transfer timeout
    // does not hold for the request that a redirect makes.
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    const auto refuse = [reply](const char* why) {
        // Marked first: the last bytes may already be in, and finished() must still fail.
        reply->setProperty(kRefused, QString::fromLatin1(why) + u' ' + reply->url().toString());
        reply->abort();
    };
    QObject::connect(timer, &QTimer::timeout, reply, [refuse] { refuse("no answer in time:"); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [refuse, timer, cap, flowing](qint64 received, qint64 total) {
                         if (received > cap || total > cap)
                             refuse("too large:");
                         else if (flowing && received > 0)
                             timer->start();
                     });
    timer->start(deadline());
    return reply;
}

bool arrived(const QNetworkReply* reply)
{
    const QString refused = reply->property(kRefused).toString();
    if (refused.isEmpty() && reply->error() == QNetworkReply::NoError)
        return true;
    qCWarning(lcUpdate).noquote() << (refused.isEmpty() ? reply->errorString() : refused);
    return false;
}

} // namespace mendjob

namespace {
const QString kUnzip = QStringLiteral("/usr/bin/unzip");
constexpr qint64 kArchiveCap = qint64(1) << 29;  // 512 MiB, far above any real release
constexpr qint64 kSignatureCap = 1 << 14;        // a minisign signature is a few lines
constexpr qint64 kUnpackedCap = qint64(1) << 31; // 2 GiB unpacked
constexpr int kUnzipLimit = 10 * 60 * 1000;      // no honest archive takes longer to unpack
constexpr qint64 kSpare = 1 << 20;               // left free in Downloads after unpacking

QString name(const char* key)
{
    return updatenames::entry(QString::fromLatin1(key));
}

QString unpackedApp()
{
    return QStringLiteral("%1/%2.app").arg(name("down"), name("apps"));
}

/// The files that make an unpacked application a Pairwell, relative to its folder.
QStringList program()
{
#ifdef Q_OS_MACOS
    return {QStringLiteral("Contents/MacOS/") + name("apps"),
            QStringLiteral("Contents/Info.plist")};
#else
    return {name("lows")};
#endif
}

/// Why an entry in \a names would land outside the Downloads folder; empty when none does.
/// Links standing there cannot divert an entry: the tops are cleared before unpacking.
QString leaves(const QStringList& names)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& entry : names) {
        if (entry.startsWith(u'/') || entry.startsWith(u'\\') ||
            (entry.size() > 1 && entry.at(1) == u':'))
            return QStringLiteral("absolute entry: ") + entry;
        for (const QString& part : entry.split(separators, Qt::SkipEmptyParts))
            if (part == QLatin1String("..") || part == QLatin1String("."))
                return QStringLiteral("entry leaves its folder: ") + entry;
    }
    return QString();
}
} // namespace

QString mendjob::updateLock()
{
    // In the temporary folder, named after the home, so that nothing is left in the home.
    const QByteArray home =
        QCryptographicHash::hash(QDir::homePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir::temp().filePath(
        QStringLiteral("pairwell-update-%1.lock").arg(QLatin1String(home.left(16))));
}

MendJob::MendJob(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this)) {}

MendJob::~MendJob()
{
    // Nothing may call back into a pane that is going away.
    for (QNetworkReply* reply : m_network->findChildren<QNetworkReply*>()) {
        reply->disconnect(this);
        reply->abort();
    }
    if (m_unzip && m_unzip->state() != QProcess::NotRunning) {
        m_unzip->disconnect(this);
        m_unzip->kill();
        m_unzip->waitForFinished(5000);
        discard();
    }
}

void MendJob::download()
{
    const QByteArray key = updatenames::publicKey();
    if (key.isEmpty())
        return fail(QStringLiteral("this build has no public key to verify updates with, so "
                                   "it installs none (configure with PAIRWELL_UPDATE_KEY)"));
    // Copies of the game share the archive path and the unpack folder in Downloads: one
    // update at a time, or one copy could install what another is still unpacking.
    m_lock = std::make_unique<QLockFile>(mendjob::updateLock());
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0))
        return fail(QStringLiteral("another copy of the game is installing an update"));
    const QString address = updatenames::archiveAddress();
    QNetworkReply* signature =
        mendjob::fetch(m_network, QUrl(address + QStringLiteral(".minisig")), kSignatureCap, false);
    connect(signature, &QNetworkReply::finished, this, [this, signature, address] {
        signature->deleteLater();
        if (!mendjob::arrived(signature))
            return fail(QStringLiteral("no signature for the archive"));
        m_signature = signature->readAll();

        const QString zips = name("zips");
        QNetworkReply* reply = mendjob::fetch(m_network, QUrl(address), kArchiveCap, true);
        // Written atomically: a broken download never leaves a file at the archive path.
        auto* archive = new QSaveFile(zips, reply);
        auto broken = std::make_shared<bool>(false);
        connect(reply, &QNetworkReply::downloadProgress, this, &MendJob::progress);
        connect(reply, &QNetworkReply::readyRead, this, [reply, archive, broken] {
            // The body of an error answer is no archive: leave it unread.
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (*broken || reply->error() != QNetworkReply::NoError || status < 200 || status > 299)
                return;
            if (!archive->isOpen()) {
                QDir().mkpath(QFileInfo(archive->fileName()).absolutePath());
                if (!archive->open(QIODevice::WriteOnly)) {
                    qCWarning(lcUpdate).noquote() << archive->errorString();
                    *broken = true;
                    return reply->abort();
                }
            }
            const QByteArray bytes = reply->readAll();
            if (archive->write(bytes) != bytes.size()) {
                qCWarning(lcUpdate).noquote() << archive->errorString();
                *broken = true;
                reply->abort();
            }
        });
        connect(reply, &QNetworkReply::finished, this, [this, reply, archive, broken, zips] {
            reply->deleteLater();
            if (!mendjob::arrived(reply) || *broken) {
                archive->cancelWriting();
                return fail(QStringLiteral("the download of the archive failed"));
            }
            if (!archive->isOpen())
                return fail(QStringLiteral("the archive came back empty"));
            const qint64 written = archive->size();
            if (!archive->commit() || QFileInfo(zips).size() != written)
                return fail(QStringLiteral("cannot write ") + zips);
            m_written = true;
            emit downloaded();
        });
    });
}

void MendJob::unzip(const QStringList& arguments, std::function<void(const QByteArray&)> then)
{
    auto* process = new QProcess(this);
    m_unzip = process;
    process->setProgram(kUnzip);
    process->setArguments(arguments);
    // With no input and no controlling terminal, unzip cannot wait for a password.
    process->setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    process->setChildProcessModifier([] { ::setsid(); });
#endif
    const auto end = [this, process, then](bool ok) {
        process->disconnect(this);
        process->deleteLater();
        if (!ok)
            return fail(
                QStringLiteral("unzip %1 failed: %2")
                    .arg(process->arguments().join(u' '),
                         QString::fromLocal8Bit(process->readAllStandardError()).trimmed()));
        then(process->readAllStandardOutput());
    };
    connect(process, &QProcess::finished, this, [end](int code, QProcess::ExitStatus status) {
        end(status == QProcess::NormalExit && code == 0);
    });
    connect(process, &QProcess::errorOccurred, this, [end](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(false);
    });
    QTimer::singleShot(kUnzipLimit, process, &QProcess::kill);
    process->start();
}

void MendJob::install()
{
    const QString zips = name("zips");
    const QString refusal = mendsign::refusal(zips, m_signature, updatenames::publicKey());
    if (!refusal.isEmpty())
        return fail(refusal);
    // Look at the entries before anything is unpacked.
    unzip({QStringLiteral("-Z"), zips}, [this, zips](const QByteArray& text) {
        const Listing listing = readListing(text);
        if (const QString refusal = vetListing(listing); !refusal.isEmpty())
            return fail(refusal);
        if (listing.links.isEmpty())
            return unpack(listing.names);
        // A link's target is its content: read them all in one go, in the listing's order.
        QStringList arguments = {QStringLiteral("-p"), zips};
        for (const auto& [link, size] : listing.links)
            arguments << QString(link).replace(QRegularExpression(QStringLiteral("([[*?])")),
                                               QStringLiteral("[\\1]"));
        unzip(arguments, [this, listing](const QByteArray& targets) {
            qsizetype at = 0;
            for (const auto& [link, size] : listing.links) {
                const QString target = QString::fromUtf8(targets.mid(at, size));
                at += size;
                const QString resolved = QDir::cleanPath(link.section(u'/', 0, -2) + u'/' + target);
                if (target.startsWith(u'/') || !resolved.startsWith(name("apps") + ".app/"))
                    return fail(QStringLiteral("a link leads out of the application: ") + link);
            }
            if (at != targets.size())
                return fail(QStringLiteral("the links of the archive cannot be read"));
            unpack(listing.names);
        });
    });
}

void MendJob::unpack(const QStringList& names)
{
    QStringList tops;
    for (const QString& entry : names)
        tops << entry.section(u'/', 0, 0, QString::SectionSkipEmpty);
    tops.removeDuplicates();
    // Never merge with leftovers, nor overwrite anything of the player's.
    if (!clear(tops))
        return fail(QStringLiteral("cannot clear the way in ") + name("down"));
    m_tops = tops;
    const QString zips = name("zips");
    unzip({QStringLiteral("-o"), QStringLiteral("-d"), name("down"), zips},
          [this, zips](const QByteArray&) {
              const QString refusal = vetUnpacked();
              if (!refusal.isEmpty())
                  return fail(refusal);
              if (!place())
                  return fail(QStringLiteral("the application was not replaced"));
              m_tops.clear();
              m_written = false;
              for (const QString& leftover : {zips, name("down") + QStringLiteral("/__MACOSX")})
                  if (QFileInfo::exists(leftover) && !platform::moveToTrash(leftover))
                      qCWarning(lcUpdate).noquote() << "cannot move to the Trash:" << leftover;
              qCInfo(lcUpdate) << "update installed";
              m_lock.reset();
              emit finished(true);
          });
}

MendJob::Listing MendJob::readListing(const QByteArray& text)
{
    // zipinfo's short lines: permissions, version, system, size, type, method, date, time, name.
    static const QRegularExpression entry(QStringLiteral(
        "^([-a-zA-Z]{7,10})\\s+\\S+\\s+\\S+\\s+(\\d+)\\s+\\S+\\s+\\S+\\s+\\S+\\s+\\S+\\s(.+)$"));
    static const QRegularExpression count(QStringLiteral("number of entries: (\\d+)"));
    Listing listing;
    qint64 entries = -1;
    for (const QString& line : QString::fromUtf8(text).split(u'\n')) {
        if (const QRegularExpressionMatch m = count.match(line); m.hasMatch()) {
            entries = m.captured(1).toLongLong();
        } else if (const QRegularExpressionMatch m = entry.match(line); m.hasMatch()) {
            const qint64 size = m.captured(2).toLongLong();
            listing.names << m.captured(3);
            listing.total += size;
            if (m.captured(1).startsWith(u'l'))
                listing.links.append({m.captured(3), size});
        }
    }
    // Every entry must have been read, or none counts.
    if (entries != listing.names.size())
        listing.names.clear();
    return listing;
}

QString MendJob::vetListing(const Listing& listing) const
{
    const QString down = name("down");
    const QStringList& names = listing.names;
    if (names.isEmpty())
        return QStringLiteral("the archive lists nothing readable");
    if (QString outside = leaves(names); !outside.isEmpty())
        return outside;
    const QString app = name("apps") + QStringLiteral(".app/");
    for (const QString& file : program())
        if (!names.contains(app + file))
            return QStringLiteral("the archive holds no ") + app + file;
    const qint64 room = QStorageInfo(down).bytesAvailable() - kSpare;
    if (listing.total > kUnpackedCap || listing.total > room)
        return QStringLiteral("the archive unpacks to %1 bytes; %2 may be used")
            .arg(listing.total)
            .arg(qMin(room, kUnpackedCap));
    return QString();
}

QString MendJob::vetUnpacked() const
{
    const QString app = unpackedApp();
    const QFileInfo folder(app);
    if (!folder.isDir() || folder.isSymLink())
        return QStringLiteral("nothing unpacked at ") + app;
    for (const QString& file : program()) {
        const QFileInfo info(app + u'/' + file);
        if (!info.isFile() || info.isSymLink() ||
            (file == program().first() && !info.isExecutable()))
            return QStringLiteral("not a program: ") + info.filePath();
    }
    // A link must stay inside the application, which may move anywhere; one that leads
    // nowhere counts as leading out.
    const QString inside = folder.canonicalFilePath() + u'/';
    QDirIterator it(app, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (!entry.isSymLink())
            continue;
        if (!entry.canonicalFilePath().startsWith(inside))
            return QStringLiteral("a link leads out of the application: ") + entry.filePath();
    }
    return QString();
}

bool MendJob::clear(const QStringList& tops) const
{
    for (const QString& top : tops) {
        const QString path = name("down") + u'/' + top;
        const QFileInfo item(path);
        if ((item.exists() || item.isSymLink()) && !platform::moveToTrash(path))
            return false;
    }
    return true;
}

bool MendJob::place()
{
    const QString apps = name("apps");
    const QString folder = platform::applicationsFolder();
    const bool made = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        qCWarning(lcUpdate).noquote() << "cannot make" << folder;
        return false;
    }
    const auto undoFolder = [&] {
        if (made)
            QDir().rmdir(folder);
    };

    const QString destination = QStringLiteral("%1/%2.app").arg(folder, apps);
    const QFileInfo old(destination);
    QString trashed;
    if ((old.exists() || old.isSymLink()) && !platform::moveToTrash(destination, &trashed)) {
        qCWarning(lcUpdate).noquote() << "cannot move to the Trash:" << destination;
        undoFolder();
        return false;
    }
    if (QDir().rename(unpackedApp(), destination))
        return true;

    qCWarning(lcUpdate).noquote() << "cannot move" << unpackedApp() << "to" << destination;
    if (!trashed.isEmpty() && !platform::restoreFromTrash(trashed, destination))
        qCCritical(lcUpdate).noquote() << "the old application stays in the Trash:" << trashed;
    undoFolder();
    return false;
}

void MendJob::discard()
{
    if (m_written)
        m_tops << QFileInfo(name("zips")).fileName();
    if (!clear(m_tops))
        qCWarning(lcUpdate).noquote() << "cannot move the leftovers to the Trash";
    m_tops.clear();
    m_written = false;
}

void MendJob::fail(const QString& why)
{
    qCWarning(lcUpdate).noquote() << why;
    discard();
    m_lock.reset();
    emit finished(false);
}
