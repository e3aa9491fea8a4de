// The help text: its six entries, their styles, and the same styles under a
// translation.

#include "HelpView.h"
#include "TestSupport.h"

#include <QTextBlock>
#include <QTranslator>

namespace {

const QStringList kEnglish = {
    QStringLiteral("Pairwell Help"),
    QStringLiteral("Just a simple nervous-breakdown. You can customize card-faces."),
    QStringLiteral("Controls"),
    QStringLiteral("Select a card to uncover, then another. If two of them "
                   "match, they will be "
                   "kept open. Your goal is to open all the cards."),
    QStringLiteral("Settings"),
    QStringLiteral("Customize card-faces in preferences. To add a new set, "
                   "prepare 10 images for "
                   "card-faces, 1 image for covered face. Drop pictures to "
                   "image well one by one, "
                   "name the set, then click Save. You cannot overwrite an "
                   "existing set, so if "
                   "you want to edit a set, change its name and save. To use "
                   "in games, click Use. "
                   "To delete, select the set from pop-up and click Delete."),
};
// Title, paragraph, heading, paragraph, heading, paragraph: points and weight.
const int kPoints[] = {14, 12, 12, 12, 12, 12};
const bool kBold[] = {true, false, true, false, true, false};

/// Checks that \a view shows \a shown, each entry with its blank line in the
/// entry's style.
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

class HelpViewTest : public QObject
{
    Q_OBJECT

private slots:
    void englishEntriesAndStyles();
    void translationKeepsTheEnglishStyles();
};

void HelpViewTest::englishEntriesAndStyles()
{
    HelpView view;
    QVERIFY(view.isReadOnly());
    checkEntries(view, kEnglish);
}

void HelpViewTest::translationKeepsTheEnglishStyles()
{
    QTranslator japanese;
    QVERIFY(japanese.load(QStringLiteral(":/i18n/pairwell_ja.qm")));
    QCoreApplication::installTranslator(&japanese);
    QStringList shown;
    for (const QString& entry : kEnglish)
        shown << QCoreApplication::translate("HelpView", entry.toUtf8().constData());
    HelpView view;
    QCoreApplication::removeTranslator(&japanese);
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(shown.at(i) != kEnglish.at(i) && !shown.at(i).endsWith(u'.'),
                 qPrintable(shown.at(i)));
    // No Japanese paragraph ends with ".", yet each keeps the style of its
    // English entry.
    checkEntries(view, shown);
}

PAIRWELL_TEST_MAIN(HelpViewTest)
#include "tst_helpview.moc"
