#include "MendView.h"

#include "MendJob.h"
#include "UpdateNames.h"
#include "Version.h"
#include "ui_MendNews.h"
#include "ui_MendView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStringDecoder>
#include <optional>

namespace {
constexpr qint64 kPageCap = 1 << 20; // an update page is a short text

/// The fetched page as text; nothing when the fetch failed or the bytes are not UTF-8.
std::optional<QString> pageText(QNetworkReply* reply)
{
    if (!mendjob::arrived(reply))
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(reply->readAll());
    if (decoder.hasError()) {
        qCWarning(lcUpdate) << "the update page is not UTF-8";
        return std::nullopt;
    }
    return text;
}
} // namespace

MendView::MendView(QWidget* parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::MendView>()),
      m_newsUi(std::make_unique<Ui::MendNews>()), m_network(new QNetworkAccessManager(this))
{
    m_ui->setupUi(this);
    m_news = new QDialog(this);
    m_newsUi->setupUi(m_news);
    m_mess = m_ui->TLUPMess;
    m_spin = m_ui->TLUPSpin;
    m_push = m_newsUi->TLUPPush;
    m_spin->hide();
    showRunning();
    connect(m_push, &QPushButton::clicked, this, &MendView::TLUPSave);
}

MendView::~MendView()
{
    // Ends a running fetch or unzip now, while the pane it reports to still stands.
    if (m_check)
        m_check->disconnect(this);
    if (m_job) {
        m_job->disconnect(this);
        delete m_job;
    }
}

QDialog* MendView::TLUPNews() const
{
    return m_news;
}

QLabel* MendView::TLUPMess() const
{
    return m_mess;
}

QProgressBar* MendView::TLUPSpin() const
{
    return m_spin;
}

QPushButton* MendView::TLUPPush() const
{
    return m_push;
}

QString MendView::TLUPBook(const QString& key) const
{
    return updatenames::entry(key);
}

void MendView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        m_ui->retranslateUi(this);
        showRunning();
        if (m_news)
            m_newsUi->retranslateUi(m_news);
    }
    QWidget::changeEvent(event);
}

void MendView::showRunning()
{
    m_ui->running->setText(
        tr("This is %1 %2.")
            .arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
}

void MendView::TLUPVers()
{
    if (m_check)
        return; // the check under way answers this one too
    if (!m_job)
        spinBusy(tr("Checking for updates…"));
    QNetworkReply* reply =
        mendjob::fetch(m_network, QUrl(updatenames::pageAddress()), kPageCap, false);
    m_check = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (!m_job)
            stopSpin();
        if (const std::optional<QString> text = pageText(reply))
            judge(*text);
        else if (m_mess)
            m_mess->setText(tr("Error. Try later."));
        emit settled();
    });
}

void MendView::judge(const QString& text)
{
    const QString apps = TLUPBook(QStringLiteral("apps"));
    const QRegularExpression line(updatenames::versionPattern(apps));
    if (!line.isValid())
        return;
    const QRegularExpressionMatch first = line.match(text);
    if (!first.hasMatch())
        return;
    const QString published = first.captured(1);
    if (!version::newer(published, QCoreApplication::applicationVersion()))
        return;
    qCInfo(lcUpdate).noquote() << "published:" << published;
    if (m_mess)
        m_mess->setText(QStringLiteral("%1: %2").arg(apps, tr("Update is available")));
    if (m_news) {
        m_newsUi->news->setText(tr("%1 %2 is published. Download and install it now? It runs "
                                   "from the next launch.")
                                    .arg(apps, version::segments(published).join(u'.')));
        // A failed attempt may be tried again; only a download under way hides the button.
        if (m_push)
            m_push->setVisible(!m_job);
        m_news->show();
        m_news->raise();
        m_news->activateWindow();
    }
}

void MendView::TLUPSave()
{
    if (m_push)
        m_push->hide();
    if (m_job)
        return; // one download at a time
    spinBusy(QString());
    m_job = new MendJob(this);
    connect(m_job, &MendJob::progress, this, &MendView::showProgress);
    connect(m_job, &MendJob::downloaded, this, &MendView::TLUPFile);
    connect(m_job, &MendJob::finished, this, &MendView::conclude);
    m_job->download();
}

void MendView::TLUPFile()
{
    if (!m_job)
        return;
    spinBusy(QString());
    m_job->install();
}

void MendView::showProgress(qint64 received, qint64 total)
{
    if (!m_spin)
        return;
    const QLocale locale;
    if (total > 0 && total <= INT_MAX) {
        m_spin->setRange(0, int(total));
        m_spin->setValue(int(qMin(received, total)));
        m_spin->setFormat(
            tr("%1 of %2")
                .arg(locale.formattedDataSize(received), locale.formattedDataSize(total)));
    } else {
        m_spin->setFormat(tr("%1 received").arg(locale.formattedDataSize(received)));
    }
}

void MendView::conclude(bool installed)
{
    m_job->deleteLater();
    m_job = nullptr;
    stopSpin();
    if (m_mess)
        m_mess->setText(installed ? tr("Done. Updated Version Will Run in The Next Launch.")
                                  : tr("Error. Try later."));
    emit settled();
}

void MendView::spinBusy(const QString& text)
{
    if (!m_spin)
        return;
    m_spin->setRange(0, 0);
    m_spin->setFormat(text);
    m_spin->setAccessibleDescription(text);
    m_spin->show();
}

void MendView::stopSpin()
{
    if (!m_spin)
        return;
    m_spin->setRange(0, 1);
    m_spin->reset();
    m_spin->hide();
}
