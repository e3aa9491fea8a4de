#include "TestSupport.h"
#include "Version.h"

class TestVersion : public QObject
{
    Q_OBJECT

private slots:
    void segments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("plain") << "1.0" << QStringList{"1", "0"};
        QTest::newRow("three") << "1.2.1" << QStringList{"1", "2", "1"};
        QTest::newRow("leading white space") << " \t 1.3" << QStringList{"1", "3"};
        QTest::newRow("markup after") << "1.3</p>" << QStringList{"1", "3"};
        QTest::newRow("text after") << "2.0 (spring release)" << QStringList{"2", "0"};
        QTest::newRow("trailing dot") << "1.3." << QStringList{"1", "3"};
        QTest::newRow("leading zeros") << "01.002" << QStringList{"1", "2"};
        QTest::newRow("zero") << "0.00" << QStringList{"0", "0"};
        QTest::newRow("plus sign") << "+1.1" << QStringList{"1", "1"};
        QTest::newRow("word") << "version 2" << QStringList{};
        QTest::newRow("dot first") << ".5" << QStringList{};
        QTest::newRow("minus") << "-1.0" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void segments()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        QCOMPARE(version::segments(text), parts);
    }

    // The pane's suite runs the common cases through a served page; these are the edges.
    void newer_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("expected");
        const auto row = [](const char* name, const char* page, const char* running, bool newer) {
            QTest::newRow(name) << QString::fromUtf8(page) << QString::fromUtf8(running) << newer;
        };
        row("older", "0.9", "1.0", false);
        row("1.10 over 1.9", "1.10", "1.9", true);
        row("1.9 under 1.10", "1.9", "1.10", false);
        row("1.2.1 over 1.2", "1.2.1", "1.2", true);
        row("1.2 equals 1.2.0", "1.2", "1.2.0", false);
        row("1.2.0 equals 1.2", "1.2.0", "1.2", false);
        row("not a number", "soon", "1.0", false);
        row("not a number over nothing", "soon", "", false);
        row("over no running version", "0.1", "", true);
        row("zero over no running version", "0", "", false);
        row("huge segments", "99999999999999999999999.2", "99999999999999999999999.10", false);
        row("huge first segment", "100000000000000000000", "99999999999999999999", true);
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
