#include "MendServer.h"
#include "MendView.h"
#include "TestSupport.h"
#include "UpdateNames.h"

#include <QDialog>
#include <QLabel>
#include <QNetworkProxy>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>
#include <memory>

namespace {
const QString kPage = QStringLiteral("/2014/12/pairwell.html");
const QString kBefore = QStringLiteral("earlier text");

/// One version line as the maker writes it, with the line feeds on both sides.
QString line(const QString& name, const QString& version)
{
    return QStringLiteral("\nTallowenworks: Mac OS X アプリケーション: %1 %2\n").arg(name, version);
}
} // namespace

/// The update check against a page served from 127.0.0.1, and the name table.
class TestMendCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); }

    void init()
    {
        m_server.clear();
        updatenames::setBases(m_server.base(), m_server.base());
        QCoreApplication::setApplicationName(QStringLiteral("Pairwell"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
        m_view = std::make_unique<MendView>();
        m_view->TLUPMess()->setText(kBefore);
    }

    void cleanup()
    {
        m_view.reset();
        updatenames::setBases(QString(), QString());
        QCoreApplication::setApplicationName(QStringLiteral("Pairwell"));
        QCoreApplication::setApplicationVersion(QStringLiteral(PAIRWELL_VERSION));
    }

    void nameTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("lows");
        QTest::newRow("Pairwell") << "Pairwell"
                                  << "pairwell";
        QTest::newRow("a space") << "Zodu Doza"
                                 << "zodudoza";
        QTest::newRow("a tab stays") << "Zodu\tDoza"
                                     << "zodu\tdoza";
        QTest::newRow("beyond ASCII") << "Ärger Öl"
                                      << "ärgeröl";
    }
    void nameTable()
    {
        QFETCH(QString, name);
        QFETCH(QString, lows);
        QCoreApplication::setApplicationName(name);
        const QString down = testsupport::home() + QStringLiteral("/Downloads");
        QCOMPARE(m_view->TLUPBook(QStringLiteral("apps")), name);
        QCOMPARE(m_view->TLUPBook(QStringLiteral("lows")), lows);
        QCOMPARE(m_view->TLUPBook(QStringLiteral("down")), down);
        QCOMPARE(m_view->TLUPBook(QStringLiteral("zips")), down + u'/' + lows + ".zip");
        QCOMPARE(m_view->TLUPBook(QStringLiteral("blog")), m_server.base());
        QCOMPARE(m_view->TLUPBook(QStringLiteral("site")), m_server.base());
        QCOMPARE(updatenames::archiveAddress(), m_server.base() + lows + ".zip");
        QCOMPARE(m_view->TLUPBook(QStringLiteral("other")), QString());
    }

    void baseAddresses()
    {
        updatenames::setBases(QString(), QString());
        const QUrl blog(m_view->TLUPBook(QStringLiteral("blog")));
        QCOMPARE(blog.scheme(), QStringLiteral("http"));
        QVERIFY(!blog.host().isEmpty());
        QCOMPARE(blog.path(), QStringLiteral("/"));
        const QString site = m_view->TLUPBook(QStringLiteral("site"));
        QCOMPARE(QUrl(site).scheme(), QStringLiteral("https"));
        QVERIFY(site.endsWith(u'/'));
        QCOMPARE(updatenames::pageAddress(), blog.toString() + "2014/12/pairwell.html");
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("offered");
        const QString p = QStringLiteral("Pairwell");
        const QString head = QStringLiteral("<html><body><p>News</p>");
        QTest::newRow("1.1 over 1.0") << p << "1.0" << head + line(p, "1.1") << true;
        QTest::newRow("equal") << p << "1.0" << head + line(p, "1.0") << false;
        QTest::newRow("1.10 over 1.9") << p << "1.9" << head + line(p, "1.10") << true;
        QTest::newRow("1.2.1 over 1.2") << p << "1.2" << head + line(p, "1.2.1") << true;
        QTest::newRow("markup after") << p << "1.2" << head + line(p, "1.3</p>") << true;
        QTest::newRow("markup after, equal") << p << "1.3" << head + line(p, "1.3<br>") << false;
        QTest::newRow("white space before") << p << "1.0" << head + line(p, "  2.0") << true;
        QTest::newRow("second line higher")
            << p << "1.0" << head + line(p, "1.0") + line(p, "9.9") << false;
        QTest::newRow("first line higher")
            << p << "1.0" << head + line(p, "2.0") + line(p, "0.5") << true;
        QTest::newRow("name in another case")
            << p << "1.0" << head + line("pairwell", "2.0") << false;
        QString crlf = head + line(p, "2.0");
        crlf.replace(u'\n', QStringLiteral("\r\n"));
        QTest::newRow("CR LF") << p << "1.0" << crlf << false;
        QTest::newRow("first in the page") << p << "1.0" << line(p, "2.0").mid(1) + "<p>" << false;
        QTest::newRow("line separator in the version")
            << p << "1.0" << head + line(p, QStringLiteral("2.0\u2028x")) << false;
        QTest::newRow("not a number") << p << "1.0" << head + line(p, "next") << false;
        QTest::newRow("a space in the name") << "Zodu Doza"
                                             << "1.0" << head + line("Zodu Doza", "1.1") << true;
        QTest::newRow("a space in the name, dropped")
            << "Zodu Doza"
            << "1.0" << head + line("ZoduDoza", "1.1") << false;
        QTest::newRow("pattern characters, literal")
            << "Pair.well+"
            << "1.0" << head + line("Pair.well+", "2.0") << true;
        QTest::newRow("pattern characters, not a pattern")
            << "Pair.well+"
            << "1.0" << head + line("PairXwellll", "2.0") << false;
    }
    void versionLine()
    {
        QFETCH(QString, name);
        QFETCH(QString, running);
        QFETCH(QString, page);
        QFETCH(bool, offered);
        QCoreApplication::setApplicationName(name);
        QCoreApplication::setApplicationVersion(running);
        QVERIFY(check(page.toUtf8()));
        QCOMPARE(m_server.requests, QStringList{kPage});
        if (offered) {
            QCOMPARE(m_view->TLUPMess()->text(), name + QStringLiteral(": Update is available"));
            QVERIFY(m_view->TLUPNews()->isVisible());
        } else {
            QCOMPARE(m_view->TLUPMess()->text(), kBefore);
            QVERIFY(!m_view->TLUPNews()->isVisible());
        }
        QVERIFY(m_view->TLUPSpin()->isHidden());
    }

    void fetchFailure_data()
    {
        QTest::addColumn<QString>("blog");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString unreachable = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        QTest::newRow("unreachable") << unreachable << 200 << QByteArray();
        QTest::newRow("404") << QString() << 404 << QByteArray("gone");
        QByteArray huge((1 << 20) + 1, 'x');
        huge += line("Pairwell", "9.0").toUtf8();
        QTest::newRow("over 1 MiB") << QString() << 200 << huge;
    }
    void fetchFailure()
    {
        QFETCH(QString, blog);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        if (!blog.isEmpty())
            updatenames::setBases(blog, m_server.base());
        m_server.serve(kPage, {status, body, false});
        QSignalSpy settled(m_view.get(), &MendView::settled);
        m_view->TLUPVers();
        QVERIFY(settled.wait(20000));
        QCOMPARE(m_view->TLUPMess()->text(), QStringLiteral("Error. Try later."));
        QVERIFY(!m_view->TLUPNews()->isVisible());
    }

    void notUtf8FailsTheFetch()
    {
        QByteArray page = ("<p>" + line("Pairwell", "2.0")).toUtf8();
        page.insert(1, "\xff\xfe");
        QVERIFY(check(page));
        QCOMPARE(m_view->TLUPMess()->text(), QStringLiteral("Error. Try later."));
        QVERIFY(!m_view->TLUPNews()->isVisible());
    }

    void noticeStaysAfterEmptyCheck()
    {
        QVERIFY(check(("<p>" + line("Pairwell", "1.1")).toUtf8()));
        QCOMPARE(m_view->TLUPMess()->text(), QStringLiteral("Pairwell: Update is available"));
        m_view->TLUPNews()->hide();
        QVERIFY(check(("<p>" + line("Pairwell", "1.0")).toUtf8()));
        QCOMPARE(m_view->TLUPMess()->text(), QStringLiteral("Pairwell: Update is available"));
        QVERIFY(!m_view->TLUPNews()->isVisible());
    }

    void checkButtonRunsTheCheck()
    {
        m_server.serve(kPage, {200, ("<p>" + line("Pairwell", "1.1")).toUtf8(), false});
        auto* button = m_view->findChild<QPushButton*>(QStringLiteral("check"));
        QVERIFY(button);
        m_view->show();
        QSignalSpy settled(m_view.get(), &MendView::settled);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(settled.wait(20000));
        QCOMPARE(m_view->TLUPMess()->text(), QStringLiteral("Pairwell: Update is available"));
        QVERIFY(m_view->TLUPNews()->isVisible());
        QVERIFY(!m_view->TLUPPush()->isHidden());
    }

private:
    /// Serves \a page as the update page and runs one check to its end.
    bool check(const QByteArray& page)
    {
        m_server.clear();
        m_server.serve(kPage, {200, page, false});
        QSignalSpy settled(m_view.get(), &MendView::settled);
        m_view->TLUPVers();
        return settled.wait(20000);
    }

    MendServer m_server;
    std::unique_ptr<MendView> m_view;
};

PAIRWELL_TEST_MAIN(TestMendCheck)
#include "tst_mendcheck.moc"
