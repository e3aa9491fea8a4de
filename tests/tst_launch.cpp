// Starts the real executable, as a player would, and checks what it leaves behind.

#include "TestSupport.h"

class LaunchTest : public QObject
{
    Q_OBJECT

private slots:
    void firstLaunchSeedsTheStore();
};

void LaunchTest::firstLaunchSeedsTheStore()
{
    // A HOME of its own, empty, so this really is the first launch.
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        env.remove(QString::fromLatin1(name));

    QProcess game;
    game.setProcessEnvironment(env);
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game.start(QStringLiteral(PAIRWELL_EXECUTABLE), {});
    QVERIFY2(game.waitForStarted(10000), qPrintable(game.errorString()));

    const QString root = home.path() + QStringLiteral("/.local/share/Tallowen/Pairwell");
    const QString settingsFile = home.path() + QStringLiteral("/.config/Tallowen/Pairwell.conf");
    // The score is written last at launch, so its key means the seeding is over.
    QTRY_VERIFY_WITH_TIMEOUT(QFile(settingsFile).size() > 0 &&
                                 QSettings(settingsFile, QSettings::IniFormat).contains("high"),
                             20000);
    QCOMPARE(game.state(), QProcess::Running);
    game.kill();
    game.waitForFinished(5000);

    QSettings settings(settingsFile, QSettings::IniFormat);
    QCOMPARE(settings.value("book").toStringList(), QStringList{QStringLiteral("Default")});
    QCOMPARE(settings.value("used").toString(), QStringLiteral("Default"));
    QCOMPARE(settings.value("high").toString(), QStringLiteral("0"));

    QDir set(root + QStringLiteral("/Default"));
    QCOMPARE(set.entryList(QDir::Files).size(), store::kImages);
    for (int i = 0; i < store::kImages; ++i) {
        QFile copy(set.filePath(QStringLiteral("%1.png").arg(i)));
        QFile original(store::defaultImage(i));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
    }
    // Nothing but set folders in the store root.
    QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("Default")});
}

PAIRWELL_TEST_MAIN(LaunchTest)
#include "tst_launch.moc"
