#include "ImageWell.h"
#include "TestSupport.h"
#include "UserView.h"

#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QImage tinted(int i)
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(qRgb(i * 15, 120, 255 - i * 15));
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

} // namespace

class TestUserView : public QObject
{
    Q_OBJECT

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
        for (int s = 0; s < names.size(); ++s) {
            QDir().mkpath(store::folder(names.at(s)));
            for (int i = 0; i < store::kImages; ++i)
                tinted(s + i).save(store::imageFile(store::folder(names.at(s)), i));
        }
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
        QCOMPARE(pops()->itemText(1), QStringLiteral("Birds"));
        QCOMPARE(pops()->itemText(2), QStringLiteral("Add New Set"));
        QTest::keyClick(pops(), Qt::Key_Down); // the player picks Birds
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
        QCOMPARE(pops()->currentText(), QStringLiteral("Cats"));
        for (int i = 0; i < store::kImages; ++i)
            QCOMPARE(QImage(store::imageFile(store::folder("Cats"), i)), tinted(i + 5));
        saveNew("cats"); // letter case alone makes another name
        QCOMPARE(store::book(), QStringList({"Default", "Birds", "Cats", "cats"}));

        click("wipeButton"); // the last set, still selected after its save
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QTest::keyClick(pops(), Qt::Key_Home);
        QTest::keyClick(pops(), Qt::Key_Down); // Birds, between Default and Cats
        name()->setText("Cats"); // Delete goes by the selection, not by the name field
        click("wipeButton");
        QCOMPARE(store::book(), QStringList({"Default", "Cats"}));
        QVERIFY(!QFileInfo::exists(store::folder("Birds")));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("Cats"), 10)));
        QVERIFY(QDir(store::folder("Cats")).removeRecursively());
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(store::book(), QStringList({"Default"}));
        QTest::keyClick(pops(), Qt::Key_Home);
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("At Least, One set is required."));
    }

    void refusedSavesWriteNothing_data()
    {
        QTest::addColumn<QString>("title");
        // What stands in the store root beforehand: a stray note, a file left over in the
        // folder the name would take, or a plain file where that folder must go.
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("no name") << "" << "notes.txt" << "Info missing ...";
        QTest::newRow("..") << ".." << "notes.txt" << "Invalid Name";
        QTest::newRow("a/b") << "a/b" << "notes.txt" << "Invalid Name";
        QTest::newRow("new-set title") << "Add New Set" << "notes.txt" << "Invalid Name";
        QTest::newRow("leftover files") << "Cats" << "Cats/0.png" << "Already Exists";
        QTest::newRow("file at the folder") << "Cats" << "Cats" << "Error. Could not save";
        // clang-format on
    }
    void refusedSavesWriteNothing()
    {
        QFETCH(QString, title);
        QFETCH(QString, planted);
        QFETCH(QString, message);
        open({"Default"});
        QFile file(store::root() + QLatin1Char('/') + planted);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) &&
                file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QCOMPARE(file.write("kept"), 4);
        const QStringList before = everything();
        saveNew(title);
        QCOMPARE(chat(), message);
        QCOMPARE(everything(), before);
    }
};

PAIRWELL_TEST_MAIN(TestUserView)
#include "tst_userview.moc"
