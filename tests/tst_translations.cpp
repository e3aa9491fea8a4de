// The texts: the help's entries and styles, and the Japanese table, complete for every text
// the code sends through it, chosen by the system's language, and never applied to the
// board's own texts.

#include "AppDelegate.h"
#include "HelpView.h"
#include "TestSupport.h"

namespace {

// Title, paragraph, heading, paragraph, heading, paragraph: points and weight.
const int kPoints[] = {14, 12, 12, 12, 12, 12};
const bool kBold[] = {true, false, true, false, true, false};

/// Reads the six entries of \a view into \a shown, checking that each is followed by a blank
/// line and that both are in the entry's style, and that nothing else is shown.
void readEntries(const HelpView& view, QStringList* shown)
{
    QTextBlock block = view.document()->begin();
    for (int i = 0; i < 6; ++i, block = block.next().next()) {
        *shown << block.text();
        for (const QTextBlock& part : {block, block.next()}) {
            QFont font = part.charFormat().font();
            for (auto it = part.begin(); !it.atEnd(); ++it)
                font = it.fragment().charFormat().font();
            QCOMPARE(font.pointSize(), kPoints[i]);
            QCOMPARE(font.bold(), kBold[i]);
        }
    }
    QCOMPARE(view.toPlainText(), shown->join(QStringLiteral("\n\n")) + QStringLiteral("\n\n"));
}

} // namespace

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
        QCOMPARE(QProcess::execute(QLibraryInfo::path(QLibraryInfo::BinariesPath) + "/lupdate",
                                   {"-no-obsolete", "app", "resources", "-ts", copy}),
                 0);
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
        QLocale::setDefault(QLocale(QLocale::German)); // no table: English stays
        prepareApplication(*qApp);
        readEntries(HelpView(), &english);
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
        prepareApplication(*qApp);
        HelpView help;
        QVERIFY(help.isReadOnly());
        readEntries(help, &japanese);
        // No Japanese paragraph ends with ".", yet each keeps the style of its English entry.
        for (int i = 0; i < japanese.size(); ++i) {
            QCOMPARE(japanese.at(i),
                     QCoreApplication::translate("HelpView", qPrintable(english.at(i))));
            QVERIFY2(japanese.at(i) != english.at(i) && !japanese.at(i).endsWith(u'.'),
                     qPrintable(japanese.at(i)));
        }

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
};

PAIRWELL_TEST_MAIN(TranslationsTest)
#include "tst_translations.moc"
