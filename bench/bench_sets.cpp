// Making a set from camera-sized photos: how long the wells take them, how long Save takes,
// how long the event loop stands still meanwhile and how much memory each needs at its peak;
// then the card click with that set in use.

#include "AppDelegate.h"
#include "BenchSupport.h"
#include "ImageWell.h"
#include "Launch.h"
#include "Store.h"
#include "UserView.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kRuns = 5;

/// Forgets the peak resident size so far, so the next reading covers one phase alone.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

/// A field of /proc/self/status in MiB (VmRSS now, VmHWM the peak since resetPeak()).
double statusMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

/// Eleven 6000 x 4000 JPEG photographs: fine noise under broad colour, so that neither
/// the decoder nor the PNG encoder gets an easy flat picture.
QStringList makePhotos(const QString& folder)
{
    QImage grain(6000, 4000, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < grain.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grain.scanLine(y));
        for (int x = 0; x < grain.width(); ++x) {
            const int v = 96 + int(random->bounded(64));
            line[x] = qRgb(v + x / 60, v, v + y / 40);
        }
    }
    QStringList paths;
    for (int i = 0; i < store::kImages; ++i) {
        QImage photo = grain;
        QPainter painter(&photo);
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        painter.fillRect(photo.rect(), QColor::fromHsv(i * 32, 120, 255));
        painter.end();
        paths << QStringLiteral("%1/photo%2.jpg").arg(folder).arg(i);
        photo.save(paths.last(), "JPEG", 90);
    }
    return paths;
}

void dropFile(ImageWell* well, const QString& path)
{
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = well->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(well, &enter);
    QDropEvent drop(centre, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(well, &drop);
}

qint64 folderBytes(const QString& folder)
{
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files); it.hasNext();)
        bytes += QFileInfo(it.next()).size();
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const QString home = benchsupport::isolateHome();
    QApplication app(argc, argv);
    prepareApplication(app);

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.window()->show();
    if (!QTest::qWaitForWindowExposed(delegate.window()))
        qFatal("the main window did not show");

    std::printf("making %d photographs of 6000 x 4000 pixels ...\n", store::kImages);
    std::fflush(stdout);
    const QString photos = home + QStringLiteral("/photos");
    QDir().mkpath(photos);
    const QStringList files = makePhotos(photos);

    UserView view;
    view.show();
    auto* pops = view.findChild<QComboBox*>(QStringLiteral("pops"));
    auto* name = view.findChild<QLineEdit*>(QStringLiteral("name"));
    auto* chat = view.findChild<QLabel*>(QStringLiteral("chat"));
    QList<ImageWell*> wells;
    for (int i = 0; i < store::kImages; ++i)
        wells << view.findChild<ImageWell*>(QStringLiteral("c%1").arg(i, 2, 10, QLatin1Char('0')));

    QList<double> entryMs, entryPeak, saveMs, stallMs, savePeak, setMiB;
    QString last;
    for (int run = 0; run < kRuns; ++run) {
        pops->setCurrentIndex(pops->count() - 1);
        emit pops->activated(pops->currentIndex());
        QCoreApplication::processEvents();

        const double before = statusMiB("VmRSS:");
        resetPeak();
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < store::kImages; ++i)
            dropFile(wells.at(i), files.at(i));
        entryMs << clock.nsecsElapsed() / 1e6;
        entryPeak << statusMiB("VmHWM:") - before;

        last = QStringLiteral("Photos %1").arg(run + 1);
        name->setText(last);
        const double held = statusMiB("VmRSS:");
        resetPeak();
        chat->clear();
        // A 1 ms beat from the click until the tick after the outcome shows: its longest gap is the
        // longest the window stood still, the click's own work and the rebuilt list included.
        QEventLoop loop;
        QTimer beat;
        beat.setTimerType(Qt::PreciseTimer);
        qint64 lastBeat = 0, longest = 0;
        QObject::connect(&beat, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = qMax(longest, now - lastBeat);
            lastBeat = now;
            if (!chat->text().isEmpty())
                loop.quit();
        });
        beat.start(1);
        clock.start();
        QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("save")), Qt::LeftButton);
        loop.exec();
        if (chat->text() != QLatin1String("Saved"))
            qFatal("the save failed: %s", qPrintable(chat->text()));
        saveMs << lastBeat / 1e6;
        stallMs << longest / 1e6;
        savePeak << statusMiB("VmHWM:") - held;
        setMiB << folderBytes(store::folder(last)) / (1024.0 * 1024.0);
    }
    benchsupport::report(QStringLiteral("eleven photos into the wells"), entryMs,
                         QStringLiteral("ms"));
    benchsupport::report(QStringLiteral("  peak memory above the resting size"), entryPeak,
                         QStringLiteral("MiB"));
    benchsupport::report(QStringLiteral("Save of the eleven"), saveMs, QStringLiteral("ms"));
    benchsupport::report(QStringLiteral("  longest stall of the event loop (goal: under 50)"),
                         stallMs, QStringLiteral("ms"));
    benchsupport::report(QStringLiteral("  peak memory above the resting size"), savePeak,
                         QStringLiteral("MiB"));
    benchsupport::report(QStringLiteral("size of the saved set"), setMiB, QStringLiteral("MiB"));

    benchsupport::report(QStringLiteral("card click, Default set"),
                         benchsupport::clickToPaint(delegate, 5), QStringLiteral("ms"));
    pops->setCurrentIndex(pops->findText(last));
    emit pops->activated(pops->currentIndex());
    QTest::mouseClick(view.findChild<QPushButton*>(QStringLiteral("usesButton")), Qt::LeftButton);
    if (store::usedName() != last)
        qFatal("the photo set is not in use");
    benchsupport::report(QStringLiteral("card click, photo set in use"),
                         benchsupport::clickToPaint(delegate, 5), QStringLiteral("ms"));
    return 0;
}
