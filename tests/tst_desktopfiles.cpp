// The system-wide install for packagers: the desktop entry and the AppStream metadata
// validate, and the install puts them, the icons and the executable where desktops look for
// them. The installed game itself is started by the per-user install's test.

#include "TestSupport.h"

class DesktopFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void installedFilesValidate()
    {
#if defined(Q_OS_MACOS) || defined(Q_OS_WIN)
        QSKIP("the freedesktop.org layout is for Linux and the other Unix desktops");
#endif
        // The tools say why on their output, which the test log keeps.
        QTemporaryDir prefix;
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
};

PAIRWELL_TEST_MAIN(DesktopFilesTest)
#include "tst_desktopfiles.moc"
