// The installed game: the desktop entry and the AppStream metadata validate, the install puts
// them, the icons and the executable where desktops look for them, and the installed
// executable, started as a player would, seeds the store.

#include "TestSupport.h"

class DesktopFilesTest : public QObject
{
    Q_OBJECT
    QTemporaryDir prefix;

private slots:
    void installedFilesValidate()
    {
#if defined(Q_OS_MACOS) || defined(Q_OS_WIN)
        QSKIP("the freedesktop.org layout is for Linux and the other Unix desktops");
#endif
        // The tools say why on their output, which the test log keeps.
        QCOMPARE(QProcess::execute("cmake",
                                   {"--install", PAIRWELL_BINARY_DIR, "--prefix", prefix.path()}),
                 0);
        const QDir root(prefix.path());
        const QString id = QStringLiteral("com.tallowen.Pairwell");
        QVERIFY(QFileInfo(root.filePath("bin/pairwell")).isExecutable());
        const QString icon = QStringLiteral("share/icons/hicolor/256x256/apps/%1.png").arg(id);
        QCOMPARE(QImage(root.filePath(icon)).size(), QSize(256, 256));
        const QString entry = QStringLiteral("share/applications/%1.desktop").arg(id);
        QCOMPARE(QProcess::execute("desktop-file-validate", {root.filePath(entry)}), 0);
        // The metadata is checked together with the entry and the icon it names.
        QCOMPARE(QProcess::execute("appstreamcli", {"validate-tree", "--no-net", prefix.path()}),
                 0);
    }

    void firstLaunchSeedsTheStore()
    {
        // A HOME of its own, empty, so this really is the first launch; this process has
        // already dropped the XDG overrides.
        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        QProcess game;
        game.setProcessEnvironment(env);
        const QString installed = prefix.path() + QStringLiteral("/bin/pairwell");
        game.start(QFileInfo::exists(installed) ? installed : PAIRWELL_EXECUTABLE, {});
        QVERIFY2(game.waitForStarted(10000), qPrintable(game.errorString()));

        const QString root = home.path() + QStringLiteral("/.local/share/Tallowen/Pairwell");
        const QString file = home.path() + QStringLiteral("/.config/Tallowen/Pairwell.conf");
        // The score is written last at launch, so its key means the seeding is over.
        QTRY_VERIFY_WITH_TIMEOUT(QFile(file).size() > 0 &&
                                     QSettings(file, QSettings::IniFormat).contains("high"),
                                 20000);
        QCOMPARE(game.state(), QProcess::Running);
        game.kill();
        game.waitForFinished(5000);
        // Nothing but set folders in the store root, and the Default set whole.
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), {"Default"});
        QCOMPARE(QDir(root + "/Default").entryList(QDir::Files).size(), store::kImages);
    }
};

PAIRWELL_TEST_MAIN(DesktopFilesTest)
#include "tst_desktopfiles.moc"
