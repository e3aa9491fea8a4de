#include "MendServer.h"
#include "MendView.h"
#include "Platform.h"
#include "TestSupport.h"
#include "UpdateNames.h"

#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QNetworkProxy>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <memory>
#include <unistd.h>

namespace {
const QString kDone = QStringLiteral("Done. Updated Version Will Run in The Next Launch.");
const QString kError = QStringLiteral("Error. Try later.");
const QByteArray kOld = "old build\n";
const QByteArray kNew = "new build\n";

QString home()
{
    return testsupport::home();
}
QString downloads()
{
    return home() + QStringLiteral("/Downloads");
}
QString trash()
{
    return home() + QStringLiteral("/.local/share/Trash");
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

/// Makes \a folder/Pairwell.app holding an executable "pairwell" whose text is \a build.
bool makeApp(const QString& folder, const QByteArray& build, const QString& name = "Pairwell")
{
    const QString program = QStringLiteral("%1/%2.app/pairwell").arg(folder, name);
    return write(program, build) &&
           QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
}

/// Zips \a items of the folder \a from with the real zip and gives the archive's bytes.
QByteArray zip(const QString& from, const QStringList& items)
{
    const QString archive = from + QStringLiteral("/../made.zip");
    QFile::remove(archive);
    QProcess zip;
    zip.setWorkingDirectory(from);
    zip.start(QStringLiteral("/usr/bin/zip"), QStringList{"-q", "-r", "-y", archive} + items);
    if (!zip.waitForFinished(60000) || zip.exitCode() != 0)
        return QByteArray();
    return read(archive);
}

/// Every file, folder and link under the temporary home but the Trash and Qt's own caches,
/// with the contents of the files.
QMap<QString, QByteArray> snapshot()
{
    QMap<QString, QByteArray> seen;
    QDirIterator it(home(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(home().size() + 1);
        if (relative.startsWith(QLatin1String(".local")) ||
            relative.startsWith(QLatin1String(".cache")) ||
            relative.startsWith(QLatin1String(".config")))
            continue;
        const QFileInfo info = it.fileInfo();
        seen.insert(relative, info.isSymLink() ? "link " + info.symLinkTarget().toUtf8()
                              : info.isDir()   ? QByteArray("folder")
                                               : read(path));
    }
    return seen;
}

/// The names in the Trash's "files" folder.
QStringList trashed()
{
    QStringList names = QDir(trash() + QStringLiteral("/files"))
                            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}
} // namespace

/// The download and install against an archive served from 127.0.0.1: real zip, real unzip
/// and the real Trash under the temporary home.
class TestMendInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QVERIFY2(QFileInfo(QStringLiteral("/usr/bin/zip")).isExecutable(), "needs /usr/bin/zip");
        QVERIFY2(QFileInfo(QStringLiteral("/usr/bin/unzip")).isExecutable(),
                 "needs /usr/bin/unzip");
    }

    void init()
    {
        for (const char* folder : {"Applications", "Downloads", "staging", ".local", "outside",
                                   "evil.txt", "made.zip", "blocker", "elsewhere"}) {
            const QString path = home() + u'/' + QLatin1String(folder);
            QDir(path).removeRecursively();
            QFile::remove(path);
        }
        QVERIFY(QDir().mkpath(downloads()));
        QVERIFY(makeApp(home() + QStringLiteral("/Applications"), kOld));
        m_server.clear();
        updatenames::setBases(m_server.base(), m_server.base());
        platform::setApplicationsFolder(QString());
        QCoreApplication::setApplicationName(QStringLiteral("Pairwell"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
        m_view = std::make_unique<MendView>();
    }

    void cleanup()
    {
        m_view.reset();
        updatenames::setBases(QString(), QString());
        platform::setApplicationsFolder(QString());
        QCoreApplication::setApplicationVersion(QStringLiteral(PAIRWELL_VERSION));
    }

    void folders()
    {
        QCOMPARE(platform::downloadsFolder(), downloads());
#ifndef Q_OS_MACOS
        QCOMPARE(platform::applicationsFolder(), home() + QStringLiteral("/Applications"));
#endif
        platform::setApplicationsFolder(QStringLiteral("/somewhere/else"));
        QCOMPARE(platform::applicationsFolder(), QStringLiteral("/somewhere/else"));
    }

    void trashAndBack()
    {
        // No data folder yet: the item must still reach the Trash, not the current folder.
        QTemporaryDir current;
        QVERIFY(QDir::setCurrent(current.path()));
        const QString item = home() + QStringLiteral("/outside/note.txt");
        QVERIFY(write(item, "keep me"));
        QString inTrash;
        QVERIFY(platform::moveToTrash(item, &inTrash));
        QVERIFY(!QFileInfo::exists(item));
        QCOMPARE(inTrash, trash() + QStringLiteral("/files/note.txt"));
        QCOMPARE(read(inTrash), QByteArray("keep me"));
        QVERIFY(QFileInfo::exists(trash() + QStringLiteral("/info/note.txt.trashinfo")));
        QVERIFY(QDir(current.path()).isEmpty());

        QVERIFY(platform::restoreFromTrash(inTrash, item));
        QCOMPARE(read(item), QByteArray("keep me"));
        QCOMPARE(trashed(), QStringList());
        QVERIFY(!QFileInfo::exists(trash() + QStringLiteral("/info/note.txt.trashinfo")));
        QVERIFY(QDir::setCurrent(home()));
    }

    void updateReplacesTheApplication()
    {
        const QString staging = home() + QStringLiteral("/staging");
        QVERIFY(makeApp(staging, kNew));
        QVERIFY(write(staging + QStringLiteral("/__MACOSX/Pairwell.app/._pairwell"), "meta"));
        const QByteArray archive = zip(staging, {"Pairwell.app", "__MACOSX"});
        QVERIFY(!archive.isEmpty());
        QMap<QString, QByteArray> expected = snapshot();
        expected.insert(QStringLiteral("Applications/Pairwell.app/pairwell"), kNew);

        QVERIFY(update({200, archive, false}));

        QCOMPARE(m_view->TLUPMess()->text(), kDone);
        QVERIFY(m_view->TLUPSpin()->isHidden());
        QVERIFY(m_view->TLUPPush()->isHidden());
        QCOMPARE(m_server.requests, QStringList{"/pairwell.zip"});
        const QString program = home() + QStringLiteral("/Applications/Pairwell.app/pairwell");
        QCOMPARE(read(program), kNew);
        QVERIFY(QFileInfo(program).isExecutable());
        // The old application, the archive and the metadata folder wait in the Trash.
        QCOMPARE(trashed(), (QStringList{"Pairwell.app", "__MACOSX", "pairwell.zip"}));
        QCOMPARE(read(trash() + QStringLiteral("/files/Pairwell.app/pairwell")), kOld);
        QCOMPARE(read(trash() + QStringLiteral("/files/pairwell.zip")), archive);
        const QByteArray record = read(trash() + QStringLiteral("/info/Pairwell.app.trashinfo"));
        QVERIFY2(record.contains("Path=" +
                                 QUrl::toPercentEncoding(
                                     home() + QStringLiteral("/Applications/Pairwell.app"), "/")),
                 record.constData());
        QCOMPARE(snapshot(), expected);
    }

    void earlierFilesAreReplaced()
    {
        QVERIFY(write(downloads() + QStringLiteral("/pairwell.zip"), "an earlier archive"));
        QVERIFY(makeApp(downloads(), "an earlier unpacking\n"));
        QVERIFY(write(downloads() + QStringLiteral("/ReadMe.txt"), "earlier notes"));
        const QString staging = home() + QStringLiteral("/staging");
        QVERIFY(makeApp(staging, kNew));
        QVERIFY(write(staging + QStringLiteral("/ReadMe.txt"), "new notes"));
        const QByteArray archive = zip(staging, {"Pairwell.app", "ReadMe.txt"});

        QVERIFY(update({200, archive, false}));

        QCOMPARE(m_view->TLUPMess()->text(), kDone);
        QCOMPARE(read(home() + QStringLiteral("/Applications/Pairwell.app/pairwell")), kNew);
        QCOMPARE(read(trash() + QStringLiteral("/files/pairwell.zip")), archive);
        // Other top-level entries stay in the Downloads folder, overwritten without a question.
        QCOMPARE(read(downloads() + QStringLiteral("/ReadMe.txt")), QByteArray("new notes"));
        QVERIFY(!QFileInfo::exists(downloads() + QStringLiteral("/Pairwell.app")));
        QCOMPARE(trashed(), (QStringList{"Pairwell.app", "pairwell.zip"}));
    }

    void nameWithASpace()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Zodu Doza"));
        const QString staging = home() + QStringLiteral("/staging");
        QVERIFY(makeApp(staging, kNew, QStringLiteral("Zodu Doza")));
        QVERIFY(
            makeApp(home() + QStringLiteral("/Applications"), kOld, QStringLiteral("Zodu Doza")));
        const QByteArray archive = zip(staging, {"Zodu Doza.app"});
        const bool updated = update({200, archive, false}, QStringLiteral("/zodudoza.zip"));
        QCoreApplication::setApplicationName(QStringLiteral("Pairwell"));
        QVERIFY(updated);
        QCOMPARE(m_view->TLUPMess()->text(), kDone);
        QCOMPARE(read(home() + QStringLiteral("/Applications/Zodu Doza.app/pairwell")), kNew);
        QCOMPARE(read(home() + QStringLiteral("/Applications/Pairwell.app/pairwell")), kOld);
        QCOMPARE(trashed(), (QStringList{"Zodu Doza.app", "zodudoza.zip"}));
    }

    void packageIsWhatTheUpdateInstalls()
    {
        // The archive that the package target makes, made here by cpack from the same config.
        const QString cpack = QStandardPaths::findExecutable(QStringLiteral("cpack"));
        QVERIFY2(!cpack.isEmpty(), "needs cpack");
        const QString config =
            QFileInfo(QStringLiteral(PAIRWELL_EXECUTABLE)).absolutePath() + "/CPackConfig.cmake";
        QVERIFY2(QFileInfo::exists(config), qPrintable(config));
        QTemporaryDir out;
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(cpack, {"--config", config, "-B", out.path()});
        QVERIFY(run.waitForFinished(120000));
        QVERIFY2(run.exitCode() == 0, run.readAll().constData());
        const QByteArray archive = read(out.path() + QStringLiteral("/pairwell.zip"));
        QVERIFY(archive.startsWith("PK"));

        QVERIFY(update({200, archive, false}));

        QCOMPARE(m_view->TLUPMess()->text(), kDone);
        const QString program = home() + QStringLiteral("/Applications/Pairwell.app/pairwell");
        QVERIFY(QFileInfo(program).isExecutable());
        QVERIFY(read(program).startsWith("\x7f"
                                         "ELF"));
        QCOMPARE(QDir(home() + QStringLiteral("/Applications/Pairwell.app"))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"pairwell"});
    }

    void failureKeepsTheApplication_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"404", "closed mid-download", "empty", "not a zip", "damaged data",
              "no application folder", "Applications not writable", "entry above Downloads",
              "absolute entry", "link in Downloads", "Downloads not writable"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void failureKeepsTheApplication()
    {
        QFETCH(QString, kind);
        const QString staging = home() + QStringLiteral("/staging");
        QVERIFY(makeApp(staging, kNew));
        QByteArray archive = zip(staging, {"Pairwell.app"});
        QVERIFY(!archive.isEmpty());
        MendServer::Answer answer{200, archive, false};
        const QString absolute = home() + QStringLiteral("/outside/absolute.txt");
        bool downloaded = true;

        if (kind == "404") {
            answer = {404, "gone", false};
            downloaded = false;
        } else if (kind == "closed mid-download") {
            answer.cut = true;
            downloaded = false;
        } else if (kind == "empty") {
            answer.body.clear();
            downloaded = false;
        } else if (kind == "not a zip") {
            answer.body = "<html>this is not an archive</html>";
        } else if (kind == "damaged data") {
            // The listing reads fine, but unzip finds the file's checksum wrong.
            QVERIFY(answer.body.contains(kNew));
            answer.body.replace(kNew, "NEW BUILD\n");
        } else if (kind == "no application folder") {
            QVERIFY(makeApp(staging, kNew, QStringLiteral("Other")));
            answer.body = zip(staging, {"Other.app"});
        } else if (kind == "Applications not writable") {
            // Root writes anywhere, but nobody makes a folder under a regular file.
            QVERIFY(write(home() + QStringLiteral("/blocker"), "a file"));
            platform::setApplicationsFolder(home() + QStringLiteral("/blocker/Applications"));
        } else if (kind == "entry above Downloads" || kind == "absolute entry") {
            // zip never stores such names: store harmless ones of the same length and turn
            // them into "../" or an absolute path in the archive's bytes.
            const bool above = kind == "entry above Downloads";
            const QString stand = above ? QStringLiteral("xx/evil.txt") : u'x' + absolute.mid(1);
            const QString hostile = above ? QStringLiteral("../evil.txt") : absolute;
            QVERIFY(write(staging + u'/' + stand, "escaped"));
            QByteArray bytes = zip(staging, {"Pairwell.app", stand.section(u'/', 0, 0)});
            QCOMPARE(bytes.count(stand.toUtf8()), 2); // the local and the central header
            bytes.replace(stand.toUtf8(), hostile.toUtf8());
            answer.body = bytes;
        } else if (kind == "Downloads not writable") {
            QVERIFY(QDir(downloads()).removeRecursively());
            QVERIFY(write(downloads(), "a file"));
            downloaded = false;
        } else if (kind == "link in Downloads") {
            QVERIFY(QDir().mkpath(home() + QStringLiteral("/elsewhere")));
            QVERIFY(QFile::link(home() + QStringLiteral("/elsewhere"),
                                downloads() + QStringLiteral("/Pairwell.app")));
        }
        QMap<QString, QByteArray> before = snapshot();

        QVERIFY(update(answer));

        QCOMPARE(m_view->TLUPMess()->text(), kError);
        QVERIFY(m_view->TLUPSpin()->isHidden());
        QVERIFY(m_view->TLUPPush()->isHidden());
        QCOMPARE(read(home() + QStringLiteral("/Applications/Pairwell.app/pairwell")), kOld);
        QCOMPARE(trashed(), QStringList());
        QMap<QString, QByteArray> after = snapshot();
        if (downloaded) {
            QCOMPARE(after.take(QStringLiteral("Downloads/pairwell.zip")), answer.body);
            // What unzip left in the Downloads folder may stay there; nothing else changed.
            for (const QString& path : after.keys())
                if (path.startsWith(QLatin1String("Downloads/")) && !before.contains(path))
                    after.remove(path);
        }
        QCOMPARE(after, before);
        QVERIFY(!QFileInfo::exists(home() + QStringLiteral("/evil.txt")));
        QVERIFY(!QFileInfo::exists(absolute));
        QVERIFY(QDir(home() + QStringLiteral("/elsewhere")).isEmpty());
    }

    void failedMovePutsTheOldApplicationBack()
    {
        // A rename cannot cross file systems: with the Applications folder on another one,
        // the last move fails after the old application went to the Trash.
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            QSKIP("no /dev/shm here");
        QTemporaryDir other(QStringLiteral("/dev/shm/pairwell-apps-XXXXXX"));
        QVERIFY(other.isValid());
        if (QStorageInfo(other.path()).device() == QStorageInfo(home()).device())
            QSKIP("/dev/shm is on the same file system as the home folder");
        const QString topTrash = QStorageInfo(other.path()).rootPath() +
                                 QStringLiteral("/.Trash-") + QString::number(getuid());
        const bool hadTopTrash = QFileInfo::exists(topTrash);
        const auto tidy = qScopeGuard([&] {
            if (!hadTopTrash)
                QDir(topTrash).removeRecursively();
        });
        platform::setApplicationsFolder(other.path());
        QVERIFY(makeApp(other.path(), kOld));
        const QString staging = home() + QStringLiteral("/staging");
        QVERIFY(makeApp(staging, kNew));

        QVERIFY(update({200, zip(staging, {"Pairwell.app"}), false}));

        QCOMPARE(m_view->TLUPMess()->text(), kError);
        QCOMPARE(read(other.path() + QStringLiteral("/Pairwell.app/pairwell")), kOld);
        QVERIFY(QDir(topTrash + QStringLiteral("/files")).isEmpty());
        QVERIFY(QDir(topTrash + QStringLiteral("/info")).isEmpty());
        QCOMPARE(trashed(), QStringList());
    }

private:
    /// Runs the whole update as a player does: a check that finds version 9.0, a click on
    /// the panel's button, and the download of \a answer served at \a path with its install.
    bool update(const MendServer::Answer& answer, const QString& path = "/pairwell.zip")
    {
        const QString apps = QCoreApplication::applicationName();
        m_server.serve(QStringLiteral("/2014/12/pairwell.html"),
                       {200,
                        QStringLiteral("<p>\nTallowenworks: Mac OS X アプリケーション: %1 9.0\n")
                            .arg(apps)
                            .toUtf8(),
                        false});
        m_server.serve(path, answer);
        QSignalSpy settled(m_view.get(), &MendView::settled);
        m_view->TLUPVers();
        if (!settled.wait(20000) || !m_view->TLUPNews()->isVisible())
            return false;
        m_server.requests.clear();
        QTest::mouseClick(m_view->TLUPPush(), Qt::LeftButton);
        // From the click on, the button is gone and the bar runs.
        if (!m_view->TLUPPush()->isHidden() || m_view->TLUPSpin()->isHidden() ||
            m_view->TLUPNews()->isVisible())
            return false;
        return settled.wait(60000);
    }

    MendServer m_server;
    std::unique_ptr<MendView> m_view;
};

PAIRWELL_TEST_MAIN(TestMendInstall)
#include "tst_mendinstall.moc"
