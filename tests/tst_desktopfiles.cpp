#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

namespace {

QString sourcePath(const QString& relative)
{
    return QStringLiteral(PAIRWELL_SOURCE_DIR "/") + relative;
}

/// The name the desktop entry starts the game by. A macOS build names its bundle's executable
/// after the bundle, so there the installed Unix name is taken as given.
QString executableName()
{
#ifdef Q_OS_MACOS
    return QStringLiteral("pairwell");
#else
    return QFileInfo(QStringLiteral(PAIRWELL_EXECUTABLE)).fileName();
#endif
}

QString desktopEntryPath()
{
    return sourcePath(QStringLiteral("resources/pairwell.desktop"));
}

QString metainfoPath()
{
    return sourcePath(
        QStringLiteral("resources/%1.metainfo.xml").arg(QGuiApplication::desktopFileName()));
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

/// The keys of the [Desktop Entry] group, as written (localised keys keep their [xx]).
QHash<QString, QString> desktopEntry(const QString& path)
{
    QHash<QString, QString> keys;
    bool inGroup = false;
    const QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inGroup && eq > 0 && !line.startsWith(QLatin1Char('#')))
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

/// Runs \a program with \a arguments; gives its exit code and puts what it wrote in \a output.
int run(const QString& program, const QStringList& arguments, QString* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return -1;
    *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

/// The build folder, where `cmake --install` reads its rules.
QString buildDir()
{
    return QStringLiteral(PAIRWELL_BINARY_DIR);
}

/// The string values of a property list's top-level dictionary, by key.
QHash<QString, QString> plistStrings(const QString& path)
{
    QHash<QString, QString> values;
    QXmlStreamReader xml(readAll(path));
    QString key;
    int depth = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            // plist > dict > key/string
            if (depth == 3 && xml.name() == QLatin1String("key")) {
                key = xml.readElementText();
                --depth;
            } else if (depth == 3 && xml.name() == QLatin1String("string")) {
                values.insert(key, xml.readElementText());
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return xml.hasError() ? QHash<QString, QString>() : values;
}

} // namespace

class DesktopFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntryNamesTheGame();
    void desktopEntryValidates();
    void iconsHaveTheirSizes();
    void metainfoDescribesTheGame();
    void metainfoValidates();
    void installPutsFilesWhereDesktopsLook();
    void bundleKeysCarryNameAndVersion();
};

void DesktopFilesTest::desktopEntryNamesTheGame()
{
    const auto keys = desktopEntry(desktopEntryPath());
    QCOMPARE(keys.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(keys.value(QStringLiteral("Name")), QStringLiteral("Pairwell"));
    QCOMPARE(keys.value(QStringLiteral("Exec")), executableName());
    QCOMPARE(keys.value(QStringLiteral("Icon")), QGuiApplication::desktopFileName());
    QCOMPARE(keys.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    const QStringList categories =
        keys.value(QStringLiteral("Categories")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVERIFY(categories.contains(QStringLiteral("Game")));
    QVERIFY(categories.contains(QStringLiteral("CardGame")));
    // The desktop shows the Japanese lines where the language is Japanese.
    QVERIFY(!keys.value(QStringLiteral("Comment[ja]")).isEmpty());
    QVERIFY(!keys.value(QStringLiteral("GenericName[ja]")).isEmpty());
}

void DesktopFilesTest::desktopEntryValidates()
{
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (package desktop-file-utils)");
    QString output;
    const int code = run(validator, {desktopEntryPath()}, &output);
    QVERIFY2(code == 0 && output.trimmed().isEmpty(), qPrintable(output));
}

void DesktopFilesTest::iconsHaveTheirSizes()
{
    for (int size : {64, 128, 256}) {
        const QString path =
            sourcePath(QStringLiteral("resources/icons/pairwell-%1.png").arg(size));
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
    }
}

void DesktopFilesTest::metainfoDescribesTheGame()
{
    QXmlStreamReader xml(readAll(metainfoPath()));
    QString id, launchable, binary, screenshot, firstRelease, translation;
    QString root;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (root.isEmpty()) {
            root = name.toString();
            QCOMPARE(xml.attributes().value(QLatin1String("type")),
                     QLatin1String("desktop-application"));
        } else if (name == QLatin1String("id")) {
            id = xml.readElementText();
        } else if (name == QLatin1String("launchable")) {
            launchable = xml.readElementText();
        } else if (name == QLatin1String("binary")) {
            binary = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            translation = xml.readElementText();
        } else if (name == QLatin1String("image") && screenshot.isEmpty()) {
            screenshot = xml.readElementText();
        } else if (name == QLatin1String("release") && firstRelease.isEmpty()) {
            firstRelease = xml.attributes().value(QLatin1String("version")).toString();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(root, QStringLiteral("component"));
    QCOMPARE(id, QGuiApplication::desktopFileName());
    QCOMPARE(launchable, QGuiApplication::desktopFileName() + QStringLiteral(".desktop"));
    QCOMPARE(binary, executableName());
    QCOMPARE(translation, QStringLiteral("pairwell"));
    // The newest release, listed first, is the version being built.
    QCOMPARE(firstRelease, QCoreApplication::applicationVersion());
    const QUrl url(screenshot);
    QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https"), qPrintable(screenshot));
    QVERIFY(url.path().endsWith(QLatin1String("/screenshot.png")));
}

void DesktopFilesTest::metainfoValidates()
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (validator.isEmpty())
        QSKIP("appstreamcli is not installed (package appstream)");
    QString output;
    const int code =
        run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"), metainfoPath()},
            &output);
    QVERIFY2(code == 0, qPrintable(output));
}

void DesktopFilesTest::installPutsFilesWhereDesktopsLook()
{
#if defined(Q_OS_MACOS) || defined(Q_OS_WIN)
    QSKIP("the freedesktop.org layout is for Linux and the other Unix desktops");
#endif
    const QString build = buildDir();
    QVERIFY2(QFile::exists(build + QStringLiteral("/cmake_install.cmake")), PAIRWELL_BINARY_DIR);
    const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
    QVERIFY2(!cmake.isEmpty(), "cmake is not on the PATH");
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QString output;
    QCOMPARE(run(cmake,
                 {QStringLiteral("--install"), build, QStringLiteral("--prefix"), prefix.path()},
                 &output),
             0);

    const QString id = QGuiApplication::desktopFileName();
    const QDir root(prefix.path());
    const QFileInfo executable(root.filePath(QStringLiteral("bin/pairwell")));
    QVERIFY2(executable.isFile() && executable.isExecutable(), qPrintable(output));
    const QString entry = root.filePath(QStringLiteral("share/applications/%1.desktop").arg(id));
    QCOMPARE(readAll(entry), readAll(desktopEntryPath()));
    const QString metainfo =
        root.filePath(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id));
    QCOMPARE(readAll(metainfo), readAll(metainfoPath()));
    for (int size : {64, 128, 256}) {
        const QString icon = root.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(id));
        QCOMPARE(QImage(icon).size(), QSize(size, size));
    }

    // The installed tree as a whole: the metadata finds its desktop entry and icon.
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (!appstream.isEmpty()) {
        QCOMPARE(run(appstream,
                     {QStringLiteral("validate-tree"), QStringLiteral("--no-net"), prefix.path()},
                     &output),
                 0);
    }
}

void DesktopFilesTest::bundleKeysCarryNameAndVersion()
{
    const QString build = buildDir();
    const auto keys = plistStrings(build + QStringLiteral("/Pairwell-Info.plist"));
    QCOMPARE(keys.value(QStringLiteral("CFBundleName")), QStringLiteral("Pairwell"));
    QCOMPARE(keys.value(QStringLiteral("CFBundleShortVersionString")),
             QCoreApplication::applicationVersion());
    QCOMPARE(keys.value(QStringLiteral("CFBundleIdentifier")), QGuiApplication::desktopFileName());
    QCOMPARE(keys.value(QStringLiteral("CFBundlePackageType")), QStringLiteral("APPL"));
    QCOMPARE(keys.value(QStringLiteral("CFBundleExecutable")), QStringLiteral("Pairwell"));
}

PAIRWELL_TEST_MAIN(DesktopFilesTest)

#include "tst_desktopfiles.moc"
