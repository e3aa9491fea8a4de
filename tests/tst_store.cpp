// Seeding the card-face store at launch, and cards whose images cannot be read.

#include "AppDelegate.h"
#include "Card.h"
#include "Deal.h"
#include "Store.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QSettings>

namespace {

QByteArray bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString defaultFolder()
{
    return store::folder(store::kDefaultSet);
}

} // namespace

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::resetStore(); }

    void firstLaunchSeedsDefaultSet();
    void bookPresentUsedAbsentSeedsWithoutOverwriting();
    void usedPresentLeavesFoldersAlone();
    void bookAbsentIsRecreatedAlone();
    void usedFolderResolvesEachTime();

    void unreadableImagesFallBackToDefault_data();
    void unreadableImagesFallBackToDefault();
};

void StoreTest::firstLaunchSeedsDefaultSet()
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();

    QCOMPARE(store::book(), QStringList{QStringLiteral("Default")});
    QCOMPARE(store::usedName(), QStringLiteral("Default"));
    QCOMPARE(store::high(), QStringLiteral("0"));
    QCOMPARE(delegate.used(), store::root() + QStringLiteral("/Default"));
    QVERIFY(store::root().startsWith(testsupport::home() + QStringLiteral("/.local/share/")));
    QVERIFY(store::root().endsWith(QStringLiteral("/Tallowen/Pairwell")));

    const QStringList files = QDir(defaultFolder()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files.size(), store::kImages);
    for (int i = 0; i < store::kImages; ++i) {
        const QString file = store::imageFile(defaultFolder(), i);
        QCOMPARE(bytes(file), bytes(store::defaultImage(i)));
        // The player may replace or delete the copies.
        QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner);
    }
}

void StoreTest::bookPresentUsedAbsentSeedsWithoutOverwriting()
{
    const QStringList book{QStringLiteral("Cats"), QStringLiteral("Default")};
    store::setBook(book);
    QVERIFY(QDir().mkpath(defaultFolder()));
    QFile kept(store::imageFile(defaultFolder(), 3));
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("mine");
    kept.close();

    AppDelegate delegate;
    delegate.milk();

    QCOMPARE(store::book(), book);
    QCOMPARE(store::usedName(), QStringLiteral("Default"));
    QCOMPARE(bytes(kept.fileName()), QByteArray("mine"));
    QCOMPARE(bytes(store::imageFile(defaultFolder(), 10)), bytes(store::defaultImage(10)));
    QCOMPARE(bytes(store::imageFile(defaultFolder(), 0)), bytes(store::defaultImage(0)));
}

void StoreTest::usedPresentLeavesFoldersAlone()
{
    store::setBook({QStringLiteral("Default")});
    store::setUsed(QStringLiteral("Gone"));

    AppDelegate delegate;
    delegate.milk();

    QCOMPARE(store::usedName(), QStringLiteral("Gone"));
    QVERIFY(!QFileInfo::exists(defaultFolder()));
    QVERIFY(!QFileInfo::exists(store::folder(QStringLiteral("Gone"))));
}

void StoreTest::bookAbsentIsRecreatedAlone()
{
    store::setUsed(QStringLiteral("Cats"));

    AppDelegate delegate;
    delegate.milk();

    QCOMPARE(store::book(), QStringList{QStringLiteral("Default")});
    QCOMPARE(store::usedName(), QStringLiteral("Cats"));
    QVERIFY(!QFileInfo::exists(store::root()));

    // A one-element "book" written by the settings file reads back as that one name.
    QSettings(QStringLiteral("Tallowen"), QStringLiteral("Pairwell")).setValue("book", "Solo");
    QCOMPARE(store::book(), QStringList{QStringLiteral("Solo")});
}

void StoreTest::usedFolderResolvesEachTime()
{
    AppDelegate delegate;
    delegate.milk();
    QCOMPARE(delegate.used(), store::root() + QStringLiteral("/Default"));
    store::setUsed(QStringLiteral("Birds"));
    QCOMPARE(delegate.used(), store::root() + QStringLiteral("/Birds"));
}

void StoreTest::unreadableImagesFallBackToDefault_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("set folder deleted") << "folder";
    QTest::newRow("cover missing") << "missing";
    QTest::newRow("cover not a PNG") << "garbage";
}

void StoreTest::unreadableImagesFallBackToDefault()
{
    QFETCH(QString, damage);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.window()->show();
    const QString cover = store::imageFile(defaultFolder(), store::kCover);
    if (damage == QLatin1String("folder")) {
        QVERIFY(QDir(defaultFolder()).removeRecursively());
    } else if (damage == QLatin1String("missing")) {
        QVERIFY(QFile::remove(cover));
    } else {
        QFile file(cover);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("this is not an image");
    }

    setRandomSource([] { return 0u; });
    // One warning for the one cover image that the deal loads.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot read .*10\\.png")));
    delegate.tear();
    const QImage expected = QImage(store::defaultImage(store::kCover));
    for (int tag = 0; tag < 20; ++tag) {
        QVERIFY(!delegate.cardAt(tag)->image().isNull());
        QCOMPARE(delegate.cardAt(tag)->image(), expected);
    }
    if (damage == QLatin1String("folder"))
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("cannot read .*0\\.png")));
    QTest::mouseClick(delegate.cardAt(0), Qt::LeftButton);
    QCOMPARE(delegate.cardAt(0)->image(), QImage(store::defaultImage(0)));
    setRandomSource({});
}

PAIRWELL_TEST_MAIN(StoreTest)
#include "tst_store.moc"
