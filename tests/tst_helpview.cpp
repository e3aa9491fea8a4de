#include "AppDelegate.h"
#include "HelpView.h"
#include "TestSupport.h"

#include <QAction>
#include <QDialog>
#include <QFontDatabase>
#include <QMainWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTranslator>

namespace {

// The help entries as the player reads them without a translation.
const QStringList kEnglish = {
    QStringLiteral("Pairwell Help"),
    QStringLiteral("Just a simple nervous-breakdown. You can customize card-faces."),
    QStringLiteral("Controls"),
    QStringLiteral("Select a card to uncover, then another. If two of them match, they will be "
                   "kept open. Your goal is to open all the cards."),
    QStringLiteral("Settings"),
    QStringLiteral("Customize card-faces in preferences. To add a new set, prepare 10 images for "
                   "card-faces, 1 image for covered face. Drop pictures to image well one by one, "
                   "name the set, then click Save. You cannot overwrite an existing set, so if "
                   "you want to edit a set, change its name and save. To use in games, click Use. "
                   "To delete, select the set from pop-up and click Delete."),
};

struct Style
{
    qreal points;
    bool bold;
};

// Title, body, heading, body, heading, body.
const Style kStyles[] = {{14, true}, {12, false}, {12, true}, {12, false}, {12, true}, {12, false}};

/// A translator that answers the help entries with texts of its own and nothing else.
class FakeTranslator : public QTranslator
{
public:
    QHash<QString, QString> table;

    bool isEmpty() const override { return table.isEmpty(); }
    QString translate(const char* context, const char* source, const char* = nullptr,
                      int = -1) const override
    {
        if (qstrcmp(context, "HelpView") != 0)
            return QString();
        return table.value(QString::fromUtf8(source));
    }
};

/// Whether \a format is the system font at the size and weight of \a style; else says why.
QString mismatch(const QTextCharFormat& format, const Style& style)
{
    const QFont font = format.font();
    if (font.pointSizeF() == style.points && font.bold() == style.bold &&
        font.family() == QFontDatabase::systemFont(QFontDatabase::GeneralFont).family())
        return QString();
    return QStringLiteral("%1 pt, bold %2, %3")
        .arg(font.pointSizeF())
        .arg(font.bold())
        .arg(font.family());
}

/// Checks that the view holds the entries \a shown one after another, each in a paragraph
/// of its own followed by a blank line, and that every character of an entry and its blank
/// line carry the style that the entry's position gives.
void checkRuns(const HelpView& view, const QStringList& shown)
{
    const QTextDocument* doc = view.document();
    // Each entry and its blank line, then the empty line after the last "\n".
    QCOMPARE(doc->blockCount(), 2 * int(shown.size()) + 1);
    QTextBlock block = doc->begin();
    for (int i = 0; i < shown.size(); ++i) {
        const Style& style = kStyles[i];
        QCOMPARE(block.text(), shown.at(i));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString why = mismatch(it.fragment().charFormat(), style);
            QVERIFY2(why.isEmpty(), qPrintable(QStringLiteral("entry %1: %2").arg(i).arg(why)));
        }
        QVERIFY2(mismatch(block.charFormat(), style).isEmpty(), qPrintable(shown.at(i)));
        block = block.next();
        // The blank line is as tall as the entry it follows.
        QVERIFY(block.isValid());
        QCOMPARE(block.text(), QString());
        QVERIFY2(mismatch(block.charFormat(), style).isEmpty(),
                 qPrintable(QStringLiteral("blank line %1").arg(i)));
        block = block.next();
    }
    QVERIFY(block.isValid());
    QCOMPARE(block.text(), QString());
    QVERIFY(mismatch(block.charFormat(), kStyles[shown.size() - 1]).isEmpty());
}

QString joined(const QStringList& entries)
{
    QString text;
    for (const QString& entry : entries)
        text += entry + QStringLiteral("\n\n");
    return text;
}

} // namespace

class HelpViewTest : public QObject
{
    Q_OBJECT

private slots:
    void englishTextIsTheSixEntries();
    void stylesFollowTheEnglishEntries();
    void japaneseKeepsTheEnglishStyles();
    void styleIgnoresHowATranslationEnds();
    void builtOnceAndReplacedWhole();
    void wholeTextShowsAtItsPreferredSize();
    void helpMenuOpensTheView();
};

void HelpViewTest::englishTextIsTheSixEntries()
{
    HelpView view;
    const QString text = view.toPlainText();
    QCOMPARE(text, joined(kEnglish));
    QVERIFY(text.endsWith(QStringLiteral("Delete.\n\n")));
    QVERIFY(view.isReadOnly());
    // The reader starts at the title.
    QCOMPARE(view.textCursor().position(), 0);
}

void HelpViewTest::stylesFollowTheEnglishEntries()
{
    HelpView view;
    checkRuns(view, kEnglish);
}

void HelpViewTest::japaneseKeepsTheEnglishStyles()
{
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/i18n/pairwell_ja.qm")));
    QStringList shown;
    for (const QString& entry : kEnglish) {
        const QString translated = japanese.translate("HelpView", entry.toUtf8().constData());
        QVERIFY2(!translated.isEmpty(), qPrintable(entry));
        QVERIFY2(translated != entry, qPrintable(entry));
        shown << translated;
    }
    // Japanese paragraphs end with "。", so only the English entry can tell them from headings.
    for (int i : {1, 3, 5})
        QVERIFY(!shown.at(i).endsWith(QLatin1Char('.')));

    QCoreApplication::installTranslator(&japanese);
    HelpView view;
    QCoreApplication::removeTranslator(&japanese);
    QCOMPARE(view.toPlainText(), joined(shown));
    checkRuns(view, shown);
}

void HelpViewTest::styleIgnoresHowATranslationEnds()
{
    // Headings that end with a stop and paragraphs that do not.
    FakeTranslator fake;
    const QStringList shown = {QStringLiteral("Help."),        QStringLiteral("A card game"),
                               QStringLiteral("Keys."),        QStringLiteral("Click the cards"),
                               QStringLiteral("Preferences."), QStringLiteral("Make sets!")};
    for (int i = 0; i < kEnglish.size(); ++i)
        fake.table.insert(kEnglish.at(i), shown.at(i));

    QCoreApplication::installTranslator(&fake);
    HelpView view;
    QCoreApplication::removeTranslator(&fake);
    QCOMPARE(view.toPlainText(), joined(shown));
    checkRuns(view, shown);
}

void HelpViewTest::builtOnceAndReplacedWhole()
{
    HelpView view;
    // Building again replaces the content rather than adding to it.
    view.setsHelp();
    QCOMPARE(view.toPlainText(), joined(kEnglish));
    checkRuns(view, kEnglish);

    // A language installed later shows from the next view made, not in this one.
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/i18n/pairwell_ja.qm")));
    QCoreApplication::installTranslator(&japanese);
    QCoreApplication::processEvents();
    QCOMPARE(view.toPlainText(), joined(kEnglish));
    HelpView later;
    QVERIFY(later.toPlainText() != joined(kEnglish));
    QCoreApplication::removeTranslator(&japanese);
}

void HelpViewTest::wholeTextShowsAtItsPreferredSize()
{
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/i18n/pairwell_ja.qm")));
    for (QTranslator* language : {static_cast<QTranslator*>(nullptr), &japanese}) {
        if (language)
            QCoreApplication::installTranslator(language);
        HelpView view;
        if (language)
            QCoreApplication::removeTranslator(language);
        view.resize(view.sizeHint());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.verticalScrollBar()->maximum(), 0);
        // Lines of a readable length, not one long row.
        QVERIFY(view.document()->size().height() > 8 * view.fontMetrics().height());
    }
}

void HelpViewTest::helpMenuOpensTheView()
{
    AppDelegate delegate;
    QMainWindow* window = delegate.window();
    auto* action = window->findChild<QAction*>(QStringLiteral("actionHelp"));
    QVERIFY(action);
    QCOMPARE(action->shortcuts(), QKeySequence::keyBindings(QKeySequence::HelpContents));
    QVERIFY(!action->shortcuts().isEmpty());

    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keySequence(window, action->shortcuts().constFirst());

    QDialog* dialog = nullptr;
    QTRY_VERIFY((dialog = window->findChild<QDialog*>(QStringLiteral("help"))) &&
                dialog->isVisible());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Pairwell Help"));
    auto* view = dialog->findChild<HelpView*>();
    QVERIFY(view);
    QCOMPARE(view->toPlainText(), joined(kEnglish));
}

PAIRWELL_TEST_MAIN(HelpViewTest)

#include "tst_helpview.moc"
