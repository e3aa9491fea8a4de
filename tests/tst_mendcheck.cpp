#include "MendServer.h"
#include "MendView.h"
#include "TestSupport.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>

namespace {
const QString kBefore = QStringLiteral("earlier text");

/// One version line as the maker writes it, with the line feeds on both sides.
QString line(const QString& name, const QString& version)
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
    void check_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("page");
        // How the panel names the update on offer; "" when none is, "error" for a failed fetch.
        QTest::addColumn<QString>("offer");
        const QString p = QStringLiteral("Pairwell");
        QTest::newRow("1.1 over 1.0") << p << "1.0" << line(p, "1.1") << "Pairwell 1.1 ";
        QTest::newRow("1.10 over 1.9") << p << "1.9" << line(p, "1.10") << "Pairwell 1.10 ";
        QTest::newRow("1.9 under 1.10") << p << "1.10" << line(p, "1.9") << "";
        QTest::newRow("1.2.1 over 1.2") << p << "1.2" << line(p, "1.2.1") << "Pairwell 1.2.1 ";
        QTest::newRow("leading white space") << p << "1.2" << line(p, " \t1.3") << "Pairwell 1.3 ";
        QTest::newRow("markup after")
            << p << "1.2"
            << "<html><body><p>News</p>" + line(p, "1.3</p>") << "Pairwell 1.3 ";
        QTest::newRow("not a number") << p << "1.0" << line(p, "version 2.0") << "";
        // The first line names the running version: equal is not newer either.
        QTest::newRow("second line higher") << p << "1.0" << line(p, "1.0") + line(p, "9.9") << "";
        QTest::newRow("name in another case") << p << "1.0" << line("pairwell", "2.0") << "";
        QTest::newRow("CR LF") << p << "1.0" << line(p, "2.0").replace("\n", "\r\n") << "";
        QTest::newRow("first in the page") << p << "1.0" << line(p, "2.0").mid(1) << "";
        QTest::newRow("unreachable") << p << "1.0"
                                     << ""
                                     << "error";
        QTest::newRow("redirect to a silent server") << p << "1.0"
                                                     << "silent"
                                                     << "error";
        // The brackets would make a group of an unescaped name, which then matches nothing.
        const QString zodu = QStringLiteral("Zodu (Doza)");
        QTest::newRow("a space in the name")
            << zodu << "1.0" << line(zodu, "1.1") << zodu + " 1.1 ";
    }
    void check()
    {
        QFETCH(QString, name);
        QFETCH(QString, running);
        QFETCH(QString, page);
        QFETCH(QString, offer);
        QCoreApplication::setApplicationName(name);
        QCoreApplication::setApplicationVersion(running);
        MendServer server;
        const QString address = QStringLiteral("/2014/12/pairwell.html");
        server.answers.insert(address, page == "silent" ? server.toSilence()
                                                        : MendServer::Answer{200, page.toUtf8()});
        if (page.isEmpty()) // a port where nobody listens any more
            server.close();
        MendView view;
        view.TLUPMess()->setText(kBefore);
        QSignalSpy settled(&view, &MendView::settled);
        view.TLUPVers();
        QVERIFY(view.TLUPSpin()->isVisibleTo(&view)); // the check shows that it runs
        QVERIFY(settled.wait(20000));
        QVERIFY(view.TLUPSpin()->isHidden());
        const bool offered = !offer.isEmpty() && offer != "error";
        QCOMPARE(view.TLUPMess()->text(), offer == "error" ? "Error. Try later."
                                          : offered        ? name + ": Update is available"
                                                           : kBefore);
        QCOMPARE(view.TLUPNews()->isVisible(), offered);
        if (offered)
            QVERIFY(view.TLUPNews()->findChild<QLabel*>("news")->text().startsWith(offer));
    }
};

PAIRWELL_TEST_MAIN(TestMendCheck)
#include "tst_mendcheck.moc"
