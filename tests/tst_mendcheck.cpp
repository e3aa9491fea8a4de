#include "MendServer.h"
#include "MendView.h"
#include "TestSupport.h"
#include "UpdateNames.h"

#include <QDialog>
#include <QLabel>
#include <QNetworkProxy>
#include <QSignalSpy>

namespace {
const QString kBefore = QStringLiteral("earlier text");

/// One version line as the maker writes it, with the line feeds on both sides.
QString line(const QString& name, const QString& version)
{
    return QStringLiteral("\nTallowenworks: Mac OS X アプリケーション: %1 %2\n").arg(name, version);
}
} // namespace

/// The update check against a page served from 127.0.0.1.
class TestMendCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void check_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("shown"); // the status text after the check
        const QString p = QStringLiteral("Pairwell");
        const QString head = QStringLiteral("<html><body><p>News</p>");
        const QString offered = QStringLiteral("Pairwell: Update is available");
        QTest::newRow("markup after") << p << head + line(p, "1.3</p>") << offered;
        QTest::newRow("second line higher")
            << p << head + line(p, "1.0") + line(p, "9.9") << kBefore;
        QTest::newRow("name in another case") << p << head + line("pairwell", "2.0") << kBefore;
        QTest::newRow("CR LF") << p << QString(head + line(p, "2.0")).replace("\n", "\r\n")
                               << kBefore;
        QTest::newRow("first in the page") << p << line(p, "2.0").mid(1) + "<p>" << kBefore;
        QTest::newRow("unreachable") << p << QString() << QStringLiteral("Error. Try later.");
        QTest::newRow("a space in the name") << "Zodu Doza" << head + line("Zodu Doza", "1.1")
                                             << QStringLiteral("Zodu Doza: Update is available");
    }
    void check()
    {
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(QString, shown);
        QCoreApplication::setApplicationName(name);
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
        MendServer server;
        server.answers.insert(QStringLiteral("/2014/12/pairwell.html"), {200, page.toUtf8()});
        updatenames::setBases(server.base(), server.base());
        if (page.isEmpty()) // a port where nobody listens any more
            server.close();
        MendView view;
        view.TLUPMess()->setText(kBefore);
        QSignalSpy settled(&view, &MendView::settled);
        view.TLUPVers();
        QVERIFY(settled.wait(20000));
        QCOMPARE(view.TLUPMess()->text(), shown);
        QCOMPARE(view.TLUPNews()->isVisible(), shown.endsWith("available"));
    }
};

PAIRWELL_TEST_MAIN(TestMendCheck)
#include "tst_mendcheck.moc"
