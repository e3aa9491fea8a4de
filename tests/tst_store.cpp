// Seeding the card-face store at launch.

#include "AppDelegate.h"
#include "Store.h"
#include "TestSupport.h"

namespace {

QByteArray bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString kDefault = QStringLiteral("Default");

} // namespace

class StoreTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::resetStore(); }
    void seeding_data();
    void seeding();
};

void StoreTest::seeding_data()
{
    QTest::addColumn<QStringList>("book"); // empty: absent
    QTest::addColumn<QString>("used");     // null: absent
    QTest::addColumn<QStringList>("bookAfter");
    QTest::addColumn<bool>("seeded");
    const QStringList two{QStringLiteral("Cats"), kDefault};
    QTest::newRow("empty defaults") << QStringList() << QString() << QStringList{kDefault} << true;
    QTest::newRow("book, no used") << two << QString() << two << true;
    QTest::newRow("used, folder gone") << two << QStringLiteral("Gone") << two << false;
    QTest::newRow("no book, used")
        << QStringList() << QStringLiteral("Cats") << QStringList{kDefault} << false;
}

void StoreTest::seeding()
{
    QFETCH(QStringList, book);
    QFETCH(QString, used);
    if (!book.isEmpty())
        store::setBook(book);
    if (!used.isNull())
        store::setUsed(used);
    // A file the player already has in the Default folder is never overwritten.
    const QString folder = store::folder(kDefault);
    const QString kept = store::imageFile(folder, 3);
    if (used.isNull() && !book.isEmpty()) {
        QDir().mkpath(folder);
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("mine");
    }

    AppDelegate game;
    game.milk();

    QTEST(store::book(), "bookAfter");
    QCOMPARE(store::usedName(), used.isNull() ? kDefault : used);
    QCOMPARE(game.used(),
             testsupport::home() + "/.local/share/Tallowen/Pairwell/" + store::usedName());
    QFETCH(bool, seeded);
    if (!seeded) {
        QVERIFY(!QFileInfo::exists(store::root()));
        return;
    }
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), store::kImages);
    for (int i = 0; i < store::kImages; ++i) {
        const QString file = store::imageFile(folder, i);
        if (file == kept && !book.isEmpty())
            QCOMPARE(bytes(file), QByteArray("mine"));
        else
            QCOMPARE(bytes(file), bytes(store::defaultImage(i)));
        QVERIFY(QFileInfo(file).permissions() & QFile::WriteOwner); // the player's to change
    }
}

PAIRWELL_TEST_MAIN(StoreTest)
#include "tst_store.moc"
