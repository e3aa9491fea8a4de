// Start-up time of the game against a bare Qt Widgets window, and the time from a card click
// to its face on screen, with the Default set.
//
//   bench_game [runs]          runs defaults to 25
//
// The parent starts itself again as a child for each start-up sample ("--child game" or
// "--child bare") and times the child from QProcess::start() to the line it prints once its
// main window has been painted for the first time.

#include "AppDelegate.h"
#include "BenchSupport.h"
#include "Launch.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

namespace {

/// Prints "shown" and quits at the first paint of the window it watches.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::printf("shown\n");
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

int child(int argc, char** argv, bool bare)
{
    QApplication app(argc, argv);
    FirstPaint watcher;
    if (bare) {
        // What any small Qt Widgets program pays: a main window with a few controls.
        QMainWindow window;
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        layout->addWidget(new QLabel(QStringLiteral("Bare")));
        layout->addWidget(new QPushButton(QStringLiteral("Button")));
        window.setCentralWidget(central);
        window.resize(720, 640);
        central->installEventFilter(&watcher);
        window.show();
        return app.exec();
    }
    prepareApplication(app);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.window()->centralWidget()->installEventFilter(&watcher);
    delegate.window()->show();
    return app.exec();
}

double startOnce(const QString& self, const QString& mode)
{
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(self, {QStringLiteral("--child"), mode});
    while (!process.canReadLine() && process.waitForReadyRead(10000)) {
    }
    const double ms = clock.nsecsElapsed() / 1e6;
    if (!process.readLine().startsWith("shown"))
        qFatal("the %s child never showed its window", qPrintable(mode));
    process.waitForFinished(10000);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 3 && qstrcmp(argv[1], "--child") == 0)
        return child(argc, argv, qstrcmp(argv[2], "bare") == 0);

    const QString home = benchsupport::isolateHome();
    QApplication app(argc, argv);
    prepareApplication(app);
    const int runs = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 25;
    const QString self = QCoreApplication::applicationFilePath();

    std::printf("platform %s, HOME %s\n", qPrintable(QGuiApplication::platformName()),
                qPrintable(home));
    // One launch of each first, so the seeding of the store and cold caches stay out.
    startOnce(self, QStringLiteral("game"));
    startOnce(self, QStringLiteral("bare"));
    QList<double> game, bare;
    for (int i = 0; i < runs; ++i) {
        // Interleaved, so a busy spell on the machine hits both alike.
        game.append(startOnce(self, QStringLiteral("game")));
        bare.append(startOnce(self, QStringLiteral("bare")));
    }
    benchsupport::report(QStringLiteral("start-up, game"), game, QStringLiteral("ms"));
    benchsupport::report(QStringLiteral("start-up, bare window"), bare, QStringLiteral("ms"));
    std::printf("start-up ratio game / bare: %.3f\n",
                benchsupport::median(game) / benchsupport::median(bare));

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.window()->show();
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < 300)
        QCoreApplication::processEvents();
    benchsupport::report(QStringLiteral("card click to painted face, Default set"),
                         benchsupport::clickToPaint(delegate, qMax(2, runs / 5)),
                         QStringLiteral("ms"));
    return 0;
}
