// Saving a set while the window goes on answering, and closing the pane in the middle of it.

#include "ImageWell.h"
#include "TestSupport.h"
#include "UserView.h"

class TestSaveWork : public QObject
{
    Q_OBJECT

    std::unique_ptr<UserView> view;
    const QString folder = store::folder("Rain");
    QString chat() { return view->findChild<QLabel*>("chat")->text(); }
    int pngs() { return QDir(folder).entryList({"*.png"}, QDir::Files).size(); }
    /// Noise, which PNG cannot squeeze, so that eleven of them take a while to save.
    static QImage noise(quint32 seed)
    {
        QImage image(1024, 1024, QImage::Format_RGB32);
        QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(image.bits()), 1024 * 1024);
        return image;
    }

private slots:
    void initTestCase() { UserView::setSavesInBackground(true); }
    void init()
    {
        testsupport::resetStore();
        QVERIFY(store::setBook({"Default"}));
        view = std::make_unique<UserView>();
        auto* pops = view->findChild<QComboBox*>("pops");
        pops->setCurrentIndex(pops->count() - 1);
        view->load();
        for (int i = 0; i < store::kImages; ++i)
            view->findChild<ImageWell*>(QString::asprintf("c%02d", i))->setImage(noise(i));
        view->findChild<QLineEdit*>("name")->setText("Rain");
        view->findChild<QPushButton*>("save")->click();
    }

    void savesWhileTheLoopRuns()
    {
        auto* bar = view->findChild<QProgressBar*>("saveBar");
        auto* name = view->findChild<QLineEdit*>("name");
        int ticks = 0;
        bool honest = true;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            if (chat() == "Saved")
                return;
            // Pending: the controls wait, the bar counts files on disk, "book" lacks the set.
            ++ticks;
            honest = honest && !name->isEnabled() && !bar->isHidden() && bar->value() <= pngs() &&
                     !store::book().contains("Rain");
        });
        tick.start(0);
        QTRY_COMPARE_WITH_TIMEOUT(chat(), QStringLiteral("Saved"), 30000);
        QVERIFY2(ticks > 1, "the event loop stood still during the save");
        QVERIFY(honest);
        for (int i = 0; i < store::kImages; ++i)
            QCOMPARE(QImage(store::imageFile(folder, i)), noise(i));
        QCOMPARE(store::book(), QStringList({"Default", "Rain"}));
        QVERIFY(name->isEnabled() && bar->isHidden());
    }

    void closingMidSaveLeavesNothing()
    {
        QTRY_VERIFY_WITH_TIMEOUT(pngs() >= 2, 30000);
        view.reset();
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(store::book(), QStringList{"Default"});
    }
};

PAIRWELL_TEST_MAIN(TestSaveWork)
#include "tst_savework.moc"
