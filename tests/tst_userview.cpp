#include "ImageWell.h"
#include "PreferencesWindow.h"
#include "TestSupport.h"
#include "UserView.h"

namespace {

/// Noise, which PNG cannot compress: about 3 bytes a pixel on disk. Each seed its own picture.
QImage noise(int side, quint32 seed)
{
    QImage image(side, side, QImage::Format_RGB32);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(image.bits()), side * side);
    return image;
}

/// Every path under HOME with its size, the settings file included, so a test can see that
/// a refused save wrote nothing anywhere.
QStringList everything()
{
    QStringList found;
    QDirIterator it(testsupport::home(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next() + QLatin1Char(' ') + QString::number(it.fileInfo().size());
    return found;
}

/// Drags \a mime onto \a target and drops it, offering a move as a file manager may; true
/// when the well took it, and as a copy, so that no file manager deletes the player's photo.
bool drop(ImageWell& target, const QMimeData& mime)
{
    QDragEnterEvent enter({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QDropEvent dropped({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    dropped.setDropAction(Qt::MoveAction);
    QCoreApplication::sendEvent(&target, &enter);
    QCoreApplication::sendEvent(&target, &dropped);
    return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
}

} // namespace

/// The set editor pane over a store in the temporary home, and the image wells it is made of.
class TestUserView : public QObject
{
    Q_OBJECT

    std::unique_ptr<PreferencesWindow> window;
    UserView* view = nullptr;
    QString mounted; ///< where a test mounted a full tmpfs
    QComboBox* pops() { return view->findChild<QComboBox*>("pops"); }
    QLineEdit* name() { return view->findChild<QLineEdit*>("name"); }
    QString chat() { return view->findChild<QLabel*>("chat")->text(); }
    ImageWell* well(int i) { return view->findChild<ImageWell*>(QString::asprintf("c%02d", i)); }
    void click(const char* button) { view->findChild<QPushButton*>(button)->click(); }
    /// Waits for a save on the worker to end: the pane's controls come back with its outcome.
    void settle() { QTRY_VERIFY_WITH_TIMEOUT(name()->isEnabled(), 30000); }

    /// A fresh preferences window over a store whose "book" holds \a names, or that has no
    /// "book" at all; set s is drawn from seeds s to s + 10.
    void open(const QStringList& names = {})
    {
        for (int s = 0; s < names.size(); ++s)
            for (int i = 0; i < store::kImages; ++i)
                QVERIFY(QDir().mkpath(store::folder(names.at(s))) &&
                        noise(8, s + i).save(store::imageFile(store::folder(names.at(s)), i)));
        if (!names.isEmpty())
            QVERIFY(store::setBook(names));
        window.reset(new PreferencesWindow);
        view = window->userView();
    }
    /// Picks the new-set item, fills its first \a wells wells with noise of \a side pixels from
    /// seeds \a seed on and, given a title (an empty one too), saves the set under it.
    void fill(const QString& title = {}, int wells = store::kImages, int side = 8, int seed = 5)
    {
        QTest::keyClick(pops(), Qt::Key_End);
        for (int i = 0; i < wells; ++i)
            well(i)->setImage(noise(side, i + seed));
        name()->setText(title);
        if (!title.isNull()) {
            click("save");
            settle();
        }
    }

public:
    /// A second copy of the game in the suite's own HOME: says it is ready, then once its
    /// standard input closes fills the wells with noise and saves as \a title.
    int saveAsAnotherCopy(const QString& title, int tint)
    {
        open();
        std::puts("ready");
        std::fflush(stdout);
        std::getchar();
        fill(title, store::kImages, 100, tint * 20);
        std::puts(qPrintable(chat()));
        return 0;
    }

private slots:
    void init() { testsupport::resetStore(); }
    void cleanup()
    {
        window.reset();
        if (!mounted.isEmpty())
            testsupport::unmount(std::exchange(mounted, {}));
    }

    void listsUsesSavesAndDeletes()
    {
        open(); // no "book" at all: Default alone, which cannot be deleted
        QCOMPARE(pops()->count(), 2);
        QCOMPARE(pops()->currentText(), QStringLiteral("Default"));
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("At Least, One set is required."));
        QVERIFY(!store::hasBook());
        open({"Default", "Birds"});
        window->show();
        QImage grey(8, 8, QImage::Format_Grayscale8);
        grey.fill(90);
        grey.setColorSpace(QColorSpace::SRgb); // a profile that PNG drops from a grey image
        fill();
        well(10)->setImage(grey);
        name()->setText("Cats");
        QTest::keyClick(name(), Qt::Key_Return);
        settle();
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QVERIFY(!store::hasUsed()); // Return saves, and does not press Use as well
        for (int i = 0; i < 10; ++i)
            QCOMPARE(QImage(store::imageFile(store::folder("Cats"), i)), noise(8, i + 5));
        // The player picks Birds, which shows its images, and uses it; Use does nothing on the
        // new-set item, which clears the pane.
        QTest::keyClick(pops(), Qt::Key_Up);
        QCOMPARE(well(10)->image(), noise(8, 11));
        click("usesButton");
        QTest::keyClick(pops(), Qt::Key_End);
        click("usesButton");
        QCOMPARE(store::usedName(), QStringLiteral("Birds"));
        QCOMPARE(chat(), QStringLiteral("Will be Valid in the Next Game"));
        QCOMPARE(name()->text(), QString());
        for (int i = 0; i < store::kImages; ++i)
            QVERIFY(!well(i)->hasImage());

        fill("Dogs", 10);
        QCOMPARE(chat(), QStringLiteral("Info missing ..."));
        fill("cats");                                 // letter case alone makes another name
        const QString longest(255, QLatin1Char('W')); // 255 bytes, and wide on screen
        fill(longest);
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QCOMPARE(store::book(), QStringList({"Default", "Birds", "Cats", "cats", longest}));
        // Neither the size it asks for nor the least it accepts may pass a 1024 x 768 screen.
        const QSize wants = window->sizeHint().expandedTo(window->minimumSizeHint());
        QCOMPARE(wants.boundedTo({1024, 768}), wants);
        // Another copy of the game saves Dogs, without its folder here: the pop-up follows
        // when the window shows again, and the set just saved stays on view.
        QVERIFY(store::setBook(store::book() << "Dogs"));
        window->hide();
        window->show();
        QCOMPARE(pops()->itemText(5), QStringLiteral("Dogs"));
        QCOMPARE(pops()->currentText(), longest);

        name()->setText("Cats"); // Delete goes by the selection, not by the name field
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QVERIFY(!QFileInfo::exists(store::folder(longest)));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("Cats"), 10)));
        // Birds' folder is now a link to the player's photos: Delete takes the link, never
        // what it points to.
        const QString photos = testsupport::home() + QStringLiteral("/Photos");
        QVERIFY(QDir().rename(store::folder("Birds"), photos));
        QVERIFY(QFile::link(photos, store::folder("Birds")));
        pops()->setCurrentIndex(1);
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QCOMPARE(QDir(photos).entryList(QDir::Files).size(), store::kImages);
        pops()->setCurrentIndex(3);
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(store::book(), QStringList({"Default", "Cats", "cats"}));
    }

    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("side"); // of the images on a full store; 0: small, roomy store
        const QString invalid = QStringLiteral("Invalid Name");
        const QString error = QStringLiteral("Error. Could not save");
        QTest::newRow("no name") << QStringLiteral("") << QStringLiteral("Info missing ...") << 0;
        QTest::newRow("..") << ".." << invalid << 0;
        QTest::newRow("a/b") << "a/b" << invalid << 0;
        QTest::newRow("new-set title") << "Add New Set" << invalid << 0;
        QTest::newRow("256 bytes") << QString(128, QChar(0xE9)) << invalid << 0;
        QTest::newRow("format character") << QString::fromUtf8("cat\u202Egnp.exe") << invalid << 0;
        QTest::newRow("line separator") << QString::fromUtf8("Ca\u2028ts") << invalid << 0;
        QTest::newRow("leftover folder") << "Cats" << QStringLiteral("Already Exists") << 0;
        QTest::newRow("file at the folder") << "Dogs" << error << 0;
        // About 5 KB each with 24 KB free: some files fit, then the disk is full.
        QTest::newRow("full disk, small images") << "Fish" << error << 40;
        QTest::newRow("full disk, large images") << "Fish" << error << 300;
        // The store is roomy, but the settings cannot be written: nor can Use or Delete.
        QTest::newRow("full settings") << "Fish" << error << -1;
    }
    void refusedSavesWriteNothing()
    {
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(int, side);
        // Beside Default and Birds stand a folder "Cats" that "book" lacks, and a plain file
        // "Dogs" where that set's folder must go.
        const auto ready = [this] {
            open({"Default", "Birds"});
            QVERIFY(QDir().mkpath(store::folder("Cats")));
            QVERIFY(noise(8, 0).save(store::folder("Dogs"), "PNG"));
        };
        // The settings keep one page free: enough for the lock, not for the settings file.
        const QString full = side < 0 ? QFileInfo(store::settingsFile()).path() : store::root();
        if (!side)
            ready();
        else if (!testsupport::mountFull(mounted = full, 256, side < 0 ? 4096 : 24 * 1024, ready))
            QSKIP("cannot mount a tmpfs here (needs root, as in CI)");
        const QStringList before = everything();
        fill(title, store::kImages, qMax(side, 8), 0);
        QCOMPARE(chat(), message);
        if (side < 0) {
            pops()->setCurrentIndex(1);
            click("usesButton");
            QCOMPARE(chat(), QStringLiteral("Error. Could not change the set in use"));
            click("wipeButton");
            QCOMPARE(chat(), QStringLiteral("Error. Could not delete the set"));
        }
        QCOMPARE(everything(), before);
        QCOMPARE(store::book(), QStringList({"Default", "Birds"}));
        QVERIFY(!store::hasUsed());
    }

    void savesWhileTheLoopRuns()
    {
        open({"Default"});
        fill("", store::kImages, 1024);
        name()->setText("Rain");
        click("save");
        auto* bar = view->findChild<QProgressBar*>("saveBar");
        const auto written = [] {
            return QDir(store::folder("Rain")).entryList({"*.png"}, QDir::Files).size();
        };
        // Pending: the controls wait, the bar counts files on disk, "book" lacks the set.
        int ticks = 0;
        bool honest = true;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            ++ticks;
            honest = honest && !name()->isEnabled() && !bar->isHidden() &&
                     bar->value() <= written() && !store::book().contains("Rain");
        });
        tick.start(0);
        QTRY_VERIFY_WITH_TIMEOUT(written() >= 2, 30000);
        tick.stop();
        QVERIFY2(ticks > 1 && honest, "the event loop stood still, or the pane ran ahead");
        settle();
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QCOMPARE(store::book(), QStringList({"Default", "Rain"}));
        QVERIFY(bar->isHidden());
        // Closed in the middle of a save, the pane leaves no half set behind.
        fill("", store::kImages, 1024);
        name()->setText("Snow");
        click("save");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(store::imageFile(store::folder("Snow"), 1)),
                                 30000);
        window.reset();
        QVERIFY(!QFileInfo::exists(store::folder("Snow")));
        QCOMPARE(store::book(), QStringList({"Default", "Rain"}));
    }

    void threeCopiesSaveAtOnce()
    {
        // Cats and Dogs both join "book"; of the two saving Cats, one is told it exists.
        const QStringList titles{"Cats", "Dogs", "Cats"};
        open({"Default"});
        std::array<QProcess, 3> copies;
        for (int k = 0; k < 3; ++k) {
            copies[k].start(QCoreApplication::applicationFilePath(),
                            {"-copy", titles.at(k), QString::number(k)});
            QVERIFY(copies[k].waitForReadyRead(20000)); // it is up
        }
        for (auto& copy : copies)
            copy.closeWriteChannel();
        QStringList heard;
        for (auto& copy : copies) {
            QVERIFY(copy.waitForFinished(20000));
            heard << QString::fromUtf8(copy.readAll()).split('\n').value(1);
        }
        heard.sort();
        QCOMPARE(heard, QStringList({"Already Exists", "Saved", "Saved"}));
        QStringList book = store::book(); // in the order the copies came
        book.sort();
        QCOMPARE(book, QStringList({"Cats", "Default", "Dogs"}));
        for (const QString& title : {"Cats", "Dogs"}) {
            // One copy's images, never a mixture: the cover tells which copy it was.
            const QImage cover(store::imageFile(store::folder(title), 10));
            int k = 0;
            while (k < 3 && cover != noise(100, 10 + k * 20))
                ++k;
            for (int i = 0; i < store::kImages; ++i)
                QCOMPARE(QImage(store::imageFile(store::folder(title), i)), noise(100, i + k * 20));
        }
    }

    void wellTakesDropsAndPaste()
    {
        const QString red = testsupport::home() + QStringLiteral("/red.png");
        QVERIFY(noise(40, 1).save(red));
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(red)});

        ImageWell well;
        QVERIFY(drop(well, file));
        QCOMPARE(well.image(), noise(40, 1));
        // Cut short after its header, the file looks like a PNG until it is decoded.
        QVERIFY(QFile::resize(red, 40));
        QVERIFY(!drop(well, file));
        QCOMPARE(well.image(), noise(40, 1));

        QGuiApplication::clipboard()->setImage(noise(8, 3));
        QTest::keyClick(&well, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(well.image(), noise(8, 3));
    }
};

int main(int argc, char** argv)
{
    // With "-copy TITLE TINT" it is the second copy of the game, in the parent's HOME.
    const bool copy = argc == 4 && !std::strcmp(argv[1], "-copy");
    if (!copy)
        testsupport::isolateHome();
    QApplication app(argc, argv);
    prepareApplication(app);
    TestUserView tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return copy ? tc.saveAsAnotherCopy(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]))
                : QTest::qExec(&tc, argc, argv);
}
#include "tst_userview.moc"
