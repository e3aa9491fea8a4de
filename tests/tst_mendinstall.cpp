#include "MendJob.h"
#include "MendServer.h"
#include "MendView.h"
#include "Platform.h"
#include "TestSupport.h"

#include <QDialog>
#include <QDirIterator>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <csignal>

namespace {
const QByteArray kOld = "old build\n";
const QByteArray kNew = "new build\n";
constexpr QDir::Filters kAll =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

QString at(const QString& relative)
{
    return testsupport::home() + u'/' + relative;
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/// Writes an executable file at \a path, making the folders on the way.
bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           file.setPermissions(file.permissions() | QFile::ExeOwner);
}

/// Runs \a program and gives its output; empty when it failed.
QByteArray run(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.waitForFinished(120000);
    if (process.exitCode() != 0)
        qWarning() << program << process.readAllStandardError();
    return process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

/// \a items of the folder "staging" zipped by the real zip, stored as they are (so that the
/// tests find the files' bytes in it) and with links as links.
QByteArray zip(const QStringList& items, const QStringList& options = {"-0"})
{
    // Into a file: zip cannot store links uncompressed into a pipe.
    const QString archive = at("staging.zip");
    QFile::remove(archive);
    run("/usr/bin/zip", QStringList{"-q", "-r", "-y"} + options + QStringList{archive} + items,
        at("staging"));
    return read(archive);
}

/// Everything under the temporary home but the Trash and Qt's own folders.
QMap<QString, QByteArray> snapshot()
{
    static const QRegularExpression skipped(
        QStringLiteral("^(\\.local|\\.cache|\\.config|Downloads$|Downloads/\\.Trash)"));
    QMap<QString, QByteArray> seen;
    QDirIterator it(testsupport::home(), kAll, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(testsupport::home().size() + 1);
        if (!skipped.match(relative).hasMatch())
            seen.insert(relative, it.fileInfo().isSymLink()
                                      ? "link to " + it.fileInfo().symLinkTarget().toUtf8()
                                  : it.fileInfo().isDir() ? QByteArray("folder")
                                                          : read(it.filePath()));
    }
    return seen;
}

} // namespace

/// The download and install against an archive served from 127.0.0.1: real zip, real unzip,
/// real minisign signatures and the real Trash under the temporary home.
class TestMendInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_keys;

    /// The minisign signature of \a bytes by the key \a key ("good" or "other").
    QByteArray sign(const QByteArray& bytes, const QString& key = "good", bool legacy = false)
    {
        const QString file = m_keys.filePath("signed");
        write(file, bytes);
        run("/usr/bin/minisign",
            QStringList{"-S", "-s", m_keys.filePath(key + ".sec"), "-m", file} +
                (legacy ? QStringList{"-l"} : QStringList{}));
        return read(file + ".minisig");
    }

private slots:
    void initTestCase()
    {
        for (const QString& key : {"good", "other"})
            run("/usr/bin/minisign", {"-G", "-W", "-p", m_keys.filePath(key + ".pub"), "-s",
                                      m_keys.filePath(key + ".sec")});
        QVERIFY(sign("x").startsWith("untrusted comment: "));
    }
    void init()
    {
        updatenames::setPublicKey(read(m_keys.filePath("good.pub")).split('\n').value(1));
    }

    /// The update that succeeds, then every way for one to fail.
    void install_data()
    {
        QTest::addColumn<QString>("kind");
        const QString kinds =
            "update|update, legacy signature|404|closed mid-download|not a zip|"
            "damaged data|no application folder|no program|program not executable|"
            "link out of the application|entry with ../|absolute entry|"
            "Applications not writable|final move fails|too large for Downloads|"
            "redirect to a silent server|encrypted|pane closed while unzip runs|"
            "tampered archive|another key|no signature|malformed signature|"
            "no key in this build";
        for (const QString& kind : kinds.split(u'|'))
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void install()
    {
        QFETCH(QString, kind);
        if (kind == "encrypted" && !qEnvironmentVariableIsSet("PAIRWELL_TTY")) {
            // Again in a child with a terminal, where unzip could ask for a password.
            qputenv("PAIRWELL_TTY", "1");
            const int code = QProcess::execute(
                "script", {"-qec", QCoreApplication::applicationFilePath() + " install:encrypted",
                           "/dev/null"});
            qunsetenv("PAIRWELL_TTY");
            QCOMPARE(code, 0);
            return;
        }
        if (kind == "encrypted")
            QVERIFY(QFile("/dev/tty").open(QIODevice::ReadWrite)); // the terminal is there

        QDir(testsupport::home()).removeRecursively();
        platform::setApplicationsFolder(QString());
        QVERIFY(write(at("Applications/Pairwell.app/pairwell"), kOld));
        QVERIFY(write(at("staging/Pairwell.app/pairwell"), kNew));
        QVERIFY(write(at("staging/__MACOSX/Pairwell.app/._pairwell"), "meta"));
        QStringList items = {"Pairwell.app", "__MACOSX"};
        QStringList options = {"-0"};
        QTemporaryDir shm(QStringLiteral("/dev/shm/pairwell-XXXXXX"));
        bool mounted = false;
        const auto unmount = qScopeGuard([&] {
            if (mounted)
                QProcess::execute("umount", {at("Downloads")});
        });
        MendServer server;
        MendServer::Answer answer;
        QString key = "good";
        if (kind == "update") {
            // Left by earlier attempts: none of it may end up in the application.
            QVERIFY(write(at("Downloads/pairwell.zip"), "an earlier archive"));
            QVERIFY(write(at("Downloads/Pairwell.app/stale"), "an earlier unpacking\n"));
            QVERIFY(QFile::link("/etc", at("Downloads/Pairwell.app/old link")));
            QVERIFY(QFile::link("pairwell", at("staging/Pairwell.app/alias [1]"))); // stays inside
        } else if (kind == "update, legacy signature") {
            QVERIFY(write(at("elsewhere/Pairwell.app/pairwell"), "the player's own\n"));
            QVERIFY(QDir().mkpath(at("Downloads")));
            QVERIFY(QFile::link(at("elsewhere/Pairwell.app"), at("Downloads/Pairwell.app")));
            QVERIFY(write(at("Downloads/__MACOSX"), "a plain file"));
        } else if (kind == "no application folder") {
            items = QStringList{"__MACOSX"};
            QVERIFY(write(at("Downloads/Pairwell.app/pairwell"), "an earlier unpacking\n"));
        } else if (kind == "no program") {
            QVERIFY(QFile::remove(at("staging/Pairwell.app/pairwell")));
            QVERIFY(write(at("staging/Pairwell.app/README"), "read me"));
        } else if (kind == "program not executable") {
            QVERIFY(QFile::setPermissions(at("staging/Pairwell.app/pairwell"), QFile::ReadOwner));
        } else if (kind == "link out of the application") {
            QVERIFY(QFile::link("../../.bashrc", at("staging/Pairwell.app/evil")));
        } else if (kind == "Applications not writable") {
            // Root writes anywhere, but nobody makes a folder under a regular file.
            QVERIFY(write(at("blocker"), "a file"));
            platform::setApplicationsFolder(at("blocker/Applications"));
        } else if (kind == "final move fails") {
            // A rename cannot cross file systems: with Downloads on another one, the new
            // application cannot move in once the old one is in the Trash.
            if (!shm.isValid() ||
                QStorageInfo(shm.path()).device() == QStorageInfo(at("")).device())
                QSKIP("needs /dev/shm on a file system of its own");
            QVERIFY(QFile::link(shm.path(), at("Downloads")));
        } else if (kind == "too large for Downloads") {
            QDir().mkpath(at("Downloads"));
            mounted = !QProcess::execute(
                "mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", at("Downloads")});
            if (!mounted)
                QSKIP("cannot mount a tmpfs (needs root)");
        } else if (kind == "encrypted") {
            options = QStringList{"-0", "-P", "secret"};
        } else if (kind == "another key") {
            key = "other";
        }
        if (kind.startsWith("too large") || kind.startsWith("pane closed")) {
            QVERIFY(write(at("staging/Pairwell.app/data"), QByteArray(64 << 20, '\0')));
            options = QStringList{"-1"};
        }
        answer.body = zip(items, options);
        if (kind == "entry with ../" || kind == "absolute entry") {
            // zip stores neither "../" nor absolute names: store a name of the same length and
            // rewrite it in the archive's local and central headers. Should the rewrite miss,
            // the archive is harmless and the install succeeds, which fails the test.
            const QString hostile =
                kind == "absolute entry" ? at("outside/absolute.txt") : "../evil.txt";
            const QString stand = u'x' + hostile.mid(1);
            QVERIFY(write(at("staging/") + stand, "escaped"));
            answer.body = zip({"Pairwell.app", stand.section(u'/', 0, 0)});
            answer.body.replace(stand.toUtf8(), hostile.toUtf8());
        } else if (kind == "damaged data") {
            // Signed, and the listing reads fine, but unzip finds a wrong checksum.
            answer.body.replace(kNew, "NEW BUILD\n");
        } else if (kind == "not a zip") {
            answer.body = "<html>this is not an archive</html>";
        }
        MendServer::Answer signature{200, sign(answer.body, key, kind.contains("legacy"))};
        if (kind == "404")
            answer.status = 404; // with a good archive as its body, which must stay unused
        else if (kind == "closed mid-download")
            answer.cut = true;
        else if (kind == "redirect to a silent server")
            answer = server.toSilence();
        else if (kind == "tampered archive")
            answer.body.replace(kNew, "bad build\n");
        else if (kind == "no signature")
            signature.status = 404;
        else if (kind == "malformed signature")
            signature.body.replace(signature.body.indexOf('\n') + 5, 3, "!!!");
        else if (kind == "no key in this build")
            updatenames::setPublicKey(QByteArray());
        const bool fine = kind.startsWith("update");
        QMap<QString, QByteArray> expected = snapshot();
        if (fine) {
            for (const QString& path : expected.keys())
                if (path.startsWith("Downloads/"))
                    expected.remove(path);
            expected.insert(QStringLiteral("Applications/Pairwell.app/pairwell"), kNew);
            if (kind == "update")
                expected.insert("Applications/Pairwell.app/alias [1]",
                                "link to " + at("Applications/Pairwell.app/pairwell").toUtf8());
        }

        server.answers.insert("/pairwell.zip", answer);
        server.answers.insert("/pairwell.zip.minisig", signature);
        server.answers.insert("/2014/12/pairwell.html",
                              {200, "\nTallowenworks: Mac OS X アプリケーション: Pairwell 9.0\n"});
        auto view = std::make_unique<MendView>();
        QSignalSpy settled(view.get(), &MendView::settled);
        view->TLUPSave();
        if (kind == "pane closed while unzip runs") {
            // Hold unzip still once it writes, so that the pane surely goes while it works.
            const auto unpacking = [&view] {
                for (QProcess* p : view->findChildren<QProcess*>())
                    if (p->arguments().value(0) == "-o" && p->processId() > 0)
                        return pid_t(p->processId());
                return pid_t(0);
            };
            QTRY_VERIFY_WITH_TIMEOUT(unpacking(), 30000);
            const pid_t pid = unpacking();
            ::kill(pid, SIGSTOP);
            view.reset();
            QVERIFY(::kill(pid, 0) != 0); // ended and reaped
            QCOMPARE(snapshot(), expected);
            return;
        }
        QVERIFY(settled.count() || settled.wait(60000));

        QVERIFY(view->TLUPSpin()->isHidden());
        QCOMPARE(view->TLUPMess()->text(),
                 fine ? "Done. Updated Version Will Run in The Next Launch." : "Error. Try later.");
        QCOMPARE(snapshot(), expected);
        // Each item in the Trash has its record, so the desktop can put it back.
        const QDir trash(at(".local/share/Trash"));
        const QStringList trashed = QDir(trash.filePath("files")).entryList(kAll);
        QCOMPARE(QDir(trash.filePath("info")).entryList(kAll).size(), trashed.size());
        if (fine) {
            QVERIFY(QFileInfo(at("Applications/Pairwell.app/pairwell")).isExecutable());
            QVERIFY(std::any_of(trashed.begin(), trashed.end(), [&](const QString& item) {
                return read(trash.filePath("files/" + item + "/pairwell")) == kOld;
            }));
        } else {
            // The pane offers the update again on the next check.
            settled.clear();
            view->TLUPVers();
            QVERIFY(settled.wait(20000));
            QVERIFY(view->TLUPNews()->isVisible() &&
                    view->TLUPPush()->isVisibleTo(view->TLUPNews()));
        }
    }
};

PAIRWELL_TEST_MAIN(TestMendInstall)
#include "tst_mendinstall.moc"
