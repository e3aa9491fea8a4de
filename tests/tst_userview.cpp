#include "ImageWell.h"
#include "SetFiles.h"
#include "TestSupport.h"
#include "UserView.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTranslator>

namespace {

QColor tint(int i)
{
    return QColor(QColor::fromHsv(i * 23 % 360, 200, 220).rgb());
}

QImage tinted(int i, QSize size = {8, 8})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(tint(i));
    return image;
}

/// The store root's parent and two levels below it, so that a test can see that a refused
/// name wrote nothing anywhere.
QStringList everything()
{
    QStringList found;
    const QDir base(store::root() + QStringLiteral("/.."));
    for (const QString& entry : base.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
        found << entry << QDir(base.filePath(entry)).entryList(QDir::AllEntries);
    return found;
}

/// A translation that knows only the new-set item's title.
class Translator : public QTranslator
{
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return qstrcmp(source, "Add New Set") ? QString() : QStringLiteral("Neuer Satz");
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class TestUserView : public QObject
{
    Q_OBJECT

    std::unique_ptr<UserView> view;
    template <typename T> T* get(const QString& name) { return view->findChild<T*>(name); }
    QComboBox* pops() { return get<QComboBox>("pops"); }
    QLineEdit* name() { return get<QLineEdit>("name"); }
    QString chat() { return get<QLabel>("chat")->text(); }
    ImageWell* well(int i) { return get<ImageWell>(QString::asprintf("c%02d", i)); }
    void click(const char* button) { QTest::mouseClick(get<QPushButton>(button), Qt::LeftButton); }

    /// A fresh pane over a store whose "book" holds \a names, each set in its own tints.
    void open(const QStringList& names)
    {
        view.reset();
        testsupport::resetStore();
        for (int s = 0; s < names.size(); ++s) {
            QDir().mkpath(store::folder(names.at(s)));
            for (int i = 0; i < store::kImages; ++i)
                tinted(i + s).save(store::imageFile(store::folder(names.at(s)), i));
        }
        store::setBook(names);
        view = std::make_unique<UserView>();
    }
    /// Picks item \a index in the pop-up, as the player does.
    void choose(int index)
    {
        pops()->setCurrentIndex(index);
        emit pops()->activated(index);
    }
    /// Picks the new-set item and fills the first \a wells wells.
    void startNewSet(int wells = store::kImages)
    {
        choose(pops()->count() - 1);
        for (int i = 0; i < wells; ++i)
            well(i)->setImage(tinted(i + 5));
    }
    void saveAs(const QString& text)
    {
        name()->setText(text);
        click("save");
    }
    QStringList items()
    {
        QStringList titles;
        for (int i = 0; i < pops()->count(); ++i)
            titles << pops()->itemText(i);
        return titles;
    }

private slots:
    void listsSetsAndEmptiesForANewOne()
    {
        view.reset();
        testsupport::resetStore();
        view = std::make_unique<UserView>();
        QCOMPARE(items(), QStringList({"Default", "Add New Set"}));

        open({"Default", "Cats"});
        QCOMPARE(items(), QStringList({"Default", "Cats", "Add New Set"}));
        QCOMPARE(name()->text(), QStringLiteral("Default"));
        QCOMPARE(well(10)->image().pixelColor(1, 1), tint(10));
        click("usesButton");
        choose(2);
        QCOMPARE(name()->text(), QString());
        for (int i = 0; i < store::kImages; ++i)
            QVERIFY(!well(i)->hasImage());
        QCOMPARE(chat(), QStringLiteral("Will be Valid in the Next Game"));
    }

    void refusesIncompleteInput()
    {
        open({"Default"});
        const QStringList before = everything();
        startNewSet(10);
        saveAs("Cats");
        QCOMPARE(chat(), QStringLiteral("Info missing ..."));
        startNewSet();
        saveAs("");
        QCOMPARE(chat(), QStringLiteral("Info missing ..."));
        QCOMPARE(everything(), before);
    }

    void savesNewSets()
    {
        open({"Default"});
        startNewSet();
        QTest::ignoreMessage(QtInfoMsg, "there's book");
        QTest::ignoreMessage(QtInfoMsg, "Cats");
        QTest::ignoreMessage(QtInfoMsg, "QList(\"Default\", \"Cats\")");
        saveAs("Cats");
        QCOMPARE(chat(), QStringLiteral("Saved"));
        QCOMPARE(QDir(store::folder("Cats")).entryList(QDir::Files).size(), store::kImages);
        QCOMPARE(pops()->currentText(), QStringLiteral("Cats"));
        QCOMPARE(name()->text(), QStringLiteral("Cats"));
        for (int i = 0; i < store::kImages; ++i)
            QCOMPARE(QImage(store::imageFile(store::folder("Cats"), i)).pixelColor(1, 1),
                     tint(i + 5));

        saveAs("cats"); // letter case alone makes another name
        QCOMPARE(chat(), QStringLiteral("Saved"));
        saveAs("Cats");
        QCOMPARE(chat(), QStringLiteral("Already Exists"));
        // Saving from an existing set copies it under the new name and stays on it.
        choose(0);
        saveAs(" 猫 copy ");
        QCOMPARE(store::book(), QStringList({"Default", "Cats", "cats", " 猫 copy "}));
        QCOMPARE(pops()->currentText(), QStringLiteral("Default"));
        QCOMPARE(QImage(store::imageFile(store::folder(" 猫 copy "), 4)).pixelColor(1, 1), tint(4));
    }

    void deletesSets()
    {
        open({"Default", "A", "B", "C"});
        choose(3);
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Removed"));
        QVERIFY(!QFileInfo::exists(store::folder("C")));
        QCOMPARE(pops()->currentText(), QStringLiteral("Add New Set"));
        QCOMPARE(name()->text(), QString());
        QVERIFY(!well(0)->hasImage());
        choose(1);
        click("wipeButton");
        QCOMPARE(pops()->currentText(), QStringLiteral("B"));
        QDir(store::folder("B")).removeRecursively();
        click("wipeButton");
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(items(), QStringList({"Default", "Add New Set"}));
        click("usesButton");
        click("wipeButton"); // the new-set item is selected: the count is tested first
        QCOMPARE(chat(), QStringLiteral("At Least, One set is required."));
        QCOMPARE(store::book(), QStringList({"Default"}));
    }

    void usesTheSelectedSet()
    {
        open({"Default", "Cats"});
        choose(1);
        name()->setText("Default");
        click("usesButton");
        QCOMPARE(store::usedName(), QStringLiteral("Cats"));
        QCOMPARE(chat(), QStringLiteral("Will be Valid in the Next Game"));
        saveAs("Cats");
        choose(2);
        click("usesButton");
        QCOMPARE(store::usedName(), QStringLiteral("Cats"));
        QCOMPARE(chat(), QStringLiteral("Already Exists"));
    }

    void refusesNamesThatLeaveTheStore_data()
    {
        QTest::addColumn<QString>("title");
        for (const char* bad : {"..", ".", "a/b", "a\\b", "tab\there", "Add New Set"})
            QTest::newRow(bad) << QString::fromUtf8(bad);
    }
    void refusesNamesThatLeaveTheStore()
    {
        QFETCH(QString, title);
        open({"Default"});
        const QStringList before = everything();
        startNewSet();
        saveAs(title);
        QCOMPARE(chat(), QStringLiteral("Invalid Name"));
        QCOMPARE(everything(), before);
        QCOMPARE(store::book(), QStringList({"Default"}));
    }

    void refusesTheTranslatedNewSetTitle()
    {
        open({"Default"});
        Translator german;
        QCoreApplication::installTranslator(&german);
        QTRY_COMPARE(pops()->itemText(1), QStringLiteral("Neuer Satz"));
        startNewSet();
        saveAs("Neuer Satz");
        QCOMPARE(chat(), QStringLiteral("Invalid Name"));
        QCoreApplication::removeTranslator(&german);
        QTRY_COMPARE(pops()->itemText(1), QStringLiteral("Add New Set"));
    }

    void deletesOnlyTheSelectedFolder()
    {
        open({"Default", "A", "B"});
        store::setBook({"Default", "A", "B", ""}); // an empty name, put there by hand
        view = std::make_unique<UserView>();
        choose(1);
        name()->setText("B");
        click("wipeButton");
        QVERIFY(!QFileInfo::exists(store::folder("A")));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("B"), 10)));
        choose(2);
        click("wipeButton"); // must not take the whole store with it
        QCOMPARE(chat(), QStringLiteral("Error. No Folder Exists"));
        QCOMPARE(store::book(), QStringList({"Default", "B"}));
        QVERIFY(QFileInfo::exists(store::imageFile(store::folder("B"), 10)));
    }

    void failedSaveChangesNothing()
    {
        // A regular file where the folder must go stops every writer, root included.
        open({"Default"});
        QFile blocker(store::folder("Cats"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        startNewSet();
        saveAs("Cats");
        QCOMPARE(chat(), QStringLiteral("Error. Could not save"));
        QCOMPARE(items(), QStringList({"Default", "Add New Set"}));
        QVERIFY(QFileInfo(blocker.fileName()).isFile());

        // A write that fails part way takes back the files written before it.
        QList<QImage> images;
        for (int i = 0; i < store::kImages; ++i)
            images << (i == 6 ? QImage() : well(i)->image());
        QString error;
        QVERIFY(!setfiles::writeSet(store::folder("Dogs"), images, &error));
        QVERIFY(error.contains("6.png"));
        QVERIFY(!QFileInfo::exists(store::folder("Dogs")));
    }

    void neverOverwritesLeftovers()
    {
        open({"Default"});
        QDir().mkpath(store::folder("Cats"));
        QFile old(store::imageFile(store::folder("Cats"), 0));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("kept") == 4);
        old.close();
        startNewSet();
        saveAs("Cats");
        QCOMPARE(chat(), QStringLiteral("Already Exists"));
        QCOMPARE(store::book(), QStringList({"Default"}));
        QCOMPARE(QDir(store::folder("Cats")).entryList(QDir::Files), QStringList({"0.png"}));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("kept"));
    }

    void storesPhotosAtMost1024Wide()
    {
        open({"Default"});
        startNewSet();
        QMimeData mime;
        mime.setImageData(tinted(3, {6000, 4000}));
        QDragEnterEvent enter({10, 10}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(well(0), &enter);
        QCoreApplication::sendEvent(well(0), &drop);
        saveAs("Photos");
        const QImage stored(store::imageFile(store::folder("Photos"), 0));
        QCOMPARE(stored.width(), 1024);
        QVERIFY(qAbs(stored.height() - 4000.0 * 1024 / 6000) <= 1);
        QCOMPARE(stored.pixelColor(500, 300), tint(3));
    }
};

PAIRWELL_TEST_MAIN(TestUserView)
#include "tst_userview.moc"
