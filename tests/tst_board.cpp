// The board: deals, turns, the one-second cover, halting, the score and keyboard play.

#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "Store.h"
#include "TestSupport.h"

#include <QAccessible>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <memory>

namespace {

QList<int> ordered()
{
    QList<int> faces;
    for (int copy = 0; copy < 2; ++copy)
        for (int face = 0; face < 10; ++face)
            faces.append(face);
    return faces;
}

QImage resource(int index)
{
    return QImage(store::defaultImage(index)).convertToFormat(QImage::Format_ARGB32);
}

QImage shown(const Card* card)
{
    return card->image().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class BoardTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dealTakesFirstOrLastRemaining_data();
    void dealTakesFirstOrLastRemaining();
    void dealHoldsEveryFaceTwiceFromTwentyDraws();

    void perfectGameScoresTwentyClicks();
    void mismatchIsCoveredAfterOneSecond();
    void haltDuringGameAndWithoutOne();
    void newGameAfterFinishedGameStartsClean();

    void scoreTable_data();
    void scoreTable();

    void clicksThatMustNotCount();
    void newGameDuringMismatchIsNotTouchedByOldCover();
    void changedSetShowsFromNextCard();

    void keyboardAloneFinishesGame();
    void accessibleTextsFollowTheCards();

private:
    Card* card(int tag) const { return m_delegate->cardAt(tag); }
    void click(int tag) { QTest::mouseClick(card(tag), Qt::LeftButton); }
    QString message() const { return m_delegate->window()->findChild<QLabel*>("mess")->text(); }
    QWidget* gate() const { return m_delegate->window()->findChild<QWidget*>("gate"); }
    QWidget* wall() const { return m_delegate->window()->findChild<QWidget*>("wall"); }
    void newGame()
    {
        QTest::mouseClick(m_delegate->window()->findChild<QPushButton*>("newGame"), Qt::LeftButton);
    }
    void halt()
    {
        QTest::mouseClick(m_delegate->window()->findChild<QPushButton*>("halt"), Qt::LeftButton);
    }
    void launch();

    std::unique_ptr<AppDelegate> m_delegate;
};

void BoardTest::init()
{
    testsupport::resetStore();
    // With a source that always yields 0 the deal is 0..9, 0..9: tags t and t + 10 pair up.
    setRandomSource([] { return 0u; });
    game::hang = nullptr;
    game::kick = 0;
    game::hits = 0;
}

void BoardTest::cleanup()
{
    m_delegate.reset();
    setRandomSource({});
}

void BoardTest::launch()
{
    m_delegate = std::make_unique<AppDelegate>();
    m_delegate->applicationDidFinishLaunching();
    m_delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
}

void BoardTest::dealTakesFirstOrLastRemaining_data()
{
    QTest::addColumn<bool>("last");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("always 0") << false << ordered();
    QList<int> reversed;
    for (int copy = 0; copy < 2; ++copy)
        for (int face = 9; face >= 0; --face)
            reversed.append(face);
    QTest::newRow("always n - 1") << true << reversed;
}

void BoardTest::dealTakesFirstOrLastRemaining()
{
    QFETCH(bool, last);
    QFETCH(QList<int>, expected);
    QList<int> slot{42};
    int draws = 0;
    // The source cannot see how many cards are left, so it counts its own draws.
    setRandomSource([&] { return last ? quint32(20 - ++draws) : (++draws, 0u); });
    QCOMPARE(deal(slot), expected);
    QCOMPARE(draws, 20);
    QVERIFY(slot.isEmpty());
}

void BoardTest::dealHoldsEveryFaceTwiceFromTwentyDraws()
{
    setRandomSource({});
    for (int run = 0; run < 200; ++run) {
        QList<int> slot;
        QList<int> rows = deal(slot);
        QCOMPARE(rows.size(), 20);
        QVERIFY(slot.isEmpty());
        std::sort(rows.begin(), rows.end());
        QCOMPARE(rows, [] {
            QList<int> f = ordered();
            std::sort(f.begin(), f.end());
            return f;
        }());
    }
    int draws = 0;
    setRandomSource([&] { return quint32(++draws * 2654435761u); });
    QList<int> slot;
    deal(slot);
    QCOMPARE(draws, 20);
}

void BoardTest::perfectGameScoresTwentyClicks()
{
    launch();
    newGame();
    QVERIFY(gate()->isHidden());
    for (int tag = 0; tag < 20; ++tag)
        QVERIFY(!card(tag)->isFaceUp());
    for (int tag = 0; tag < 10; ++tag) {
        click(tag);
        click(tag + 10);
        QCOMPARE(game::hits, qint64(tag + 1));
        QVERIFY(wall()->isHidden());
    }
    QCOMPARE(game::kick, qint64(20));
    QVERIFY(!gate()->isHidden());
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));
    QCOMPARE(store::high(), QStringLiteral("20"));
    for (int tag = 0; tag < 20; ++tag) {
        QCOMPARE(card(tag)->face(), tag % 10);
        QCOMPARE(shown(card(tag)), resource(tag % 10));
    }
}

void BoardTest::mismatchIsCoveredAfterOneSecond()
{
    launch();
    newGame();
    click(0);
    click(1);
    QCOMPARE(game::kick, qint64(2));
    QVERIFY(card(0)->isFaceUp() && card(1)->isFaceUp());
    QVERIFY(wall()->isVisible());
    QCOMPARE(game::hang.data(), card(0));

    QTRY_VERIFY_WITH_TIMEOUT(!card(1)->isFaceUp(), 3000);
    QVERIFY(!card(0)->isFaceUp());
    QCOMPARE(shown(card(0)), resource(store::kCover));
    QVERIFY(wall()->isHidden());
    QVERIFY(!game::hang);
    QCOMPARE(game::hits, qint64(0));
}

void BoardTest::haltDuringGameAndWithoutOne()
{
    store::setHigh(QStringLiteral("34"));
    launch();
    QCOMPARE(message(), QStringLiteral("High: 34 Clicks"));

    // No game yet: the halt changes nothing.
    halt();
    QCOMPARE(message(), QStringLiteral("High: 34 Clicks"));
    QVERIFY(!gate()->isHidden());

    newGame();
    click(0);
    click(10);
    click(1);
    halt();
    QCOMPARE(message(), QStringLiteral("Halted"));
    QVERIFY(!gate()->isHidden());
    QCOMPARE(store::high(), QStringLiteral("34"));

    // Halting again once halted keeps the message as it is.
    m_delegate->window()->findChild<QLabel*>("mess")->setText(QStringLiteral("kept"));
    halt();
    QCOMPARE(message(), QStringLiteral("kept"));
}

void BoardTest::newGameAfterFinishedGameStartsClean()
{
    launch();
    newGame();
    for (int tag = 0; tag < 10; ++tag) {
        click(tag);
        click(tag + 10);
    }
    QCOMPARE(game::hits, qint64(10));
    newGame();
    QCOMPARE(game::kick, qint64(0));
    QCOMPARE(game::hits, qint64(0));
    QVERIFY(gate()->isHidden());
    for (int tag = 0; tag < 20; ++tag) {
        QVERIFY(!card(tag)->isFaceUp());
        QCOMPARE(shown(card(tag)), resource(store::kCover));
    }
    // The message of the last game stays until the next score.
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));
}

void BoardTest::scoreTable_data()
{
    QTest::addColumn<QVariant>("before"); // invalid: key absent
    QTest::addColumn<qint64>("clicks");   // 0: at launch; otherwise a finished game
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("text");

    QTest::newRow("first launch") << QVariant() << qint64(0) << "0"
                                  << "";
    QTest::newRow("launch with 34") << QVariant("34") << qint64(0) << "34"
                                    << "High: 34 Clicks";
    QTest::newRow("40 over 0") << QVariant("0") << qint64(40) << "40"
                               << "Good: 40 Clicks\nHigh: 40 Clicks";
    QTest::newRow("40 over 34") << QVariant("34") << qint64(40) << "34"
                                << "Good: 40 Clicks\nHigh: 34 Clicks";
    QTest::newRow("34 equals 34") << QVariant("34") << qint64(34) << "34"
                                  << "Good: 34 Clicks\nHigh: 34 Clicks";
    QTest::newRow("30 beats 34") << QVariant("34") << qint64(30) << "30"
                                 << "Good: 30 Clicks\nHigh: 30 Clicks";
    QTest::newRow("text at launch") << QVariant("many") << qint64(0) << "0"
                                    << "";
    QTest::newRow("text then game") << QVariant("many") << qint64(26) << "26"
                                    << "Good: 26 Clicks\nHigh: 26 Clicks";
    QTest::newRow("padded number") << QVariant("  34 clicks") << qint64(0) << "  34 clicks"
                                   << "High: 34 Clicks";
    QTest::newRow("negative at launch") << QVariant("-5") << qint64(0) << "-5"
                                        << "";
    QTest::newRow("negative then game") << QVariant("-5") << qint64(30) << "-5"
                                        << "";
}

void BoardTest::scoreTable()
{
    QFETCH(QVariant, before);
    QFETCH(qint64, clicks);
    QFETCH(QString, after);
    QFETCH(QString, text);

    if (before.isValid())
        store::setHigh(before.toString());
    launch();
    if (clicks > 0) {
        // A finished game: ten pairs found after the given number of clicks.
        game::kick = clicks;
        game::hits = 10;
        m_delegate->ends();
        QVERIFY(!gate()->isHidden());
    }
    QCOMPARE(store::high(), after);
    QCOMPARE(message(), text);
}

void BoardTest::clicksThatMustNotCount()
{
    launch();
    // Before the first game there is no deal: a click does nothing.
    click(3);
    QCOMPARE(game::kick, qint64(0));
    QVERIFY(!card(3)->isFaceUp());

    newGame();
    click(0);
    click(0); // the pending first card again: never a pair with itself
    QCOMPARE(game::kick, qint64(1));
    QCOMPARE(game::hits, qint64(0));
    click(10);
    QCOMPARE(game::hits, qint64(1));
    click(0); // a found pair, one card then the other
    click(10);
    QCOMPARE(game::kick, qint64(2));
    QCOMPARE(game::hits, qint64(1));
    QVERIFY(!game::hang);

    // While a mismatch is on view, nothing turns.
    click(1);
    click(2);
    QVERIFY(wall()->isVisible());
    click(11);
    QCOMPARE(game::kick, qint64(4));
    QVERIFY(!card(11)->isFaceUp());
    QCOMPARE(game::hits, qint64(1));
    QTRY_VERIFY_WITH_TIMEOUT(wall()->isHidden(), 3000);

    // After a halt the old board stays on view and takes no clicks.
    halt();
    click(5);
    QCOMPARE(game::kick, qint64(4));
    QVERIFY(!card(5)->isFaceUp());

    // Nor after a finished game.
    newGame();
    for (int tag = 0; tag < 10; ++tag) {
        click(tag);
        click(tag + 10);
    }
    const QString score = message();
    QCOMPARE(game::kick, qint64(20));
    click(0);
    m_delegate->turn(nullptr); // a stray call with no card is ignored as well
    QCOMPARE(game::kick, qint64(20));
    QCOMPARE(message(), score);
}

void BoardTest::newGameDuringMismatchIsNotTouchedByOldCover()
{
    launch();
    newGame();
    click(0);
    click(1);
    QVERIFY(wall()->isVisible());
    newGame();
    QVERIFY(wall()->isHidden());
    QVERIFY(!game::hang);

    // The first card of the new game is its own, and the old cover never comes for it.
    click(2);
    QCOMPARE(game::hang.data(), card(2));
    QTest::qWait(1300);
    QVERIFY(card(2)->isFaceUp());
    QCOMPARE(game::hang.data(), card(2));
    click(12);
    QCOMPARE(game::hits, qint64(1));
    QCOMPARE(game::kick, qint64(2));
}

void BoardTest::changedSetShowsFromNextCard()
{
    // A second set whose images are plain colours, told apart from the Default set.
    const QString folder = store::folder(QStringLiteral("Plain"));
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < store::kImages; ++i) {
        QImage image(64, 64, QImage::Format_ARGB32);
        image.fill(QColor::fromHsv(i * 30, 200, 200));
        QVERIFY(image.save(store::imageFile(folder, i), "PNG"));
    }
    launch();
    newGame();
    click(0);
    QCOMPARE(shown(card(0)), resource(0));

    store::setUsed(QStringLiteral("Plain"));
    click(1);
    QCOMPARE(shown(card(1)).pixel(10, 10), QColor::fromHsv(30, 200, 200).rgb());
    QTRY_VERIFY_WITH_TIMEOUT(!card(0)->isFaceUp(), 3000);
    QCOMPARE(shown(card(0)).pixel(10, 10), QColor::fromHsv(300, 200, 200).rgb());
}

void BoardTest::keyboardAloneFinishesGame()
{
    launch();
    QMainWindow* window = m_delegate->window();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));

    QTest::keyClick(window, Qt::Key_N, Qt::ControlModifier);
    QVERIFY(gate()->isHidden());

    // Tab reaches the board; the arrows walk it, five cards to a row; Space and Enter turn.
    card(0)->setFocus(Qt::TabFocusReason);
    int at = 0;
    auto walkTo = [&](int tag) {
        while (at % 5 < tag % 5) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            ++at;
        }
        while (at % 5 > tag % 5) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
            --at;
        }
        while (at / 5 < tag / 5) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            at += 5;
        }
        while (at / 5 > tag / 5) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
            at -= 5;
        }
        QCOMPARE(QApplication::focusWidget(), card(tag));
    };
    for (int tag = 0; tag < 10; ++tag) {
        walkTo(tag);
        QTest::keyClick(card(tag), Qt::Key_Space);
        walkTo(tag + 10);
        QTest::keyClick(card(tag + 10), tag % 2 ? Qt::Key_Return : Qt::Key_Space);
    }
    QCOMPARE(game::hits, qint64(10));
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));

    // At the edge of the board the focus stays where it is.
    walkTo(19);
    QTest::keyClick(card(19), Qt::Key_Right);
    QTest::keyClick(card(19), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), card(19));
}

void BoardTest::accessibleTextsFollowTheCards()
{
    launch();
    auto text = [](Card* c, QAccessible::Text kind) {
        return QAccessible::queryAccessibleInterface(c)->text(kind);
    };
    for (int tag = 0; tag < 20; ++tag)
        QCOMPARE(text(card(tag), QAccessible::Name), QStringLiteral("Card %1").arg(tag + 1));
    QCOMPARE(text(card(4), QAccessible::Description), QStringLiteral("Face down"));

    newGame();
    click(4);
    QCOMPARE(text(card(4), QAccessible::Description), QStringLiteral("Face 5"));
    click(7);
    QCOMPARE(text(card(7), QAccessible::Description), QStringLiteral("Face 8"));
    QTRY_COMPARE_WITH_TIMEOUT(text(card(4), QAccessible::Description), QStringLiteral("Face down"),
                              3000);
    QCOMPARE(text(card(7), QAccessible::Description), QStringLiteral("Face down"));

    auto* button = m_delegate->window()->findChild<QPushButton*>("newGame");
    QVERIFY(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty());
}

PAIRWELL_TEST_MAIN(BoardTest)
#include "tst_board.moc"
