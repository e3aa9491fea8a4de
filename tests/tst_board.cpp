// The board: the seeding of the store, deals, turns, the one-second cover, halting, the score,
// flips and marks, the window's place and keyboard play.

#include "Access.h"
#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Game.h"
#include "TestSupport.h"

class BoardTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppDelegate> m_game;

    Card* card(int tag) const { return m_game->cardAt(tag); }
    void click(int tag) { QTest::mouseClick(card(tag), Qt::LeftButton); }
    QWidget* part(const char* name) const { return m_game->window()->findChild<QWidget*>(name); }
    QString message() const { return static_cast<QLabel*>(part("mess"))->text(); }
    void press(const char* button) { QTest::mouseClick(part(button), Qt::LeftButton); }
    /// Presses the keys named, each on the widget that has the focus; returns where it ends.
    QWidget* keys(const QString& names)
    {
        for (const QString& key : names.split(u' '))
            QTest::keyClick(QApplication::focusWidget(), QKeySequence(key)[0].key());
        return QApplication::focusWidget();
    }

private slots:
    void init()
    {
        testsupport::resetStore();
        // Always 0: the deal is 0..9, 0..9, so tags t and t + 10 make a pair.
        setRandomSource([] { return 0u; });
        game::hang = nullptr;
        game::kick = game::hits = 0;
        if (QByteArrayList{"seeding", "scoreTable"}.contains(QTest::currentTestFunction()))
            return; // these launch over a store of their own
        m_game = std::make_unique<AppDelegate>();
        m_game->applicationDidFinishLaunching();
        m_game->window()->show();
        m_game->window()->activateWindow(); // for the keys
        QVERIFY(QTest::qWaitForWindowActive(m_game->window()));
    }

    void cleanup()
    {
        m_game.reset();
        setRandomSource({});
    }

    void seeding_data()
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

    void seeding()
    {
        QFETCH(QStringList, book);
        QFETCH(QString, used);
        QFETCH(bool, seeded);
        QVERIFY(book.isEmpty() || store::setBook(book));
        QVERIFY(used.isNull() || store::setUsed(used));
        // A file the player already has in the Default folder is never overwritten.
        const QString folder = store::folder(store::kDefaultSet);
        const QString kept = store::imageFile(folder, 3);
        const bool mine = used.isNull() && !book.isEmpty();
        QVERIFY(!mine || (QDir().mkpath(folder) && QImage(store::defaultImage(0)).save(kept)));
        AppDelegate game;
        game.milk();
        QTEST(store::book(), "bookAfter");
        QCOMPARE(store::usedName(), used.isNull() ? store::kDefaultSet : used);
        QVERIFY(seeded || !QFileInfo::exists(store::root()));
        for (int i = 0; seeded && i < store::kImages; ++i) {
            const QString file = store::imageFile(folder, i);
            QCOMPARE(QImage(file), QImage(store::defaultImage(file == kept && mine ? 0 : i)));
            QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner); // the player's to change
        }
    }

    void dealDrawsFromWhatIsLeft()
    {
        // Always the last card left: the source cannot see how many are left, so it counts.
        quint32 draws = 0;
        setRandomSource([&] { return 20 - ++draws; });
        QList<int> slot{42}, rows = deal(slot);
        for (int k = 0; k < 20; ++k)
            QCOMPARE(rows.at(k), 9 - k % 10);
        QVERIFY(draws == 20 && slot.isEmpty());
    }

    void scoreTable_data()
    {
        QTest::addColumn<QString>("before"); // empty: the key is absent
        QTest::addColumn<int>("clicks");     // 0: at launch; otherwise a finished game
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, const char* before, int clicks, const char* after,
                            const char* text) {
            QTest::newRow(name) << before << clicks << after << text;
        };
        row("first launch", "", 0, "0", "");
        row("40 over 34", "34", 40, "34", "Good: 40 Clicks\nHigh: 34 Clicks");
        row("30 beats 34", "34", 30, "30", "Good: 30 Clicks\nHigh: 30 Clicks");
        row("text, launch", "many", 0, "0", "");
        row("text, game", "many", 26, "26", "Good: 26 Clicks\nHigh: 26 Clicks");
        row("padded", "  34 clicks", 0, "  34 clicks", "High: 34 Clicks");
        row("negative", "-5", 30, "-5", "");
    }

    void scoreTable()
    {
        QFETCH(QString, before);
        QFETCH(int, clicks);
        QVERIFY(before.isEmpty() || store::setHigh(before));
        m_game = std::make_unique<AppDelegate>();
        m_game->applicationDidFinishLaunching();
        game::kick = clicks; // and ten pairs: a finished game, unless at launch
        game::hits = 10;
        if (clicks > 0)
            m_game->ends();
        QTEST(store::high(), "after");
        QTEST(message(), "text");
    }

    void clicksThatCount_data()
    {
        QTest::addColumn<QString>("play"); // cards clicked and buttons pressed, and pauses
        QTest::addColumn<int>("kick");
        QTest::addColumn<int>("hits");
        QTest::addColumn<int>("down");  // a card left face down, or -1
        QTest::addColumn<bool>("over"); // the gate is up: no game runs
        QTest::addColumn<QString>("text");
        const QString all = "new 0 10 1 11 2 12 3 13 4 14 5 15 6 16 7 17 8 18 9 19";
        const QString good = "Good: 20 Clicks\nHigh: 20 Clicks";
        QTest::newRow("no game yet") << "halt 3" << 0 << 0 << 3 << true << "";
        QTest::newRow("pending card again") << "new 0 0" << 1 << 0 << -1 << false << "";
        QTest::newRow("found pair again") << "new 0 10 0 10" << 2 << 1 << -1 << false << "";
        QTest::newRow("mismatch on view") << "new 1 2 11" << 2 << 0 << 11 << false << "";
        QTest::newRow("halted") << "new 0 halt 5" << 1 << 0 << 5 << true << "Halted";
        QTest::newRow("finished") << all + " 0" << 20 << 10 << -1 << true << good;
        // The last score stays on view until the next one.
        QTest::newRow("new after a win") << all + " new" << 0 << 0 << 13 << false << good;
        // The cover of the old mismatch never comes for the new game.
        QTest::newRow("new mid-mismatch") << "new 2 3 new 4 wait 14" << 2 << 1 << -1 << false << "";
    }

    void clicksThatCount()
    {
        QFETCH(QString, play);
        QFETCH(int, down);
        for (const QString& step : play.split(u' ')) {
            if (step == "new" || step == "halt")
                press(step == "new" ? "newGame" : "halt");
            else if (step == "wait")
                QTest::qWait(1300);
            else
                click(step.toInt());
        }
        m_game->turn(nullptr); // a turn from no card counts for nothing
        QTEST(int(game::kick), "kick");
        QTEST(int(game::hits), "hits");
        QVERIFY(down < 0 || !card(down)->isFaceUp());
        QVERIFY(down < 0 || card(down)->image() == QImage(store::defaultImage(store::kCover)));
        QTEST(part("gate")->isVisible(), "over");
        QTEST(message(), "text");
    }

    void imagesAndTheOneSecondCover()
    {
        const QString plain = store::folder(QStringLiteral("Plain"));
        QDir().mkpath(plain);
        const auto paint = [&](int hue) {
            for (int i = 0; i < store::kImages; ++i) {
                QImage image(64, 64, QImage::Format_ARGB32);
                image.fill(QColor::fromHsv((hue + 20 * i) % 360, 200, 200));
                QVERIFY(image.save(store::imageFile(plain, i)));
            }
        };
        paint(0);
        press("newGame");
        click(0); // from the Default set
        // Another set chosen mid-game shows from the next card turned or covered.
        store::setUsed(QStringLiteral("Plain"));
        QElapsedTimer clock;
        clock.start();
        click(1);
        QVERIFY(card(0)->isFaceUp() && part("wall")->isVisible());
        QCOMPARE(card(1)->image().pixel(5, 5), QColor::fromHsv(20, 200, 200).rgb());
        // The mismatch stays a full second by the clock. Woken by the cover itself, the loop
        // sees it within a fraction of a millisecond.
        while (card(1)->isFaceUp() && clock.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!card(0)->isFaceUp() && !part("wall")->isVisible() && !game::hang);
        QCOMPARE(card(0)->image().pixel(5, 5), QColor::fromHsv(200, 200, 200).rgb());

        // So does a picture replaced in the set in use.
        QTest::qWait(20); // a later time stamp on the file
        paint(100);
        click(1);
        QCOMPARE(card(1)->image().pixel(5, 5), QColor::fromHsv(120, 200, 200).rgb());

        // A picture cut short or gone shows the built-in one, with one warning for each.
        QVERIFY(QFile::resize(store::imageFile(plain, store::kCover), 16));
        QVERIFY(QFile::remove(store::imageFile(plain, 2)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read .*/10\\.png"));
        press("newGame");
        QCOMPARE(card(5)->image(), QImage(store::defaultImage(store::kCover)));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot read .*/2\\.png"));
        click(2);
        QCOMPARE(card(2)->image(), QImage(store::defaultImage(2)));
    }

    void clicksDuringFlipsAndMarks()
    {
        // Clicks, found pairs, the label and the marks of cards 0, 10, 1 and 2, in one line.
        const auto state = [&] {
            QStringList seen{QStringLiteral("%1 %2").arg(game::kick).arg(game::hits),
                             static_cast<QLabel*>(part("clicks"))->text()};
            for (int tag : {0, 10, 1, 2})
                seen << card(tag)->property("mark").toString();
            return seen.join(u' ');
        };
        m_game->tear();
        // No event loop runs between these clicks, so every one lands while card 0 turns over.
        click(0);
        QVERIFY(card(0)->isFlipping());
        QCOMPARE(state(), "1 0 Clicks: 1 Pending Unmarked Unmarked Unmarked");
        click(0); // already face up: ignored, as without the flip
        click(10);
        QVERIFY(card(0)->isFlipping());
        QCOMPARE(state(), "2 1 Clicks: 2 Found Found Unmarked Unmarked");
        // A mismatch marks neither card, and the cover removes nothing but its own pair.
        click(1);
        click(2);
        QCOMPARE(state(), "4 1 Clicks: 4 Found Found Unmarked Unmarked");
        QTRY_VERIFY(!card(1)->isFaceUp() && !card(2)->isFaceUp());
        QCOMPARE(state(), "4 1 Clicks: 4 Found Found Unmarked Unmarked");
        // New Game covers every card at once, with no flip left running.
        m_game->tear();
        for (const auto& each : m_game->cards())
            QVERIFY(!each->isFaceUp() && !each->isFlipping() && each->mark() == Card::Unmarked);
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
        m_game->window()->setGeometry(place);
        m_game->saveWindowPlace();
        AppDelegate game;
        game.applicationDidFinishLaunching();
        game.restoreWindowPlace();
        const QRect restored = game.window()->geometry();
        QVERIFY(room.contains(restored));
        QCOMPARE(restored.size(), place.size().boundedTo(room.size()));
        if (room.contains(place))
            QCOMPARE(restored.topLeft(), place.topLeft());
    }

    void keyboard()
    {
        QTest::keyClick(m_game->window(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!part("gate")->isVisible());
        card(2)->setFocus(Qt::TabFocusReason);
        QCOMPARE(keys("Space Down Down Enter"), card(12));
        // Said together, as both keys came within one pass of the event loop.
        QTRY_COMPARE(access::announced(static_cast<QLabel*>(part("mess"))),
                     QStringLiteral("Face 3\nFace 3, pair found"));
        // Clear of the edges, so that the walk ends elsewhere if any one arrow is wrong.
        QCOMPARE(keys("Right Up Left Left Down"), card(11));
        QCOMPARE(keys("End Right"), card(14)); // the edge keeps the focus
        QCOMPARE(keys("Home"), card(10));
        // The board is one Tab stop, entered again on the card that had the focus.
        QCOMPARE(keys("Tab"), part("newGame"));
        QCOMPARE(keys("Backtab"), card(10));
    }
};

PAIRWELL_TEST_MAIN(BoardTest)
#include "tst_board.moc"
