// What the board shows beyond the rules: flips, found and pending marks, the click count and
// the window's place across launches.

#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "TestSupport.h"

#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <memory>

class PolishTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { setRandomSource({}); }
    void clicksDuringFlipsAndMarks();
    void windowPlace_data();
    void windowPlace();

private:
    std::unique_ptr<AppDelegate> launch()
    {
        auto delegate = std::make_unique<AppDelegate>();
        delegate->applicationDidFinishLaunching();
        return delegate;
    }
};

void PolishTest::init()
{
    testsupport::resetStore();
    setRandomSource([] { return 0u; }); // tags t and t + 10 make a pair
    game::hang = nullptr;
    game::kick = game::hits = 0;
}

void PolishTest::clicksDuringFlipsAndMarks()
{
    auto game = launch();
    game->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(game->window()));
    auto* clicks = game->window()->findChild<QLabel*>(QStringLiteral("clicks"));
    auto click = [&](int tag) {
        QTest::mouseClick(game->cardAt(tag), Qt::LeftButton);
    };
    auto marks = [&](int a, int b) {
        return QList<Card::Mark>{game->cardAt(a)->mark(), game->cardAt(b)->mark()};
    };
    game->tear();
    QCOMPARE(clicks->text(), QStringLiteral("Clicks: 0"));

    // No event loop runs between these clicks, so every one lands while card 0 turns over.
    click(0);
    QVERIFY(game->cardAt(0)->isFlipping());
    QCOMPARE(marks(0, 10), (QList{Card::Pending, Card::Unmarked}));
    click(0); // already face up: ignored, as without the flip
    click(10);
    QVERIFY(game->cardAt(0)->isFlipping());
    QCOMPARE(game::hits, 1);
    QCOMPARE(game::kick, 2);
    QCOMPARE(clicks->text(), QStringLiteral("Clicks: 2"));
    QCOMPARE(marks(0, 10), (QList{Card::Found, Card::Found}));

    // A mismatch marks neither card, and the cover removes nothing but its own pair.
    click(1);
    click(2);
    QCOMPARE(marks(1, 2), (QList{Card::Unmarked, Card::Unmarked}));
    QCOMPARE(clicks->text(), QStringLiteral("Clicks: 4"));
    QTRY_VERIFY(!game->cardAt(1)->isFaceUp() && !game->cardAt(2)->isFaceUp());
    QCOMPARE(marks(0, 10), (QList{Card::Found, Card::Found}));
    QCOMPARE(game::kick, 4);

    // New Game covers every card at once, with no flip left running.
    game->tear();
    for (const auto& card : game->cards()) {
        QVERIFY(!card->isFaceUp() && !card->isFlipping());
        QCOMPARE(card->mark(), Card::Unmarked);
    }
    QCOMPARE(clicks->text(), QStringLiteral("Clicks: 0"));
}

void PolishTest::windowPlace_data()
{
    QTest::addColumn<QPoint>("offset"); // from the available area's top left
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("on screen") << QPoint(20, 30) << QSize(400, 300) << true;
    QTest::newRow("screen gone") << QPoint(20000, 9000) << QSize(400, 300) << false;
    QTest::newRow("too large") << QPoint(-50, -50) << QSize(9000, 9000) << false;
}

void PolishTest::windowPlace()
{
    QFETCH(QPoint, offset);
    QFETCH(QSize, size);
    QFETCH(bool, kept);
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place(room.topLeft() + offset, size);
    {
        auto saved = launch();
        saved->window()->setGeometry(place);
        saved->saveWindowPlace();
    }
    auto game = launch();
    game->restoreWindowPlace();
    const QRect restored = game->window()->geometry();
    QVERIFY(room.contains(restored));
    QCOMPARE(restored.size(), size.boundedTo(room.size()));
    if (kept)
        QCOMPARE(restored.topLeft(), place.topLeft());
}

PAIRWELL_TEST_MAIN(PolishTest)
#include "tst_polish.moc"
