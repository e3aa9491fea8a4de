#include "MendServer.h"
#include "MendView.h"
#include "TestSupport.h"

namespace {
const QString kBefore = QStringLiteral("earlier text");
// A space and brackets, which the page's pattern must take literally.
const QString kName = QStringLiteral("Zodu (Doza)");

/// One version line as the maker writes it, with the line feeds on both sides.
QString line(const QString& version, const QString& name = kName)
{
    return QStringLiteral("\nTallowenworks: Mac OS X アプリケーション: %1 %2\n").arg(name, version);
}
} // namespace

/// The update check against a page served from 127.0.0.1, and with it the reading and
/// comparing of the version texts.
class TestMendCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setApplicationName(kName); }
    void check_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("page"); // "silent": a redirect to a port that never answers
        // The version the panel offers; "" when none is.
        QTest::addColumn<QString>("offer");
        QTest::newRow("1.10 over 1.9") << "1.9" << line("1.10") << "1.10";
        QTest::newRow("1.9 under 1.10") << "1.10" << line("1.9") << "";
        QTest::newRow("1.2.1 over 1.2") << "1.2" << line("1.2.1") << "1.2.1";
        QTest::newRow("white space before, markup after")
            << "1.2" << line(" \t1.3</p>").prepend("<p>News</p>") << "1.3";
        QTest::newRow("not a number") << "1.0" << line("version 2.0") << "";
        // The first line names the running version: equal is not newer either.
        QTest::newRow("second line higher") << "1.0" << line("1.0") + line("9.9") << "";
        QTest::newRow("name in another case") << "1.0" << line("2.0", kName.toLower()) << "";
        QTest::newRow("CR LF") << "1.0" << line("2.0").replace("\n", "\r\n") << "";
        QTest::newRow("first in the page") << "1.0" << line("2.0").mid(1) << "";
        QTest::newRow("redirect to a silent server") << "1.0" << QStringLiteral("silent") << "";
    }
    void check()
    {
        QFETCH(QString, running);
        QFETCH(QString, page);
        QFETCH(QString, offer);
        QCoreApplication::setApplicationVersion(running);
        MendServer server;
        server.answers.insert("/2014/12/pairwell.html",
                              page == "silent" ? server.toSilence
                                               : MendServer::Answer{200, page.toUtf8()});
        MendView view;
        view.TLUPMess()->setText(kBefore);
        QSignalSpy settled(&view, &MendView::settled);
        view.TLUPVers();
        QVERIFY(view.TLUPSpin()->isVisibleTo(&view)); // the check shows that it runs
        QVERIFY(settled.wait(20000));
        QVERIFY(view.TLUPSpin()->isHidden());
        QCOMPARE(view.TLUPMess()->text(), page == "silent"  ? "Error. Try later."
                                          : offer.isEmpty() ? kBefore
                                                            : kName + ": Update is available");
        // The panel shows when an update is offered, and names it.
        const QString news = view.TLUPNews()->findChild<QLabel*>("news")->text();
        QCOMPARE(view.TLUPNews()->isVisible() ? news.section(u' ', 0, 2) : QString(),
                 offer.isEmpty() ? QString() : kName + u' ' + offer);
    }
};

PAIRWELL_TEST_MAIN(TestMendCheck)
#include "tst_mendcheck.moc"
