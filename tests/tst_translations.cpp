// The texts: the help's entries and styles, and the Japanese table, complete for every text
// the code sends through it, chosen by the system's language, and never applied to the
// board's own texts.

#include "AppDelegate.h"
#include "HelpView.h"
#include "TestSupport.h"

/// Reads the six entries of the help shown under \a locale into \a shown, checking that each is
/// followed by a blank line and that both are in the entry's style, and that nothing else is shown.
static void readHelp(const QLocale& locale, QStringList* shown)
{
    QLocale::setDefault(locale);
    prepareApplication(*qApp);
    const HelpView view;
    QVERIFY(view.isReadOnly());
    QTextBlock block = view.document()->begin();
    for (int i = 0; i < 6; ++i, block = block.next().next()) {
        *shown << block.text();
        for (const QTextBlock& part : {block, block.next()}) {
            QFont font = part.charFormat().font();
            for (auto it = part.begin(); !it.atEnd(); ++it)
                font = it.fragment().charFormat().font();
            // Title, then paragraph and heading in turn: only the title is large, only the
            // paragraphs are plain.
            QCOMPARE(font.pointSize(), i ? 12 : 14);
            QCOMPARE(font.bold(), i % 2 == 0);
        }
    }
    QCOMPARE(view.toPlainText(), shown->join(QStringLiteral("\n\n")) + QStringLiteral("\n\n"));
}

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void everyTextIsTranslated()
    {
        // Gather the texts from the code afresh into a copy of the table: a text that
        // the table lacks comes out marked unfinished.
        QTemporaryDir work;
        const QString copy = work.filePath(QStringLiteral("pairwell_ja.ts"));
        QVERIFY(QDir::setCurrent(QStringLiteral(PAIRWELL_SOURCE_DIR)));
        QVERIFY(QFile::copy(QStringLiteral("resources/translations/pairwell_ja.ts"), copy));
        QVERIFY(!QProcess::execute(QLibraryInfo::path(QLibraryInfo::BinariesPath) + "/lupdate",
                                   {"-no-obsolete", "app", "resources", "-ts", copy}));
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString table = QString::fromUtf8(file.readAll());
        QVERIFY(table.count(QStringLiteral("<message")) > 50);
        QVERIFY2(!table.contains(QStringLiteral("type=\"unfinished\"")),
                 "texts without a Japanese translation: run lupdate and translate them");
    }

    void systemLanguageChoosesTheTable()
    {
        QStringList english, japanese;
        readHelp(QLocale(QLocale::German), &english); // no table: English stays
        readHelp(QLocale(QLocale::Japanese, QLocale::Japan), &japanese);
        // No Japanese paragraph ends with ".", yet each keeps the style of its English entry.
        for (int i = 0; i < japanese.size(); ++i) {
            QCOMPARE(japanese[i], QCoreApplication::translate("HelpView", qPrintable(english[i])));
            QVERIFY2(japanese[i] != english[i] && !japanese[i].endsWith(u'.'),
                     qPrintable(japanese[i]));
        }

        // The menus speak Japanese now; the board's own texts never do.
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
};

PAIRWELL_TEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
