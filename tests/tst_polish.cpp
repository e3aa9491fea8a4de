// What the board shows beyond the rules: flips, found and pending marks, the click count and
// the window's place across launches.

#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "TestSupport.h"

class PolishTest : public QObject
{
    Q_OBJECT

private slots:
    // Tags t and t + 10 make a pair.
    void initTestCase()
    {
        setRandomSource([] { return 0u; });
    }

    void clicksDuringFlipsAndMarks()
    {
        AppDelegate game;
        game.applicationDidFinishLaunching();
        game.window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(game.window()));
        // Clicks, found pairs, the label and the marks of cards 0, 10, 1 and 2, in one line.
        const auto state = [&] {
            QStringList seen{QStringLiteral("%1 %2").arg(game::kick).arg(game::hits),
                             game.window()->findChild<QLabel*>("clicks")->text()};
            for (int tag : {0, 10, 1, 2})
                seen << game.cardAt(tag)->property("mark").toString();
            return seen.join(u' ');
        };
        game.tear();

        // No event loop runs between these clicks, so every one lands while card 0 turns over.
        QTest::mouseClick(game.cardAt(0), Qt::LeftButton);
        QVERIFY(game.cardAt(0)->isFlipping());
        QCOMPARE(state(), "1 0 Clicks: 1 Pending Unmarked Unmarked Unmarked");
        // Already face up: ignored, as without the flip.
        QTest::mouseClick(game.cardAt(0), Qt::LeftButton);
        QTest::mouseClick(game.cardAt(10), Qt::LeftButton);
        QVERIFY(game.cardAt(0)->isFlipping());
        QCOMPARE(state(), "2 1 Clicks: 2 Found Found Unmarked Unmarked");

        // A mismatch marks neither card, and the cover removes nothing but its own pair.
        QTest::mouseClick(game.cardAt(1), Qt::LeftButton);
        QTest::mouseClick(game.cardAt(2), Qt::LeftButton);
        QCOMPARE(state(), "4 1 Clicks: 4 Found Found Unmarked Unmarked");
        QTRY_VERIFY(!game.cardAt(1)->isFaceUp() && !game.cardAt(2)->isFaceUp());
        QCOMPARE(state(), "4 1 Clicks: 4 Found Found Unmarked Unmarked");

        // New Game covers every card at once, with no flip left running.
        game.tear();
        for (const auto& card : game.cards())
            QVERIFY(!card->isFaceUp() && !card->isFlipping() && card->mark() == Card::Unmarked);
        QCOMPARE(state(), "0 0 Clicks: 0 Unmarked Unmarked Unmarked Unmarked");
    }

    /// A saved place wholly on screen comes back as it was; any other is fitted into the screen
    /// (the centre of the large one lies on no screen).
    void windowPlace_data()
    {
        QTest::addColumn<QRect>("place"); // from the available area's top left
        QTest::newRow("on screen") << QRect(20, 30, 400, 300);
        QTest::newRow("screen gone, too large") << QRect(-50, -50, 9000, 9000);
    }
    void windowPlace()
    {
        QFETCH(QRect, place);
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        place.translate(room.topLeft());
        AppDelegate saved;
        saved.window()->setGeometry(place);
        saved.saveWindowPlace();
        AppDelegate game;
        game.applicationDidFinishLaunching();
        game.restoreWindowPlace();
        const QRect restored = game.window()->geometry();
        QVERIFY(room.contains(restored));
        QCOMPARE(restored.size(), place.size().boundedTo(room.size()));
        if (room.contains(place))
            QCOMPARE(restored.topLeft(), place.topLeft());
    }
};

PAIRWELL_TEST_MAIN(PolishTest)
#include "tst_polish.moc"
