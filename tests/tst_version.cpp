#include "TestSupport.h"
#include "Version.h"

class TestVersion : public QObject
{
    Q_OBJECT

private slots:
    void newer_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char* name, const char* page, const char* running, bool newer) {
            QTest::newRow(name) << QString::fromLatin1(page) << QString::fromLatin1(running)
                                << newer;
        };
        row("1.1 over 1.0", "1.1", "1.0", true);
        row("equal", "1.0", "1.0", false);
        row("1.10 over 1.9", "1.10", "1.9", true);
        row("1.9 under 1.10", "1.9", "1.10", false);
        row("1.2.1 over 1.2", "1.2.1", "1.2", true);
        row("leading white space", " \t1.3", "1.2", true);
        row("markup after", "1.3</p>", "1.2", true);
        row("not a number", "version 2.0", "1.0", false);
    }
    void newer()
    {
        QFETCH(QString, page);
        QFETCH(QString, running);
        QFETCH(bool, expected);
        QCOMPARE(version::newer(page, running), expected);
    }
};

PAIRWELL_TEST_MAIN(TestVersion)
#include "tst_version.moc"
