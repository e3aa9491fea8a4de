// Cards turning over, with the Default set: the time from a click to the first painted frame
// of its flip, and the time each frame of a flip takes to paint, with one card turning and
// with all twenty turning at once; the first two again with a set of photo-sized pictures.
//
//   bench_flip [games] [--frames DIR]
//
// games defaults to 10. With --frames, the frames of one flip are also written to DIR as
// PNGs, in the light palette and in a dark one, to look at.

#include "AppDelegate.h"
#include "BenchSupport.h"
#include "Card.h"
#include "Game.h"
#include "Launch.h"
#include "Store.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QRandomGenerator>
#include <QTest>
#include <cstdio>

namespace {

/// Times how long the main window takes to bring its picture up to date, frame by frame.
class TimedApp : public QApplication
{
public:
    using QApplication::QApplication;

    QWidget* window = nullptr;
    bool timing = false;
    QList<double> frames;

    bool notify(QObject* receiver, QEvent* event) override
    {
        // The request may reach the window's platform window first, which hands it on to
        // the widget: only the outer one is timed.
        if (!timing || m_inFrame || event->type() != QEvent::UpdateRequest ||
            (receiver != window && receiver != window->windowHandle()))
            return QApplication::notify(receiver, event);
        m_inFrame = true;
        QElapsedTimer clock;
        clock.start();
        const bool done = QApplication::notify(receiver, event);
        frames.append(clock.nsecsElapsed() / 1e6);
        m_inFrame = false;
        return done;
    }

private:
    bool m_inFrame = false;
};

/// Notes the first paint of a card's flip, and how far the card had turned in it. The button
/// repaints itself at once on the press, before any flip: that paint does not count.
class FirstFrame : public QObject
{
public:
    qreal turnover = -1;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* card = static_cast<Card*>(watched);
        if (event->type() == QEvent::Paint && turnover < 0 && card->isFlipping())
            turnover = card->turnover();
        return QObject::eventFilter(watched, event);
    }
};

void settle(int ms)
{
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < ms)
        QCoreApplication::processEvents();
}

bool anyFlipping(const AppDelegate& delegate)
{
    for (const auto& card : delegate.cards()) {
        if (card->isFlipping())
            return true;
    }
    return false;
}

/// Runs the event loop until every flip has ended.
void finishFlips(const AppDelegate& delegate)
{
    QElapsedTimer wait;
    wait.start();
    while (anyFlipping(delegate) && wait.elapsed() < 2000)
        QCoreApplication::processEvents();
}

/// Writes the board at each frame of one flip of card 0 to \a dir, under \a name.
void writeFrames(AppDelegate& delegate, const QString& dir, const QString& name)
{
    delegate.tear();
    settle(100);
    QWidget* board = delegate.cardAt(0)->parentWidget();
    QTest::mouseClick(delegate.cardAt(0), Qt::LeftButton);
    for (int frame = 0; anyFlipping(delegate) && frame < 40; ++frame) {
        board->grab().save(
            QStringLiteral("%1/%2-%3.png").arg(dir, name).arg(frame, 2, 10, QLatin1Char('0')));
        settle(16);
    }
    // A found pair and a pending card, for the marks.
    for (int tag = 1; tag < game::kCards; ++tag) {
        if (game::rows.value(tag) == game::rows.value(0))
            QTest::mouseClick(delegate.cardAt(tag), Qt::LeftButton);
    }
    QTest::mouseClick(delegate.cardAt(game::rows.value(1) == game::rows.value(0) ? 2 : 1),
                      Qt::LeftButton);
    finishFlips(delegate);
    board->grab().save(QStringLiteral("%1/%2-marks.png").arg(dir, name));
}

/// Plays \a games perfect games, handing each card to \a click in the order that finds
/// every pair at once.
template <typename Click> void playPerfect(AppDelegate& delegate, int games, Click click)
{
    for (int g = 0; g < games; ++g) {
        delegate.tear();
        settle(50);
        for (int face = 0; face < game::kPairs; ++face)
            for (int tag = 0; tag < game::kCards; ++tag)
                if (game::rows.value(tag) == face)
                    click(delegate.cardAt(tag));
    }
}

/// Times, over \a games perfect games, the first frame of each click's flip and every frame
/// of the flips, with the set in use.
void measure(TimedApp& app, AppDelegate& delegate, int games, const QString& set)
{
    // Click to first frame: every card of a perfect game, each click waiting for its own
    // flip to end so that no other card is painting.
    QList<double> firstFrame;
    QList<double> turned;
    playPerfect(delegate, games, [&](Card* card) {
        FirstFrame watcher;
        card->installEventFilter(&watcher);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(card, Qt::LeftButton);
        while (watcher.turnover < 0 && clock.elapsed() < 1000)
            QCoreApplication::processEvents();
        firstFrame.append(clock.nsecsElapsed() / 1e6);
        turned.append(watcher.turnover);
        card->removeEventFilter(&watcher);
        finishFlips(delegate);
    });
    benchsupport::report(QStringLiteral("click to first painted frame of the flip, %1").arg(set),
                         firstFrame, QStringLiteral("ms"));
    benchsupport::report(QStringLiteral("  how far the card had turned in that frame (0..1)"),
                         turned, QString());

    // Frames of single flips as played: each click of a perfect game, all frames until the
    // flip ends. The window is the unit repainted, so each figure covers every card redrawn.
    app.frames.clear();
    int flips = 0;
    playPerfect(delegate, games, [&](Card* card) {
        app.timing = true;
        QTest::mouseClick(card, Qt::LeftButton);
        finishFlips(delegate);
        app.timing = false;
        ++flips;
    });
    benchsupport::report(
        QStringLiteral("frame of one flip, twenty cards on the board, %1").arg(set), app.frames,
        QStringLiteral("ms"));
    std::printf("  frames per flip: %.1f\n", double(app.frames.size()) / qMax(1, flips));
}

/// Writes a set of eleven photo-sized pictures (grain, so they compress and decode like
/// photographs) and puts it in use.
void usePhotoSet()
{
    const QString folder = store::folder(QStringLiteral("Photos"));
    QDir().mkpath(folder);
    QImage grain(1024, 683, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < grain.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grain.scanLine(y));
        for (int x = 0; x < grain.width(); ++x)
            line[x] = qRgb(x / 4, y / 3, random->bounded(256));
    }
    for (int i = 0; i < store::kImages; ++i)
        grain.mirrored(i % 2, i % 3 == 0).save(store::imageFile(folder, i), "png");
    store::setBook({store::kDefaultSet, QStringLiteral("Photos")});
    store::setUsed(QStringLiteral("Photos"));
}

} // namespace

int main(int argc, char** argv)
{
    const QString home = benchsupport::isolateHome();
    TimedApp app(argc, argv);
    prepareApplication(app);
    QStringList args = QCoreApplication::arguments().mid(1);
    QString framesDir;
    if (const qsizetype at = args.indexOf(QStringLiteral("--frames")); at >= 0) {
        framesDir = args.value(at + 1);
        args.remove(at, qMin<qsizetype>(2, args.size() - at));
    }
    const int games = qMax(1, args.value(0, QStringLiteral("10")).toInt());
    std::printf("platform %s, HOME %s\n", qPrintable(QGuiApplication::platformName()),
                qPrintable(home));

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.window()->show();
    app.window = delegate.window();
    settle(300);

    measure(app, delegate, games, QStringLiteral("Default set"));

    // The worst case: all twenty cards turning at once, each frame repainting all of them.
    QList<QImage> faces;
    for (const auto& card : delegate.cards())
        faces.append(card->image()); // face up: the last perfect game is on the board
    delegate.tear();
    const QImage cover = delegate.cardAt(0)->image();
    app.frames.clear();
    for (int g = 0; g < games; ++g) {
        for (const bool faceUp : {true, false}) {
            app.timing = true;
            for (int i = 0; i < game::kCards; ++i)
                delegate.cards()[i]->setImage(faceUp ? faces[i] : cover,
                                              faceUp ? game::rows.value(i) : Card::kCovered);
            finishFlips(delegate);
            app.timing = false;
        }
    }
    benchsupport::report(QStringLiteral("frame of twenty cards flipping at once"), app.frames,
                         QStringLiteral("ms"));

    if (!framesDir.isEmpty()) {
        QDir().mkpath(framesDir);
        writeFrames(delegate, framesDir, QStringLiteral("light"));
        QPalette dark;
        for (const auto& [role, colour] :
             {std::pair{QPalette::Window, QColor(0x2b, 0x2d, 0x31)},
              std::pair{QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8)},
              std::pair{QPalette::Base, QColor(0x1e, 0x1f, 0x22)},
              std::pair{QPalette::Text, QColor(0xe8, 0xe8, 0xe8)},
              std::pair{QPalette::Button, QColor(0x3a, 0x3c, 0x40)},
              std::pair{QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8)},
              std::pair{QPalette::Highlight, QColor(0x4a, 0x9e, 0xe8)},
              std::pair{QPalette::HighlightedText, QColor(0x10, 0x10, 0x10)}})
            dark.setColor(role, colour);
        QApplication::setPalette(dark);
        writeFrames(delegate, framesDir, QStringLiteral("dark"));
        std::printf("frames written to %s\n", qPrintable(framesDir));
    }

    usePhotoSet();
    measure(app, delegate, games, QStringLiteral("photo set (1024 px PNGs)"));
    return 0;
}
