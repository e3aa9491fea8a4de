// The Japanese table: complete for every text the code sends through it, chosen
// by the system's language, and never applied to the board's own texts.

#include "AppDelegate.h"
#include "Launch.h"
#include "Store.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLibraryInfo>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated();
    void systemLanguageChoosesTheTable();
};

void TranslationsTest::everyTextIsTranslated()
{
    // Gather the texts from the code afresh into a copy of the table: a text that
    // the table lacks comes out marked unfinished.
    QTemporaryDir work;
    const QString copy = work.filePath(QStringLiteral("pairwell_ja.ts"));
    const QDir source(QStringLiteral(PAIRWELL_SOURCE_DIR));
    QVERIFY(QFile::copy(source.filePath("resources/translations/pairwell_ja.ts"), copy));
    QString lupdate = QLibraryInfo::path(QLibraryInfo::BinariesPath) + QStringLiteral("/lupdate");
    if (!QFileInfo(lupdate).isExecutable())
        lupdate = QStringLiteral("/usr/lib/qt6/bin/lupdate"); // Debian keeps it here
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(lupdate, {QStringLiteral("-no-obsolete"), source.filePath("app"),
                            source.filePath("resources"), QStringLiteral("-ts"), copy});
    QVERIFY2(process.waitForFinished(120000) && process.exitCode() == 0,
             qPrintable(lupdate + process.readAll()));
    QFile file(copy);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString table = QString::fromUtf8(file.readAll());
    QVERIFY(table.count(QStringLiteral("<message")) > 50);
    QVERIFY2(!table.contains(QStringLiteral("type=\"unfinished\"")),
             "texts without a Japanese translation: run lupdate and translate them");
}

void TranslationsTest::systemLanguageChoosesTheTable()
{
    auto* app = static_cast<QApplication*>(QCoreApplication::instance());
    const auto title = [] {
        return QCoreApplication::translate("PreferencesWindow", "Preferences");
    };
    QLocale::setDefault(QLocale(QLocale::German)); // no table: English stays
    prepareApplication(*app);
    QCOMPARE(title(), QStringLiteral("Preferences"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    prepareApplication(*app);
    QCOMPARE(title(), QStringLiteral("環境設定"));

    // The menus speak Japanese now; the board's own texts never do.
    testsupport::resetStore();
    store::setHigh(QStringLiteral("24"));
    AppDelegate game;
    game.applicationDidFinishLaunching();
    auto* mess = game.window()->findChild<QLabel*>(QStringLiteral("mess"));
    QCOMPARE(mess->text(), QStringLiteral("High: 24 Clicks"));
    game.tear();
    game.ends();
    QCOMPARE(mess->text(), QStringLiteral("Halted"));
    QCOMPARE(game.window()->findChild<QAction*>(QStringLiteral("actionNewGame"))->text(),
             QStringLiteral("新しいゲーム(&N)"));
}

PAIRWELL_TEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
