#include "AppDelegate.h"
#include "Game.h"
#include "ImageWell.h"
#include "PreferencesWindow.h"
#include "TestSupport.h"
#include "UserView.h"

namespace {

QImage tinted(int i, QSize size = {8, 8})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(qRgb(i * 15, 120, 255 - i * 15));
    return image;
}

/// Noise, which PNG cannot compress: about 3 bytes a pixel on disk.
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
    static constexpr char kNoTmpfs[] = "cannot mount a tmpfs here (needs root, as in CI)";
    QComboBox* pops() { return view->findChild<QComboBox*>("pops"); }
    QLineEdit* name() { return view->findChild<QLineEdit*>("name"); }
    QString chat() { return view->findChild<QLabel*>("chat")->text(); }
    ImageWell* well(int i) { return view->findChild<ImageWell*>(QString::asprintf("c%02d", i)); }
    void click(const char* button) { view->findChild<QPushButton*>(button)->click(); }

    /// A fresh preferences window over a store whose "book" holds \a names, or that has no
    /// "book" at all; set s is drawn in tints s to s + 10.
    void open(const QStringList& names = {})
    {
        for (int s = 0; s < names.size(); ++s)
            for (int i = 0; i < store::kImages; ++i)
                QVERIFY(QDir().mkpath(store::folder(names.at(s))) &&
                        tinted(s + i).save(store::imageFile(store::folder(names.at(s)), i)));
        if (!names.isEmpty())
            QVERIFY(store::setBook(names));
        window.reset(new PreferencesWindow);
        view = window->userView();
    }
    /// Picks the new-set item, fills its first \a wells wells with \a image(i) and, given a
    /// title (an empty one too), saves the set under it.
    void fill(const QString& title = {}, int wells = store::kImages,
              const std::function<QImage(int)>& image = {})
    {
        QTest::keyClick(pops(), Qt::Key_End);
        for (int i = 0; i < wells; ++i)
            well(i)->setImage(image ? image(i) : tinted(i + 5));
        name()->setText(title);
        if (!title.isNull())
            click("save");
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
        fill(title, store::kImages, [tint](int i) { return noise(100, i + tint * 20); });
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
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QVERIFY(!store::hasUsed()); // Return saves, and does not press Use as well
        for (int i = 0; i < 10; ++i)
            QCOMPARE(QImage(store::imageFile(store::folder("Cats"), i)), tinted(i + 5));
        // The player picks Birds, which shows its images; Use goes by the selection, not by
        // the name field, and does nothing on the new-set item.
        QTest::keyClick(pops(), Qt::Key_Up);
        QCOMPARE(well(10)->image(), tinted(11));
        name()->setText("Default");
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
        QCOMPARE(pops()->itemData(4, Qt::ToolTipRole).toString(), longest);
        QCOMPARE(pops()->toolTip(), longest);
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
        QTest::addColumn<int>("side"); // of the images; 0 for the tinted ones on a roomy disk
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
        QTest::newRow("full disk, small images") << "Birds" << error << 40;
        QTest::newRow("full disk, large images") << "Birds" << error << 300;
    }
    void refusedSavesWriteNothing()
    {
        QFETCH(QString, title);
        QFETCH(QString, message);
        QFETCH(int, side);
        // Beside Default stand a folder "Cats" that "book" lacks, and a plain file "Dogs"
        // where that set's folder must go; on a full disk when the images are noise.
        const auto ready = [this] {
            open({"Default"});
            QVERIFY(QDir().mkpath(store::folder("Cats")));
            QVERIFY(tinted(0).save(store::folder("Dogs"), "PNG"));
        };
        if (!side)
            ready();
        else if (!testsupport::mountFull(mounted = store::root(), 256, 24 * 1024, ready))
            QSKIP(kNoTmpfs);
        const QStringList before = everything();
        fill(title, store::kImages, [side](int i) { return side ? noise(side, i) : tinted(i); });
        QCOMPARE(chat(), message);
        QCOMPARE(everything(), before);
        QCOMPARE(store::book(), QStringList{"Default"});
    }

    void unwritableSettingsAreReported()
    {
        // One page free: enough for the lock, not for the settings file.
        mounted = QFileInfo(store::settingsFile()).path();
        if (!testsupport::mountFull(mounted, 256, 4096, [this] {
                open({"Default", "Birds"});
                QVERIFY(store::setUsed("Default") && store::setHigh("34"));
            }))
            QSKIP(kNoTmpfs);
        const QStringList before = everything();
        fill("Cats");
        QCOMPARE(chat(), QStringLiteral("Error. Could not save"));
        pops()->setCurrentIndex(1);
        click("usesButton");
        QCOMPARE(chat(), QStringLiteral("Error. Could not change the set in use"));
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. Could not delete the set"));
        // The best score says nothing on the board, but the log does.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("best score could not be stored"));
        game::kick = 30;
        AppDelegate().past();
        game::kick = 0;
        QCOMPARE(everything(), before);
        QCOMPARE(store::book(), QStringList({"Default", "Birds"}));
        QCOMPARE(store::usedName() + store::high(), QStringLiteral("Default34"));
    }

    void twoCopiesSaveAtOnce_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("said"); // sorted
        QTest::newRow("two names") << QStringList{"Cats", "Dogs"} << QStringList{"Saved", "Saved"};
        QTest::newRow("one name") << QStringList{"Cats", "Cats"}
                                  << QStringList{"Already Exists", "Saved"};
    }
    void twoCopiesSaveAtOnce()
    {
        QFETCH(QStringList, titles);
        QFETCH(QStringList, said);
        open({"Default"});
        std::array<QProcess, 2> copies;
        for (int k = 0; k < 2; ++k) {
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
        QCOMPARE(heard, said);
        QCOMPARE(store::book().size(), 1 + said.count("Saved"));
        for (const QString& title : titles) {
            QVERIFY(store::book().contains(title));
            // One copy's images, never a mixture of both.
            const QImage cover(store::imageFile(store::folder(title), 10));
            for (int i = 0; i < store::kImages; ++i)
                QCOMPARE(QImage(store::imageFile(store::folder(title), i)),
                         noise(100, cover == noise(100, 10) ? i : i + 20));
        }
    }

    void wellTakesDropsAndPaste()
    {
        const QString red = testsupport::home() + QStringLiteral("/red.png");
        QVERIFY(tinted(1, {40, 30}).save(red));
        QMimeData file, photo;
        file.setUrls({QUrl::fromLocalFile(red)});
        photo.setImageData(tinted(2, {6000, 4000}));

        ImageWell well;
        QVERIFY(drop(well, file));
        QCOMPARE(well.image(), tinted(1, {40, 30}));
        // Cut short after its header, the file looks like a PNG until it is decoded.
        QVERIFY(QFile::resize(red, 40));
        QVERIFY(!drop(well, file));
        QCOMPARE(well.image(), tinted(1, {40, 30}));
        QVERIFY(drop(well, photo));
        QCOMPARE(well.image().width(), 1024);
        QVERIFY(qAbs(well.image().height() - 4000.0 * 1024 / 6000) <= 1); // in the same ratio

        QGuiApplication::clipboard()->setImage(tinted(3));
        QTest::keyClick(&well, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(well.image(), tinted(3));
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
