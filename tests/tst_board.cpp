// The board: the seeding of the store, deals, turns, the one-second cover, halting, the score
// and keyboard play.

#include "Access.h"
#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "TestSupport.h"

class BoardTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void seeding_data();
    void seeding();
    void dealTakesFirstOrLast();
    void newGameDuringAMismatch();
    void scoreTable_data();
    void scoreTable();
    void haltAndClicksThatMustNotCount();
    void imagesComeFromTheSetInUse();
    void keyboardAndScreenReader();
    void unreadableImagesShowTheDefault_data();
    void unreadableImagesShowTheDefault();

private:
    Card* card(int tag) const { return m_game->cardAt(tag); }
    void click(int tag) { QTest::mouseClick(card(tag), Qt::LeftButton); }
    template <typename T> T* find(const char* name) const
    {
        return m_game->window()->findChild<T*>(QLatin1String(name));
    }
    QString message() const { return find<QLabel>("mess")->text(); }
    bool gateShown() const { return find<QWidget>("gate")->isVisible(); }
    bool wallShown() const { return find<QWidget>("wall")->isVisible(); }
    void press(const char* button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void playPerfectly()
    {
        for (int tag = 0; tag < 10; ++tag) {
            click(tag);
            click(tag + 10);
        }
    }

    std::unique_ptr<AppDelegate> m_game;
};

void BoardTest::init()
{
    testsupport::resetStore();
    // Always 0: the deal is 0..9, 0..9, so tags t and t + 10 make a pair.
    setRandomSource([] { return 0u; });
    game::hang = nullptr;
    game::kick = game::hits = 0;
    const QByteArray test = QTest::currentTestFunction();
    if (test == "seeding" || test == "scoreTable")
        return; // these launch over a store of their own
    m_game = std::make_unique<AppDelegate>();
    m_game->applicationDidFinishLaunching();
    m_game->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_game->window()));
}

void BoardTest::cleanup()
{
    m_game.reset();
    setRandomSource({});
}

void BoardTest::seeding_data()
{
    QTest::addColumn<QStringList>("book"); // empty: absent
    QTest::addColumn<QString>("used");     // null: absent
    QTest::addColumn<QStringList>("bookAfter");
    QTest::addColumn<bool>("seeded");
    const QStringList two{QStringLiteral("Cats"), store::kDefaultSet}, one{store::kDefaultSet};
    QTest::newRow("empty defaults") << QStringList() << QString() << one << true;
    QTest::newRow("book, no used") << two << QString() << two << true;
    QTest::newRow("used, folder gone") << two << QStringLiteral("Gone") << two << false;
    QTest::newRow("no book, used") << QStringList() << QStringLiteral("Cats") << one << false;
}

void BoardTest::seeding()
{
    QFETCH(QStringList, book);
    QFETCH(QString, used);
    QVERIFY(book.isEmpty() || store::setBook(book));
    QVERIFY(used.isNull() || store::setUsed(used));
    // A file the player already has in the Default folder is never overwritten.
    const QString folder = store::folder(store::kDefaultSet);
    const QString kept = store::imageFile(folder, 3);
    QFile mine(kept);
    if (used.isNull() && !book.isEmpty())
        QVERIFY(QDir().mkpath(folder) && mine.open(QIODevice::WriteOnly) && mine.write("mine"));
    mine.close();

    const auto bytes = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    AppDelegate game;
    game.milk();
    QTEST(store::book(), "bookAfter");
    QCOMPARE(store::usedName(), used.isNull() ? store::kDefaultSet : used);
    QCOMPARE(game.used(),
             testsupport::home() + "/.local/share/Tallowen/Pairwell/" + store::usedName());
    QFETCH(bool, seeded);
    QVERIFY(seeded || !QFileInfo::exists(store::root()));
    for (int i = 0; seeded && i < store::kImages; ++i) {
        const QString file = store::imageFile(folder, i);
        QCOMPARE(bytes(file), file == kept && !book.isEmpty() ? QByteArray("mine")
                                                              : bytes(store::defaultImage(i)));
        QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner); // the player's to change
    }
}

void BoardTest::dealTakesFirstOrLast()
{
    for (const bool last : {false, true}) {
        // The source cannot see how many cards are left, so it counts its own draws.
        quint32 draws = 0;
        setRandomSource([&] { return ++draws, last ? 20 - draws : 0; });
        QList<int> slot{42}, rows = deal(slot);
        for (int k = 0; k < 20; ++k)
            QCOMPARE(rows.at(k), last ? 9 - k % 10 : k % 10);
        QVERIFY(draws == 20 && slot.isEmpty());
    }
}

void BoardTest::newGameDuringAMismatch()
{
    // A new game during a mismatch starts clean, and the old cover never comes for it.
    press("newGame");
    click(2);
    click(3);
    press("newGame");
    QVERIFY(!wallShown() && !game::hang);
    click(4);
    QTest::qWait(1300);
    QVERIFY(card(4)->isFaceUp());
    click(14);
    QCOMPARE(game::hits, 1);
}

void BoardTest::scoreTable_data()
{
    QTest::addColumn<QString>("before"); // null: the key is absent
    QTest::addColumn<int>("clicks");     // 0: at launch; otherwise a finished game
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* before, int clicks, const char* after,
                        const char* text) {
        QTest::newRow(name) << QString::fromUtf8(before) << clicks << after << text;
    };
    row("first launch", nullptr, 0, "0", "");
    row("launch, 34", "34", 0, "34", "High: 34 Clicks");
    row("40 over 0", "0", 40, "40", "Good: 40 Clicks\nHigh: 40 Clicks");
    row("40 over 34", "34", 40, "34", "Good: 40 Clicks\nHigh: 34 Clicks");
    row("34 on 34", "34", 34, "34", "Good: 34 Clicks\nHigh: 34 Clicks");
    row("30 beats 34", "34", 30, "30", "Good: 30 Clicks\nHigh: 30 Clicks");
    row("text, launch", "many", 0, "0", "");
    row("text, game", "many", 26, "26", "Good: 26 Clicks\nHigh: 26 Clicks");
    row("padded", "  34 clicks", 0, "  34 clicks", "High: 34 Clicks");
    row("negative, launch", "-5", 0, "-5", "");
    row("negative, game", "-5", 30, "-5", "");
}

void BoardTest::scoreTable()
{
    QFETCH(QString, before);
    QFETCH(int, clicks);
    QVERIFY(before.isNull() || store::setHigh(before));
    m_game = std::make_unique<AppDelegate>();
    m_game->applicationDidFinishLaunching();
    if (clicks > 0) { // a finished game: ten pairs after that many clicks
        game::kick = clicks;
        game::hits = 10;
        m_game->ends();
    }
    QTEST(store::high(), "after");
    QTEST(message(), "text");
}

void BoardTest::haltAndClicksThatMustNotCount()
{
    QVERIFY(store::setHigh(QStringLiteral("34")));
    m_game->past();
    press("halt"); // no game yet: nothing changes
    click(3);      // and there is no deal to turn a card from
    QVERIFY(!card(3)->isFaceUp());
    QCOMPARE(message(), QStringLiteral("High: 34 Clicks"));
    QCOMPARE(game::kick, 0);

    press("newGame");
    click(0);
    click(0); // the pending card again is no pair with itself
    click(10);
    click(0); // nor is a found pair found again
    click(10);
    QCOMPARE(game::kick, 2);
    QCOMPARE(game::hits, 1);

    click(1);
    QElapsedTimer clock;
    clock.start();
    click(2);
    click(11); // a mismatch is on view
    QVERIFY(card(1)->isFaceUp() && card(2)->isFaceUp() && !card(11)->isFaceUp() && wallShown());
    QCOMPARE(game::kick, 4);
    // It stays a full second by the clock. Woken by the cover itself, the loop sees it within
    // a fraction of a millisecond.
    while (card(2)->isFaceUp() && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!card(1)->isFaceUp() && !wallShown() && !game::hang);

    press("halt");
    QCOMPARE(message(), QStringLiteral("Halted"));
    QVERIFY(gateShown());
    QCOMPARE(store::high(), QStringLiteral("34"));
    click(5); // a halted game takes no clicks
    QVERIFY(!card(5)->isFaceUp());
    press("newGame");
    playPerfectly();
    click(0); // nor does a finished one
    m_game->turn(nullptr);
    QVERIFY(game::kick == 20 && game::hits == 10 && gateShown());
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));
    QCOMPARE(card(13)->image(), QImage(store::defaultImage(3)));

    press("newGame");
    QVERIFY(game::kick == 0 && game::hits == 0 && !gateShown() && !card(13)->isFaceUp());
    QCOMPARE(card(13)->image(), QImage(store::defaultImage(store::kCover)));
    // The last score stays on view until the next one.
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));
}

void BoardTest::imagesComeFromTheSetInUse()
{
    auto paint = [](const QString& set, int hue) {
        QDir().mkpath(store::folder(set));
        for (int i = 0; i < store::kImages; ++i) {
            QImage image(64, 64, QImage::Format_ARGB32);
            image.fill(QColor::fromHsv((hue + 20 * i) % 360, 200, 200));
            QVERIFY(image.save(store::imageFile(store::folder(set), i), "PNG"));
        }
    };
    paint(QStringLiteral("Plain"), 0);
    press("newGame");
    click(0); // from the Default set

    // Another set chosen mid-game shows from the next card turned or covered.
    store::setUsed(QStringLiteral("Plain"));
    click(1);
    QCOMPARE(card(1)->image().pixel(5, 5), QColor::fromHsv(20, 200, 200).rgb());
    QTRY_VERIFY_WITH_TIMEOUT(!card(0)->isFaceUp(), 3000);
    QCOMPARE(card(0)->image().pixel(5, 5), QColor::fromHsv(200, 200, 200).rgb());

    // So does a picture replaced in the set in use.
    QTest::qWait(20); // a later time stamp on the file
    paint(QStringLiteral("Plain"), 100);
    click(1);
    QCOMPARE(card(1)->image().pixel(5, 5), QColor::fromHsv(120, 200, 200).rgb());
}

void BoardTest::keyboardAndScreenReader()
{
    auto text = [this](int tag, QAccessible::Text kind) {
        return QAccessible::queryAccessibleInterface(card(tag))->text(kind);
    };
    for (int tag = 0; tag < 20; ++tag)
        QCOMPARE(text(tag, QAccessible::Name), QStringLiteral("Card %1, row %2, column %3")
                                                   .arg(tag + 1)
                                                   .arg(tag / 5 + 1)
                                                   .arg(tag % 5 + 1));

    m_game->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_game->window()));
    QTest::keyClick(m_game->window(), Qt::Key_N, Qt::ControlModifier);
    QVERIFY(!gateShown());
    // The arrows walk the board, five cards to a row; Space and Enter turn the card.
    card(0)->setFocus(Qt::TabFocusReason);
    int at = 0;
    auto walkTo = [&](int tag) {
        while (at != tag) {
            const int step = at % 5 != tag % 5 ? (at % 5 < tag % 5 ? 1 : -1) : (at < tag ? 5 : -5);
            const Qt::Key keys[] = {Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_Down};
            QTest::keyClick(card(at), keys[step == -5 ? 0 : step == -1 ? 1 : step == 1 ? 2 : 3]);
            at += step;
        }
        QCOMPARE(QApplication::focusWidget(), card(tag));
    };
    for (int tag = 0; tag < 10; ++tag) {
        walkTo(tag);
        QTest::keyClick(card(tag), Qt::Key_Space);
        QCOMPARE(text(tag, QAccessible::Description), QStringLiteral("Face %1").arg(tag + 1));
        walkTo(tag + 10);
        QTest::keyClick(card(tag + 10), Qt::Key_Enter);
        QCOMPARE(text(tag, QAccessible::Description),
                 QStringLiteral("Face %1, found").arg(tag + 1));
        // Said together, as both keys came within one pass of the event loop.
        QTRY_COMPARE(
            access::announced(find<QLabel>("mess")),
            QStringLiteral("Face %1\nFace %1, pair found").arg(tag + 1) +
                (tag == 9 ? QStringLiteral("\nGood: 20 Clicks\nHigh: 20 Clicks") : QString()));
    }
    QCOMPARE(message(), QStringLiteral("Good: 20 Clicks\nHigh: 20 Clicks"));
    QTest::keyClick(card(19), Qt::Key_Right); // the edge of the board keeps the focus
    QCOMPARE(QApplication::focusWidget(), card(19));
    // The board is one Tab stop, entered again on the card that had the focus.
    QTest::keyClick(card(19), Qt::Key_Home);
    QTest::keyClick(card(15), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), find<QPushButton>("newGame"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), card(15));
    QTest::keyClick(card(15), Qt::Key_End);
    QCOMPARE(QApplication::focusWidget(), card(19));
    QTest::keyClick(card(19), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(text(19, QAccessible::Description), QStringLiteral("Face down"));
}

void BoardTest::unreadableImagesShowTheDefault_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("set folder deleted") << "folder";
    QTest::newRow("cover missing") << "missing";
    QTest::newRow("cover not a PNG") << "garbage";
}

void BoardTest::unreadableImagesShowTheDefault()
{
    QFETCH(QString, damage);
    const QString folder = store::folder(QStringLiteral("Default"));
    const QString cover = store::imageFile(folder, store::kCover);
    QVERIFY(damage == "folder" ? QDir(folder).removeRecursively() : QFile::remove(cover));
    QFile garbage(cover);
    if (damage == "garbage")
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("not an image") > 0);
    garbage.close();
    // One warning for the one cover that the deal loads, one for a lost face.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read .*/10\\.png"));
    press("newGame");
    QCOMPARE(card(5)->image(), QImage(store::defaultImage(store::kCover)));
    if (damage == "folder")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read .*/0\\.png"));
    click(0);
    QCOMPARE(card(0)->image(), QImage(store::defaultImage(0)));
}

PAIRWELL_TEST_MAIN(BoardTest)
#include "tst_board.moc"
