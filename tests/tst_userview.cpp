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
    QRandomGenerator random(seed);
    for (int y = 0; y < side; ++y)
        random.fillRange(reinterpret_cast<quint32*>(image.scanLine(y)), side);
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

    std::unique_ptr<QWidget> window; ///< the pane, alone or in the preferences window
    UserView* view = nullptr;
    QString mounted;
    QComboBox* pops() { return view->findChild<QComboBox*>("pops"); }
    QLineEdit* name() { return view->findChild<QLineEdit*>("name"); }
    QString chat() { return view->findChild<QLabel*>("chat")->text(); }
    ImageWell* well(int i) { return view->findChild<ImageWell*>(QString::asprintf("c%02d", i)); }
    void click(const char* button) { view->findChild<QPushButton*>(button)->click(); }

    /// A fresh pane (in the preferences window when \a inWindow) over a store whose "book"
    /// holds \a names; set s is drawn in tints s to s + 10.
    void open(const QStringList& names, bool inWindow = false)
    {
        window.reset();
        for (int s = 0; s < names.size(); ++s)
            for (int i = 0; i < store::kImages; ++i)
                QVERIFY(QDir().mkpath(store::folder(names.at(s))) &&
                        tinted(s + i).save(store::imageFile(store::folder(names.at(s)), i)));
        QVERIFY(store::setBook(names));
        auto* preferences = inWindow ? new PreferencesWindow : nullptr;
        window.reset(preferences ? static_cast<QWidget*>(preferences) : new UserView);
        view = preferences ? preferences->userView() : static_cast<UserView*>(window.get());
    }
    /// Picks the new-set item and fills its first \a wells wells with \a image(i).
    void fill(int wells = store::kImages, const std::function<QImage(int)>& image = {})
    {
        QTest::keyClick(pops(), Qt::Key_End);
        for (int i = 0; i < wells; ++i)
            well(i)->setImage(image ? image(i) : tinted(i + 5));
    }
    /// Fills the wells and saves the set as \a title.
    void saveNew(const QString& title, int wells = store::kImages)
    {
        fill(wells);
        name()->setText(title);
        click("save");
    }
    /// Mounts a full tmpfs on \a dir, or skips; \a ready runs on the empty file system.
    void full(const QString& dir, qint64 left, const std::function<void()>& ready)
    {
        mounted = dir;
        if (!testsupport::mountFull(dir, 256, left, ready))
            QSKIP("cannot mount a tmpfs here (needs root, as in CI) to fill a disk");
    }

private slots:
    void init() { testsupport::resetStore(); }
    void cleanup()
    {
        window.reset();
        if (!mounted.isEmpty())
            testsupport::unmount(mounted);
        mounted.clear();
    }

    void listsUsesSavesAndDeletes()
    {
        window.reset(view = new UserView); // no "book" at all
        QCOMPARE(pops()->count(), 2);
        QCOMPARE(pops()->itemText(0), QStringLiteral("Default"));
        open({"Default", "Birds"});
        QCOMPARE(pops()->count(), 3);
        QCOMPARE(pops()->itemText(2), QStringLiteral("Add New Set"));
        // The player picks the second item, which shows Birds' images; Use then proves its
        // title.
        QTest::keyClick(pops(), Qt::Key_Down);
        QCOMPARE(well(10)->image(), tinted(11));
        name()->setText("Default"); // Use goes by the selection, not by the name field
        click("usesButton");
        QTest::keyClick(pops(), Qt::Key_End); // and then the new-set item
        click("usesButton");
        QCOMPARE(store::usedName(), QStringLiteral("Birds"));
        QCOMPARE(chat(), QStringLiteral("Will be Valid in the Next Game"));
        QCOMPARE(name()->text(), QString());
        for (int i = 0; i < store::kImages; ++i)
            QVERIFY(!well(i)->hasImage());

        saveNew("Cats", 10);
        QCOMPARE(chat(), QStringLiteral("Info missing ..."));
        saveNew("Cats");
        QCOMPARE(chat(), QStringLiteral("Saved"));
        for (int i = 0; i < store::kImages; ++i)
            QCOMPARE(QImage(store::imageFile(store::folder("Cats"), i)), tinted(i + 5));
        fill();
        QImage grey(8, 8, QImage::Format_Grayscale8);
        grey.fill(90);
        grey.setColorSpace(QColorSpace::SRgb); // a profile that PNG drops from a grey image
        well(10)->setImage(grey);
        name()->setText("cats"); // letter case alone makes another name
        click("save");
        const QString longest = QString(127, QChar(0xE9)) + 'x'; // 255 bytes in UTF-8
        saveNew(longest);
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QCOMPARE(store::book(), QStringList({"Default", "Birds", "Cats", "cats", longest}));

        // The last set, still selected after its save: proof that the rebuilt pop-up selects
        // the set just saved.
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QVERIFY(!QFileInfo::exists(store::folder(longest)));
        // Birds, between Default and Cats, has lost its folder, and the name field names Cats:
        // Delete goes by the selection, not by the name field.
        QVERIFY(QDir(store::folder("Birds")).removeRecursively());
        pops()->setCurrentIndex(1);
        name()->setText("Cats");
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(store::book(), QStringList({"Default", "Cats", "cats"}));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("Cats"), 10)));
        // Another copy of the game deletes cats: the pop-up follows when the window shows.
        QVERIFY(store::setBook({"Default", "Cats"}));
        view->refresh();
        QCOMPARE(pops()->count(), 3);
        click("wipeButton"); // Cats, now in the place of Birds
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("At Least, One set is required."));
    }

    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("side"); // of the images; 0 for the tinted ones on a roomy disk
        const QString invalid = QStringLiteral("Invalid Name");
        const QString error = QStringLiteral("Error. Could not save");
        QTest::newRow("no name") << QString() << QStringLiteral("Info missing ...") << 0;
        QTest::newRow("..") << ".." << invalid << 0;
        QTest::newRow("a/b") << "a/b" << invalid << 0;
        QTest::newRow("new-set title") << "Add New Set" << invalid << 0;
        QTest::newRow("256 bytes") << QString(128, QChar(0xE9)) << invalid << 0;
        QTest::newRow("right-to-left override")
            << QString::fromUtf8("cat\u202Egnp.exe") << invalid << 0;
        QTest::newRow("zero-width space") << QString::fromUtf8("Ca\u200Bts") << invalid << 0;
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
        if (side)
            full(store::root(), 24 * 1024, ready);
        else
            ready();
        const QStringList before = everything();
        fill(store::kImages, [side](int i) { return side ? noise(side, i) : tinted(i); });
        name()->setText(title);
        click("save");
        QCOMPARE(chat(), message);
        QCOMPARE(everything(), before);
        QCOMPARE(store::book(), QStringList{"Default"});
    }

    void unwritableSettingsAreReported()
    {
        // One page free: enough for the lock, not for the settings file.
        full(QFileInfo(store::settingsFile()).path(), 4096, [this] {
            open({"Default", "Birds"});
            QVERIFY(store::setUsed("Default") && store::setHigh("34"));
        });
        const QStringList before = everything();
        saveNew("Cats");
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
        QTest::newRow("two names") << QStringList{"Cats", "Dogs"};
        QTest::newRow("one name") << QStringList{"Cats", "Cats"};
    }
    void twoCopiesSaveAtOnce()
    {
        QFETCH(QStringList, titles);
        open({"Default"});
        window.reset();
        const QString go = testsupport::home() + QStringLiteral("/go");
        QFile::remove(go);
        std::array<QProcess, 2> copies;
        for (int k = 0; k < 2; ++k) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("PAIRWELL_SAVE", titles.at(k));
            env.insert("PAIRWELL_GO", go);
            env.insert("PAIRWELL_TINT", QString::number(k));
            copies[k].setProcessEnvironment(env);
            copies[k].start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(copies[k].waitForReadyRead(20000)); // its wells are full
        }
        QFile(go).open(QIODevice::WriteOnly);
        QStringList said;
        for (auto& copy : copies) {
            QVERIFY(copy.waitForFinished(20000));
            said << QString::fromUtf8(copy.readAll()).split('\n').value(1);
        }
        said.sort();
        const bool same = titles.at(0) == titles.at(1);
        QCOMPARE(said,
                 same ? QStringList({"Already Exists", "Saved"}) : QStringList({"Saved", "Saved"}));
        QCOMPARE(store::book().size(), same ? 2 : 3);
        for (const QString& title : titles) {
            QVERIFY(store::book().contains(title));
            // One copy's images, never a mixture of both.
            const QImage cover(store::imageFile(store::folder(title), 10));
            for (int i = 0; i < store::kImages; ++i)
                QCOMPARE(QImage(store::imageFile(store::folder(title), i)),
                         noise(100, cover == noise(100, 10) ? i : i + 20));
        }
    }

    void windowFitsAndReturnOnlySaves()
    {
        const QString longest(255, QLatin1Char('W'));
        open({"Default", longest}, true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        pops()->setCurrentIndex(1);
        view->load();
        // Neither the size it asks for nor the least it accepts may pass a 1024 x 768 screen.
        const QSize wants = window->sizeHint().expandedTo(window->minimumSizeHint());
        QVERIFY2(wants.width() <= 1024 && wants.height() <= 768,
                 qPrintable(QStringLiteral("%1 x %2").arg(wants.width()).arg(wants.height())));
        QCOMPARE(pops()->itemData(1, Qt::ToolTipRole).toString(), longest);
        QCOMPARE(pops()->toolTip(), longest);

        fill();
        name()->setText("Cats");
        QTest::keyClick(name(), Qt::Key_Return);
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QVERIFY(!store::hasUsed()); // and Use was not pressed as well
        // Another copy of the game saves Dogs: the pop-up follows when the window shows again.
        QVERIFY(store::setBook(store::book() << "Dogs"));
        window->hide();
        window->show();
        QCOMPARE(pops()->itemText(3), QStringLiteral("Dogs"));
        QCOMPARE(name()->text(), QStringLiteral("Cats")); // and the set on view stays
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

/// A second copy of the game in the suite's own HOME: fills the wells, waits for the word,
/// saves and prints the status line.
int saveAsAnotherCopy(int argc, char** argv)
{
    QApplication app(argc, argv);
    prepareApplication(app);
    UserView view;
    auto* pops = view.findChild<QComboBox*>("pops");
    pops->setCurrentIndex(pops->count() - 1);
    view.load();
    const int tint = qEnvironmentVariableIntValue("PAIRWELL_TINT") * 20;
    for (int i = 0; i < store::kImages; ++i)
        view.findChild<ImageWell*>(QString::asprintf("c%02d", i))->setImage(noise(100, i + tint));
    view.findChild<QLineEdit*>("name")->setText(qEnvironmentVariable("PAIRWELL_SAVE"));
    printf("ready\n");
    fflush(stdout);
    while (!QFile::exists(qEnvironmentVariable("PAIRWELL_GO")))
        QThread::usleep(200);
    view.save();
    printf("%s\n", qPrintable(view.findChild<QLabel*>("chat")->text()));
    return 0;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("PAIRWELL_SAVE"))
        return saveAsAnotherCopy(argc, argv);
    testsupport::isolateHome();
    QApplication app(argc, argv);
    prepareApplication(app);
    TestUserView tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_userview.moc"
