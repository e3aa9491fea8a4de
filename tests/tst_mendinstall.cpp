#include "MendServer.h"
#include "MendView.h"
#include "Platform.h"
#include "TestSupport.h"

#include <QDirIterator>
#include <QLabel>
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

/// Writes \a bytes to \a path, making the folders on the way. The file is executable, as the
/// application's program must be.
bool write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           file.setPermissions(file.permissions() | QFile::ExeOwner);
}

/// Stores \a items of the folder "staging" in an archive made by the real zip, without
/// compression so that the tests find the files' bytes in it; gives the archive's bytes.
QByteArray zip(const QStringList& items)
{
    QProcess zip;
    zip.setWorkingDirectory(at("staging"));
    zip.start(QStringLiteral("/usr/bin/zip"), QStringList{"-q", "-r", "-0", "-"} + items);
    zip.waitForFinished(60000);
    return zip.readAllStandardOutput();
}

/// Every file and folder under the temporary home, with the contents of the files; but for
/// the Downloads folder, the Trash and Qt's own folders.
QMap<QString, QByteArray> snapshot()
{
    static const QRegularExpression skipped(
        QStringLiteral("^(\\.local|\\.cache|\\.config|Downloads)"));
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
    /// The update that succeeds, then every way for one to fail.
    void install_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"update", "404", "closed mid-download", "not a zip", "damaged data",
              "no application folder", "Applications not writable", "entry with ../",
              "absolute entry", "final move fails"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void install()
    {
        QFETCH(QString, kind);
        QDir(testsupport::home()).removeRecursively();
        platform::setApplicationsFolder(QString());
        QVERIFY(write(at("Applications/Pairwell.app/pairwell"), kOld));
        QVERIFY(write(at("staging/Pairwell.app/pairwell"), kNew));
        QVERIFY(write(at("staging/__MACOSX/Pairwell.app/._pairwell"), "meta"));
        MendServer::Answer answer{200, zip({"Pairwell.app", "__MACOSX"})};
        QTemporaryDir shm(QStringLiteral("/dev/shm/pairwell-XXXXXX"));
        if (kind == "update") {
            // Left by an earlier update: both give way to the new ones.
            QVERIFY(write(at("Downloads/pairwell.zip"), "an earlier archive"));
            QVERIFY(write(at("Downloads/Pairwell.app/pairwell"), "an earlier unpacking\n"));
        } else if (kind == "404") {
            answer.status = 404; // with a good archive as its body, which must stay unused
        } else if (kind == "closed mid-download") {
            answer.cut = true;
        } else if (kind == "not a zip") {
            answer.body = "<html>this is not an archive</html>";
        } else if (kind == "damaged data") {
            // The listing reads fine, but unzip finds a wrong checksum as it unpacks.
            answer.body.replace(kNew, "NEW BUILD\n");
        } else if (kind == "no application folder") {
            answer.body = zip({"__MACOSX"}); // the metadata alone
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
        } else {
            // zip stores neither "../" nor absolute names: store a name of the same length and
            // rewrite it in the archive's local and central headers. Should the rewrite miss,
            // the archive is harmless and the install succeeds, which fails the test.
            const QString hostile =
                kind == "absolute entry" ? at("outside/absolute.txt") : "../evil.txt";
            const QString stand = u'x' + hostile.mid(1);
            QVERIFY(write(at("staging/") + stand, "escaped"));
            answer.body = zip({"Pairwell.app", stand.section(u'/', 0, 0)});
            answer.body.replace(stand.toUtf8(), hostile.toUtf8());
        }
        const bool fine = kind == "update";
        QMap<QString, QByteArray> expected = snapshot();
        if (fine)
            expected.insert(QStringLiteral("Applications/Pairwell.app/pairwell"), kNew);

        MendServer server;
        server.answers.insert(QStringLiteral("/pairwell.zip"), answer);
        MendView view;
        QSignalSpy settled(&view, &MendView::settled);
        view.TLUPSave();
        QVERIFY(settled.wait(60000));

        QVERIFY(view.TLUPSpin()->isHidden());
        QCOMPARE(view.TLUPMess()->text(),
                 fine ? QStringLiteral("Done. Updated Version Will Run in The Next Launch.")
                      : QStringLiteral("Error. Try later."));
        QCOMPARE(snapshot(), expected);
        QCOMPARE(trashed(),
                 (fine ? QStringList{"__MACOSX", "Pairwell.app", "pairwell.zip"} : QStringList()));
        // Each item in the Trash has its record, so the desktop can put it back.
        QCOMPARE(trashed("info").size(), trashed().size());
        if (fine) {
            QVERIFY(QFileInfo(at("Applications/Pairwell.app/pairwell")).isExecutable());
            QCOMPARE(QDir(at("Downloads")).entryList(kAll), QStringList());
            QCOMPARE(read(at(".local/share/Trash/files/Pairwell.app/pairwell")), kOld);
        }
    }
};

PAIRWELL_TEST_MAIN(TestMendInstall)
#include "tst_mendinstall.moc"
