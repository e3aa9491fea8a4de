#include "BenchSupport.h"

#include "AppDelegate.h"
#include "Card.h"
#include "Game.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace benchsupport {
namespace {

/// Counts the paint events a card receives once it shows a face. The button repaints itself
/// at once when pressed, still covered: that paint does not count.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && static_cast<Card*>(watched)->isFaceUp())
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

double median(QList<double> samples)
{
    if (samples.isEmpty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const qsizetype mid = samples.size() / 2;
    return samples.size() % 2 ? samples.at(mid) : (samples.at(mid - 1) + samples.at(mid)) / 2;
}

void report(const QString& what, const QList<double>& samples, const QString& unit)
{
    const auto [lo, hi] = std::minmax_element(samples.begin(), samples.end());
    std::printf("%s: %.3f %s (%lld runs, %.3f .. %.3f)\n", qPrintable(what), median(samples),
                qPrintable(unit), static_cast<long long>(samples.size()),
                samples.isEmpty() ? 0.0 : *lo, samples.isEmpty() ? 0.0 : *hi);
    std::fflush(stdout);
}

QString isolateHome()
{
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/pairwell-bench-XXXXXX"));
    qputenv("HOME", QFile::encodeName(home.path()));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        qunsetenv(name);
    return home.path();
}

QList<double> clickToPaint(AppDelegate& delegate, int games)
{
    QList<double> samples;
    for (int g = 0; g < games; ++g) {
        delegate.tear();
        QCoreApplication::processEvents();
        // Click the pairs face by face, so that every click turns a face-down card.
        for (int face = 0; face < game::kPairs; ++face) {
            for (int tag = 0; tag < game::kCards; ++tag) {
                if (game::rows.value(tag) != face)
                    continue;
                Card* card = delegate.cardAt(tag);
                PaintCounter counter;
                card->installEventFilter(&counter);
                QElapsedTimer clock;
                clock.start();
                QTest::mouseClick(card, Qt::LeftButton);
                while (counter.count == 0 && clock.elapsed() < 1000)
                    QCoreApplication::processEvents();
                samples.append(clock.nsecsElapsed() / 1e6);
                card->removeEventFilter(&counter);
            }
        }
    }
    return samples;
}

} // namespace benchsupport
