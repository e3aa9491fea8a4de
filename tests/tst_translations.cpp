// The texts: the help's entries and styles, and the Japanese table, complete for every text
// the code sends through it, chosen by the system's language, and never applied to the
// board's own texts.

#include "AppDelegate.h"
#include "HelpView.h"
#include "TestSupport.h"

namespace {

const QStringList kEnglish = {
    "Pairwell Help",
    "Just a simple nervous-breakdown. You can customize card-faces.",
    "Controls",
    "Select a card to uncover, then another. If two of them match, they will be kept open. Your "
    "goal is to open all the cards.",
    "Settings",
    "Customize card-faces in preferences. To add a new set, prepare 10 images for card-faces, 1 "
    "image for covered face. Drop pictures to image well one by one, name the set, then click "
    "Save. You cannot overwrite an existing set, so if you want to edit a set, change its name "
    "and save. To use in games, click Use. To delete, select the set from pop-up and click "
    "Delete.",
};
// Title, paragraph, heading, paragraph, heading, paragraph: points and weight.
const int kPoints[] = {14, 12, 12, 12, 12, 12};
const bool kBold[] = {true, false, true, false, true, false};

/// Checks that \a view shows \a shown, each entry with its blank line in the entry's style.
void checkEntries(const HelpView& view, const QStringList& shown)
{
    QCOMPARE(view.toPlainText(), shown.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n"));
    QTextBlock block = view.document()->begin();
    for (int i = 0; i < shown.size(); ++i, block = block.next().next()) {
        QCOMPARE(block.text(), shown.at(i));
        for (const QTextBlock& part : {block, block.next()}) {
            QFont font = part.charFormat().font();
            for (auto it = part.begin(); !it.atEnd(); ++it)
                font = it.fragment().charFormat().font();
            QCOMPARE(font.pointSize(), kPoints[i]);
            QCOMPARE(font.bold(), kBold[i]);
        }
    }
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated();
    void systemLanguageChoosesTheTable();
    void helpKeepsTheEnglishStyles();
};

void TranslationsTest::helpKeepsTheEnglishStyles()
{
    for (const bool japanese : {false, true}) {
        QTranslator table;
        QVERIFY(table.load(QStringLiteral(":/i18n/pairwell_ja.qm")));
        if (japanese)
            QCoreApplication::installTranslator(&table);
        QStringList shown;
        for (const QString& entry : kEnglish)
            shown << QCoreApplication::translate("HelpView", entry.toUtf8().constData());
        HelpView view;
        QCoreApplication::removeTranslator(&table);
        QVERIFY(view.isReadOnly());
        // No Japanese paragraph ends with ".", yet each keeps the style of its English entry.
        for (int i = 0; japanese && i < shown.size(); ++i)
            QVERIFY2(shown.at(i) != kEnglish.at(i) && !shown.at(i).endsWith(u'.'),
                     qPrintable(shown.at(i)));
        checkEntries(view, shown);
    }
}

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
