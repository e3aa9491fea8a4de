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

    void newer_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("running");
        QTest::addColumn<bool>("expected");
        QTest::newRow("1.1 over 1.0") << "1.1"
                                      << "1.0" << true;
        QTest::newRow("equal") << "1.0"
                               << "1.0" << false;
        QTest::newRow("older") << "0.9"
                               << "1.0" << false;
        QTest::newRow("1.10 over 1.9") << "1.10"
                                       << "1.9" << true;
        QTest::newRow("1.9 under 1.10") << "1.9"
                                        << "1.10" << false;
        QTest::newRow("1.2.1 over 1.2") << "1.2.1"
                                        << "1.2" << true;
        QTest::newRow("1.2 equals 1.2.0") << "1.2"
                                          << "1.2.0" << false;
        QTest::newRow("1.2.0 equals 1.2") << "1.2.0"
                                          << "1.2" << false;
        QTest::newRow("markup") << "1.3</p>"
                                << "1.2" << true;
        QTest::newRow("markup equal") << "1.3</p>"
                                      << "1.3" << false;
        QTest::newRow("not a number") << "soon"
                                      << "1.0" << false;
        QTest::newRow("not a number over nothing") << "soon"
                                                   << "" << false;
        QTest::newRow("over no running version") << "0.1"
                                                 << "" << true;
        QTest::newRow("zero over no running version") << "0"
                                                      << "" << false;
        QTest::newRow("huge segments") << "99999999999999999999999.2"
                                       << "99999999999999999999999.10" << false;
        QTest::newRow("huge first segment") << "100000000000000000000"
                                            << "99999999999999999999" << true;
    }
    void newer()
    {
        QFETCH(QString, page);
        QFETCH(QString, running);
        QFETCH(bool, expected);
        QCOMPARE(version::newer(page, running), expected);
    }

    void compareIsOrdered()
    {
        const QStringList a = version::segments(QStringLiteral("1.9"));
        const QStringList b = version::segments(QStringLiteral("1.10"));
        QCOMPARE(version::compare(a, b), -1);
        QCOMPARE(version::compare(b, a), 1);
        QCOMPARE(version::compare(a, a), 0);
    }
};

PAIRWELL_TEST_MAIN(TestVersion)
#include "tst_version.moc"
