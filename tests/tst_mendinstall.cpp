#include "MendJob.h"
#include "MendServer.h"
#include "MendView.h"
#include "TestSupport.h"

#include <csignal>

const QByteArray kOld = "old build\n";
const QByteArray kNew = "new build\n";
constexpr QDir::Filters kAll =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

static QString at(const QString& relative)
{
    return testsupport::home() + u'/' + relative;
}

static QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

/// Writes an executable file at \a path, making the folders on the way.
static bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           file.setPermissions(file.permissions() | QFile::ExeOwner);
}

/// Everything under the temporary home but the Trash and Qt's own folders.
static QMap<QString, QByteArray> snapshot()
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

/// The download and install against an archive served from 127.0.0.1: real zip, real unzip,
/// real minisign signatures and the real Trash under the temporary home.
class TestMendInstall : public QObject
{
    Q_OBJECT

    QTemporaryDir m_keys;

private slots:
    void initTestCase()
    {
        for (const QString& key : {m_keys.filePath("good"), m_keys.filePath("other")})
            QVERIFY(!QProcess::execute("/usr/bin/minisign",
                                       {"-G", "-W", "-p", key + ".pub", "-s", key + ".sec"}));
    }
    // Downloads on a tmpfs of its own stays mounted only for its row, failed or not.
    void cleanup() { QProcess::execute("umount", {"--quiet", at("Downloads")}); }

    /// The update that succeeds, then every way for one to fail.
    void install_data()
    {
        QTest::addColumn<QString>("kind");
        const QString kinds =
            "update|update, legacy signature|404|damaged data|no application folder|"
            "no program|program not executable|link out of the application|entry with ../|"
            "absolute entry|final move fails|too large for Downloads|"
            "redirect to a silent server|encrypted|pane closed while unzip runs|"
            "tampered archive|another key|no signature|malformed signature|no key in this build|"
            "another copy updating";
        for (const QString& kind : kinds.split(u'|'))
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void install()
    {
        QFETCH(QString, kind);
        if (kind == "encrypted" && !qEnvironmentVariableIsSet("PAIRWELL_TTY")) {
            // Again in a child with a terminal, where unzip could ask for a password.
            const QString child =
                "PAIRWELL_TTY=1 " + QCoreApplication::applicationFilePath() + " install:encrypted";
            QCOMPARE(QProcess::execute("script", {"-qec", child, "/dev/null"}), 0);
            return;
        }

        QDir(testsupport::home()).removeRecursively();
        updatenames::setPublicKey(kind == "no key in this build"
                                      ? QByteArray()
                                      : read(m_keys.filePath("good.pub")).split('\n').value(1));
        QVERIFY(write(at("Applications/Pairwell.app/pairwell"), kOld));
        QVERIFY(write(at("staging/Pairwell.app/pairwell"), kNew));
        QVERIFY(write(at("staging/__MACOSX/Pairwell.app/._pairwell"), "meta"));
        // A link that stays inside; the brackets test the escape of unzip's wildcards.
        QVERIFY(QFile::link("pairwell", at("staging/Pairwell.app/alias [1]")));
        QStringList items = {"Pairwell.app", "__MACOSX"};
        QString hostile; // an entry name that zip would not store
        // Large for the small tmpfs, and slow enough to unpack for the pane to go meanwhile.
        const bool big = kind.startsWith("too large") || kind.startsWith("pane closed");
        QStringList options = {big ? "-1" : "-0"};
        MendServer server;
        // The items of "staging" zipped by the real zip, stored as they are unless big (so that
        // the tests find the files' bytes in it) and with links as links; into a file, because
        // zip cannot store links uncompressed into a pipe. A second call updates the same file.
        const auto zip = [&] {
            QDir::setCurrent(at("staging"));
            QProcess::execute("/usr/bin/zip",
                              QStringList{"-qry", at("staging.zip")} + options + items);
            return read(at("staging.zip"));
        };
        QLockFile other(mendjob::updateLock()); // held by another copy of the game
        if (kind == "another copy updating") {
            QVERIFY(other.tryLock(0));
        } else if (kind == "update") {
            // Left by earlier attempts: none of it may end up in the application.
            QVERIFY(write(at("Downloads/pairwell.zip"), "an earlier archive"));
            QVERIFY(write(at("Downloads/Pairwell.app/stale"), "an earlier unpacking\n"));
            QVERIFY(QFile::link("/etc", at("Downloads/Pairwell.app/old link")));
        } else if (kind == "update, legacy signature") {
            QVERIFY(write(at("elsewhere/Pairwell.app/pairwell"), "the player's own\n"));
            QVERIFY(write(at("Downloads/__MACOSX"), "a plain file"));
            QVERIFY(QFile::link(at("elsewhere/Pairwell.app"), at("Downloads/Pairwell.app")));
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
        } else if (kind == "final move fails" || kind == "too large for Downloads") {
            // No rename crosses into another file system, so the new application cannot move
            // in once the old one is in the Trash; a small one has no room for the unpacking.
            if (!testsupport::mountFull(at("Downloads"), kind.startsWith("final") ? 262144 : 2048,
                                        Q_INT64_C(1) << 40, [] {}))
                QSKIP("cannot mount a tmpfs (needs root)");
        } else if (kind == "entry with ../" || kind == "absolute entry") {
            // Stored under a name of the same length, rewritten in the archive's local and
            // central headers. Should the rewrite miss, the archive is harmless and the install
            // succeeds, which fails the test.
            hostile = kind == "absolute entry" ? at("outside/absolute.txt") : "../evil.txt";
            QVERIFY(write(at("staging/x") + hostile.mid(1), "escaped"));
            items << u'x' + hostile.mid(1).section(u'/', 0, 0);
        } else if (kind == "encrypted") {
            QVERIFY(QFile("/dev/tty").open(QIODevice::ReadWrite)); // the terminal is there
            options.append({"-P", "secret"});
        }
        if (big)
            QVERIFY(write(at("staging/Pairwell.app/data"), QByteArray(64 << 20, '\0')));
        MendServer::Answer answer{200, zip()};
        if (!hostile.isEmpty())
            answer.body.replace((u'x' + hostile.mid(1)).toUtf8(), hostile.toUtf8());
        QVERIFY(answer.body.startsWith("PK"));
        // Signed, and the listing reads fine, but unzip finds a wrong checksum.
        if (kind == "damaged data")
            answer.body.replace(kNew, "NEW BUILD\n");
        // The real minisign signs what is served, in the default or the legacy format.
        const QString signedFile = m_keys.filePath("signed");
        QVERIFY(write(signedFile, answer.body));
        const QString key = m_keys.filePath(kind == "another key" ? "other.sec" : "good.sec");
        QVERIFY(!QProcess::execute("/usr/bin/minisign", {"-S", "-s", key, "-m", signedFile,
                                                         kind.contains("legacy") ? "-l" : "-q"}));
        MendServer::Answer signature{200, read(signedFile + ".minisig")};
        if (kind == "404")
            answer.status = 404; // with a good archive as its body, which must stay unused
        else if (kind == "redirect to a silent server")
            answer = server.toSilence;
        else if (kind == "tampered archive" && write(at("staging/Pairwell.app/pairwell"), "bad"))
            answer.body = zip(); // sound, but not the archive that was signed
        else if (kind == "no signature")
            signature.status = 404;
        else if (kind == "malformed signature")
            signature.body.replace(signature.body.indexOf('\n') + 5, 3, "!!!");
        const bool fine = kind.startsWith("update");
        QMap<QString, QByteArray> expected = snapshot();
        if (fine) {
            expected.removeIf([](const auto& item) { return item.key().startsWith("Downloads/"); });
            expected["Applications/Pairwell.app/pairwell"] = kNew;
            expected["Applications/Pairwell.app/alias [1]"] =
                "link to " + at("Applications/Pairwell.app/pairwell").toUtf8();
        }

        server.answers.insert({{"/pairwell.zip", answer}, {"/pairwell.zip.minisig", signature}});
        auto view = std::make_unique<MendView>();
        QSignalSpy settled(view.get(), &MendView::settled);
        view->TLUPSave();
        if (kind == "pane closed while unzip runs") {
            // Hold unzip still once it runs (an earlier step's unzip may linger until deleted),
            // so that the pane surely goes while it works.
            QProcess* unzip = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((unzip = view->findChild<QProcess*>()) &&
                                         unzip->arguments().value(0) == "-o" && unzip->processId(),
                                     30000);
            const pid_t pid = unzip->processId();
            ::kill(pid, SIGSTOP);
            view.reset();
            QVERIFY(::kill(pid, 0) != 0); // ended and reaped
        } else {
            QVERIFY(settled.count() || settled.wait(60000));
        }
        QCOMPARE(snapshot(), expected);
        if (!view)
            return;
        QVERIFY(view->TLUPSpin()->isHidden());
        QCOMPARE(view->TLUPMess()->text(),
                 fine ? "Done. Updated Version Will Run in The Next Launch." : "Error. Try later.");
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
            view->TLUPVers();
            QVERIFY(settled.wait(20000));
            QVERIFY(view->TLUPNews()->isVisible() &&
                    view->TLUPPush()->isVisibleTo(view->TLUPNews()));
        }
    }
};

PAIRWELL_TEST_MAIN(TestMendInstall)
#include "tst_mendinstall.moc"
