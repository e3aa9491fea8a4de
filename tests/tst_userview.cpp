#include "ImageWell.h"
#include "TestSupport.h"
#include "UserView.h"

#include <QClipboard>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

/// The set editor pane over a store in the temporary home, and the image wells it is made of.
class TestUserView : public QObject
{
    Q_OBJECT

    static QImage tinted(int i, QSize size = {8, 8})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(qRgb(i * 15, 120, 255 - i * 15));
        return image;
    }

    /// Every path under HOME with its size, the settings file included, so a test can see that
    /// a refused save wrote nothing anywhere.
    static QStringList everything()
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
    static bool drop(ImageWell& target, const QMimeData& mime)
    {
        QDragEnterEvent enter({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QDropEvent dropped({4, 4}, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        dropped.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(&target, &enter);
        QCoreApplication::sendEvent(&target, &dropped);
        return enter.isAccepted() && dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    }

    std::unique_ptr<UserView> view;
    QComboBox* pops() { return view->findChild<QComboBox*>("pops"); }
    QLineEdit* name() { return view->findChild<QLineEdit*>("name"); }
    QString chat() { return view->findChild<QLabel*>("chat")->text(); }
    ImageWell* well(int i) { return view->findChild<ImageWell*>(QString::asprintf("c%02d", i)); }
    void click(const char* button) { view->findChild<QPushButton*>(button)->click(); }

    /// A fresh pane over a store whose "book" holds \a names; set s is drawn in tints s to
    /// s + 10.
    void open(const QStringList& names)
    {
        testsupport::resetStore();
        for (int s = 0; s < names.size(); ++s)
            for (int i = 0; i < store::kImages; ++i)
                QVERIFY(QDir().mkpath(store::folder(names.at(s))) &&
                        tinted(s + i).save(store::imageFile(store::folder(names.at(s)), i)));
        store::setBook(names);
        view = std::make_unique<UserView>();
    }
    /// Picks the new-set item, fills its first \a wells wells in tints 5 on and saves the
    /// set as \a title.
    void saveNew(const QString& title, int wells = store::kImages)
    {
        QTest::keyClick(pops(), Qt::Key_End);
        for (int i = 0; i < wells; ++i)
            well(i)->setImage(tinted(i + 5));
        name()->setText(title);
        click("save");
    }

private slots:
    void listsUsesSavesAndDeletes()
    {
        testsupport::resetStore(); // no "book" at all
        view = std::make_unique<UserView>();
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
        saveNew("cats"); // letter case alone makes another name
        QCOMPARE(store::book(), QStringList({"Default", "Birds", "Cats", "cats"}));

        // The last set, still selected after its save: proof that the rebuilt pop-up selects
        // the set just saved.
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QVERIFY(!QFileInfo::exists(store::folder("cats")));
        // Birds, between Default and Cats, has lost its folder, and the name field names Cats:
        // Delete goes by the selection, not by the name field.
        QVERIFY(QDir(store::folder("Birds")).removeRecursively());
        pops()->setCurrentIndex(1);
        name()->setText("Cats");
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(store::book(), QStringList({"Default", "Cats"}));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("Cats"), 10)));
        click("wipeButton"); // Cats, now in the place of Birds
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("At Least, One set is required."));
    }

    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        QTest::newRow("no name") << QString() << QStringLiteral("Info missing ...");
        QTest::newRow("..") << ".." << QStringLiteral("Invalid Name");
        QTest::newRow("a/b") << "a/b" << QStringLiteral("Invalid Name");
        QTest::newRow("new-set title") << "Add New Set" << QStringLiteral("Invalid Name");
        QTest::newRow("leftover files") << "Cats" << QStringLiteral("Already Exists");
        QTest::newRow("file at the folder") << "Dogs" << QStringLiteral("Error. Could not save");
    }
    void refusedSavesWriteNothing()
    {
        QFETCH(QString, title);
        QFETCH(QString, message);
        open({"Default"});
        // Beside Default stand a folder "Cats" that "book" lacks but a file still fills, and a
        // plain file "Dogs" where that set's folder must go.
        const QString cats = store::folder("Cats");
        QVERIFY(QDir().mkpath(cats) && tinted(0).save(store::imageFile(cats, 0)));
        QVERIFY(tinted(0).save(store::folder("Dogs"), "PNG"));
        const QStringList before = everything();
        saveNew(title);
        QCOMPARE(chat(), message);
        QCOMPARE(everything(), before);
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

PAIRWELL_TEST_MAIN(TestUserView)
#include "tst_userview.moc"
