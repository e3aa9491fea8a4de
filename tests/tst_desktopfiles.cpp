// The desktop entry and the AppStream metadata validate, and the install puts
// them, the icons and the executable where desktops look for them.

#include "TestSupport.h"

namespace {

int run(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

class DesktopFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void installedFilesValidate();
};

void DesktopFilesTest::installedFilesValidate()
{
#if defined(Q_OS_MACOS) || defined(Q_OS_WIN)
    QSKIP("the freedesktop.org layout is for Linux and the other Unix desktops");
#endif
    QTemporaryDir prefix;
    QByteArray output;
    QCOMPARE(run(QStringLiteral("cmake"),
                 {QStringLiteral("--install"), QStringLiteral(PAIRWELL_BINARY_DIR),
                  QStringLiteral("--prefix"), prefix.path()},
                 &output),
             0);
    const QDir root(prefix.path());
    const QString id = QStringLiteral("com.tallowen.Pairwell");
    QVERIFY2(QFileInfo(root.filePath("bin/pairwell")).isExecutable(), output.constData());
    const QString icon = QStringLiteral("share/icons/hicolor/256x256/apps/%1.png").arg(id);
    QCOMPARE(QImage(root.filePath(icon)).size(), QSize(256, 256));
    const QString entry = root.filePath(QStringLiteral("share/applications/%1.desktop").arg(id));
    QVERIFY2(run(QStringLiteral("desktop-file-validate"), {entry}, &output) == 0,
             output.constData());
    // The metadata is checked together with the entry and the icon it names.
    QVERIFY2(run(QStringLiteral("appstreamcli"),
                 {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), prefix.path()},
                 &output) == 0,
             output.constData());
}

PAIRWELL_TEST_MAIN(DesktopFilesTest)
#include "tst_desktopfiles.moc"
