#include "MendServer.h"
#include "MendView.h"
#include "Platform.h"
#include "TestSupport.h"
#include "UpdateNames.h"

#include <QDirIterator>
#include <QLabel>
#include <QNetworkProxy>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>

namespace {
const QByteArray kOld = "old build\n";
const QByteArray kNew = "new build\n";
constexpr QDir::Filters kAll = QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot;

/// The path \a relative inside the temporary home.
QString at(const QString& relative)
{
    return testsupport::home() + u'/' + relative;
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
bool makeApp(const QString& folder, const QByteArray& build)
{
    const QString program = folder + QStringLiteral("/Pairwell.app/pairwell");
    return write(program, build) &&
           QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
}

/// Zips \a items of the folder "staging" with the real zip and gives the archive's bytes.
QByteArray zip(const QStringList& items)
{
    QFile::remove(at("made.zip"));
    QProcess zip;
    zip.setWorkingDirectory(at("staging"));
    zip.start(QStringLiteral("/usr/bin/zip"), QStringList{"-q", "-r", at("made.zip")} + items);
    zip.waitForFinished(60000);
    return read(at("made.zip"));
}

/// Every file and folder under the temporary home, with the contents of the files; but for
/// the inside of the Downloads folder, the Trash and Qt's own folders.
QMap<QString, QByteArray> snapshot()
{
    static const QRegularExpression skipped(
        QStringLiteral("^(\\.local|\\.cache|\\.config|Downloads/)"));
    QMap<QString, QByteArray> seen;
    QDirIterator it(testsupport::home(), kAll, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(testsupport::home().size() + 1);
        if (!skipped.match(relative).hasMatch())
            seen.insert(relative,
                        it.fileInfo().isDir() ? QByteArray("folder") : read(it.filePath()));
    }
    return seen;
}

/// The names in the Trash's folder \a part ("files" or "info").
QStringList trashed(const char* part = "files")
{
    return QDir(at(".local/share/Trash/") + part).entryList(kAll);
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
        updatenames::setBases(m_server.base(), m_server.base());
    }

    void init()
    {
        QDir(testsupport::home()).removeRecursively();
        platform::setApplicationsFolder(QString());
        QVERIFY(QDir().mkpath(at("Downloads")));
        QVERIFY(makeApp(at("Applications"), kOld));
        QVERIFY(makeApp(at("staging"), kNew));
    }

    void update_data()
    {
        QTest::addColumn<bool>("earlier");
        QTest::newRow("fresh") << false;
        QTest::newRow("over an earlier archive and unpacking") << true;
    }
    void update()
    {
        QFETCH(bool, earlier);
        if (earlier) {
            QVERIFY(write(at("Downloads/pairwell.zip"), "an earlier archive"));
            QVERIFY(makeApp(at("Downloads"), "an earlier unpacking\n"));
        }
        QVERIFY(write(at("staging/__MACOSX/Pairwell.app/._pairwell"), "meta"));
        const QByteArray archive = zip({"Pairwell.app", "__MACOSX"});
        QMap<QString, QByteArray> expected = snapshot();
        expected.insert(QStringLiteral("Applications/Pairwell.app/pairwell"), kNew);

        QCOMPARE(install({200, archive}),
                 QStringLiteral("Done. Updated Version Will Run in The Next Launch."));

        QCOMPARE(snapshot(), expected);
        QVERIFY(QFileInfo(at("Applications/Pairwell.app/pairwell")).isExecutable());
        QCOMPARE(QDir(at("Downloads")).entryList(kAll), QStringList());
        QCOMPARE(trashed(), (QStringList{"__MACOSX", "Pairwell.app", "pairwell.zip"}));
        QCOMPARE(read(at(".local/share/Trash/files/Pairwell.app/pairwell")), kOld);
        QCOMPARE(read(at(".local/share/Trash/files/pairwell.zip")), archive);
    }

    void failureKeepsTheApplication_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"404", "closed mid-download", "not a zip", "damaged data", "no application folder",
              "Applications not writable", "entry with ../", "absolute entry", "final move fails"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void failureKeepsTheApplication()
    {
        QFETCH(QString, kind);
        MendServer::Answer answer{200, zip({"Pairwell.app"})};
        QTemporaryDir shm(QStringLiteral("/dev/shm/pairwell-XXXXXX"));
        if (kind == "404") {
            answer = {404, "gone"};
        } else if (kind == "closed mid-download") {
            answer.cut = true;
        } else if (kind == "not a zip") {
            answer.body = "<html>this is not an archive</html>";
        } else if (kind == "damaged data") {
            // The listing reads fine, but unzip finds a wrong checksum as it unpacks.
            answer.body.replace(kNew, "NEW BUILD\n");
        } else if (kind == "no application folder") {
            QVERIFY(write(at("staging/Other.app/pairwell"), kNew));
            answer.body = zip({"Other.app"});
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
            QVERIFY(QDir().rmdir(at("Downloads")) && QFile::link(shm.path(), at("Downloads")));
        } else {
            // zip stores neither "../" nor absolute names: store a name of the same length and
            // rewrite it in the archive's local and central headers.
            const QString hostile =
                kind == "absolute entry" ? at("outside/absolute.txt") : "../evil.txt";
            const QString stand = u'x' + hostile.mid(1);
            QVERIFY(write(at("staging/") + stand, "escaped"));
            answer.body = zip({"Pairwell.app", stand.section(u'/', 0, 0)});
            QCOMPARE(answer.body.count(stand.toUtf8()), 2);
            answer.body.replace(stand.toUtf8(), hostile.toUtf8());
        }
        const QMap<QString, QByteArray> before = snapshot();

        QCOMPARE(install(answer), QStringLiteral("Error. Try later."));

        QCOMPARE(snapshot(), before);
        QCOMPARE(trashed("files") + trashed("info"), QStringList());
    }

private:
    /// Downloads and installs \a answer served as the update archive; gives the status text
    /// once the install has ended and the progress bar has stopped.
    QString install(const MendServer::Answer& answer)
    {
        m_server.answers.insert(QStringLiteral("/pairwell.zip"), answer);
        MendView view;
        QSignalSpy settled(&view, &MendView::settled);
        view.TLUPSave();
        const bool ended = settled.wait(60000);
        return ended && view.TLUPSpin()->isHidden() ? view.TLUPMess()->text() : "not ended";
    }

    MendServer m_server;
};

PAIRWELL_TEST_MAIN(TestMendInstall)
#include "tst_mendinstall.moc"
