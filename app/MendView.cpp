#include "MendView.h"

#include "Platform.h"
#include "UpdateNames.h"
#include "Version.h"
#include "ui_MendNews.h"
#include "ui_MendView.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTimer>
#include <optional>

Q_LOGGING_CATEGORY(lcUpdate, "pairwell.update")

namespace {
const QString kUnzip = QStringLiteral("/usr/bin/unzip");
constexpr int kTimeout = 30 * 1000;             // a transfer gives up after 30 s without data
constexpr qint64 kPageCap = 1 << 20;            // an update page is a short text
constexpr qint64 kArchiveCap = qint64(1) << 29; // 512 MiB, far above any real release
constexpr char kOverCap[] = "pairwell.overCap";
// An encrypted archive makes unzip wait for a password on the terminal: give up on it.
constexpr int kUnzipLimit = 10 * 60 * 1000;

/// Whether \a reply ended without an error and within its size cap.
bool arrived(const QNetworkReply* reply)
{
    if (reply->error() == QNetworkReply::NoError && !reply->property(kOverCap).toBool())
        return true;
    qCWarning(lcUpdate).noquote() << reply->errorString();
    return false;
}

/// The fetched page as text; nothing when the fetch failed or the bytes are not UTF-8.
std::optional<QString> pageText(QNetworkReply* reply)
{
    if (!arrived(reply))
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

MendView::~MendView() = default;

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

void MendView::cap(QNetworkReply* reply, qint64 limit)
{
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, limit](qint64 received, qint64 total) {
                if (received > limit || total > limit) {
                    qCWarning(lcUpdate) << "too large, stopped:" << reply->url().toString();
                    // The last bytes may already be in: mark the reply so finished() fails it.
                    reply->setProperty(kOverCap, true);
                    reply->abort();
                }
            });
}

void MendView::TLUPVers()
{
    QNetworkRequest request{QUrl(updatenames::pageAddress())};
    request.setTransferTimeout(kTimeout);
    QNetworkReply* reply = m_network->get(request);
    cap(reply, kPageCap);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
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
        m_news->show();
        m_news->raise();
        m_news->activateWindow();
    }
}

void MendView::TLUPSave()
{
    if (m_push)
        m_push->hide();
    if (m_download)
        return; // one download at a time
    if (m_spin) {
        m_spin->setRange(0, 0);
        m_spin->setFormat(QString());
        m_spin->show();
    }

    const QString zips = TLUPBook(QStringLiteral("zips"));
    QNetworkRequest request{QUrl(updatenames::archiveAddress())};
    request.setTransferTimeout(kTimeout);
    QNetworkReply* reply = m_network->get(request);
    m_download = reply;
    cap(reply, kArchiveCap);
    // Written atomically: a broken download never leaves a file at the archive path.
    auto* archive = new QSaveFile(zips, reply);
    auto broken = std::make_shared<bool>(false);

    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (!m_spin)
            return;
        const QLocale locale;
        if (total > 0 && total <= kArchiveCap) {
            m_spin->setRange(0, int(total));
            m_spin->setValue(int(qMin(received, total)));
            m_spin->setFormat(
                tr("%1 of %2")
                    .arg(locale.formattedDataSize(received), locale.formattedDataSize(total)));
        } else {
            m_spin->setFormat(tr("%1 received").arg(locale.formattedDataSize(received)));
        }
    });
    connect(reply, &QNetworkReply::readyRead, this, [reply, archive, broken] {
        // The body of an error answer is no archive: leave it unread.
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (*broken || reply->error() != QNetworkReply::NoError || status < 200 || status > 299)
            return;
        if (!archive->isOpen()) {
            QDir().mkpath(QFileInfo(archive->fileName()).absolutePath());
            if (!archive->open(QIODevice::WriteOnly)) {
                qCWarning(lcUpdate).noquote() << archive->errorString();
                *broken = true;
                reply->abort();
                return;
            }
        }
        const QByteArray bytes = reply->readAll();
        if (archive->write(bytes) != bytes.size()) {
            qCWarning(lcUpdate).noquote() << archive->errorString();
            *broken = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, archive, broken, zips] {
        reply->deleteLater();
        if (!arrived(reply) || *broken) {
            archive->cancelWriting();
            return fail(QStringLiteral("the download of the archive failed"));
        }
        if (!archive->isOpen())
            return fail(QStringLiteral("the archive came back empty"));
        const qint64 written = archive->size();
        if (!archive->commit() || QFileInfo(zips).size() != written)
            return fail(QStringLiteral("cannot write ") + zips);
        TLUPFile();
    });
}

void MendView::unzip(const QStringList& arguments,
                     std::function<void(bool, const QByteArray&)> then)
{
    auto* process = new QProcess(this);
    process->setProgram(kUnzip);
    process->setArguments(arguments);
    process->setStandardInputFile(QProcess::nullDevice());
    auto done = std::make_shared<bool>(false);
    connect(process, &QProcess::finished, this,
            [process, then, done](int code, QProcess::ExitStatus status) {
                process->deleteLater();
                const bool ok = status == QProcess::NormalExit && code == 0;
                if (!ok)
                    qCWarning(lcUpdate).noquote()
                        << "unzip" << process->arguments().join(u' ') << "ended with" << code
                        << QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                *done = true;
                then(ok, process->readAllStandardOutput());
            });
    connect(process, &QProcess::errorOccurred, this,
            [process, then, done](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart || *done)
                    return;
                qCWarning(lcUpdate).noquote() << process->errorString();
                process->deleteLater();
                *done = true;
                then(false, QByteArray());
            });
    QTimer::singleShot(kUnzipLimit, process, &QProcess::kill);
    process->start();
}

bool MendView::contained(const QByteArray& names) const
{
    const QString down = TLUPBook(QStringLiteral("down"));
    const QStringList entries = QString::fromUtf8(names).split(u'\n', Qt::SkipEmptyParts);
    if (entries.isEmpty())
        return false;
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    for (const QString& entry : entries) {
        if (entry.startsWith(u'/') || entry.startsWith(u'\\') ||
            (entry.size() > 1 && entry.at(1) == u':')) {
            qCWarning(lcUpdate).noquote() << "absolute entry:" << entry;
            return false;
        }
        QString path = down;
        for (const QString& part : entry.split(separators, Qt::SkipEmptyParts)) {
            if (part == QLatin1String("..")) {
                qCWarning(lcUpdate).noquote() << "entry leaves the folder:" << entry;
                return false;
            }
            // A link left in the Downloads folder would carry the entry somewhere else.
            path += u'/' + part;
            if (QFileInfo(path).isSymLink()) {
                qCWarning(lcUpdate).noquote() << "entry passes a link:" << entry;
                return false;
            }
        }
    }
    return true;
}

void MendView::TLUPFile()
{
    const QString down = TLUPBook(QStringLiteral("down"));
    const QString zips = TLUPBook(QStringLiteral("zips"));
    if (m_spin)
        m_spin->setRange(0, 0);
    // Look at the entries before anything is unpacked: none may land outside Downloads.
    unzip({QStringLiteral("-Z1"), zips}, [this, down, zips](bool ok, const QByteArray& names) {
        if (!ok)
            return fail(QStringLiteral("not a readable zip archive: ") + zips);
        if (!contained(names))
            return fail(QStringLiteral("the archive would write outside ") + down);
        unzip({QStringLiteral("-o"), QStringLiteral("-d"), down, zips},
              [this, down, zips](bool unpacked, const QByteArray&) {
                  if (!unpacked)
                      return fail(QStringLiteral("cannot unpack ") + zips);
                  if (!place())
                      return fail(QStringLiteral("the application was not replaced"));
                  for (const QString& leftover : {zips, down + QStringLiteral("/__MACOSX")}) {
                      if (QFileInfo::exists(leftover) && !platform::moveToTrash(leftover))
                          qCWarning(lcUpdate).noquote() << "cannot move to the Trash:" << leftover;
                  }
                  stopSpin();
                  if (m_mess)
                      m_mess->setText(tr("Done. Updated Version Will Run in The Next Launch."));
                  qCInfo(lcUpdate) << "update installed";
                  emit settled();
              });
    });
}

bool MendView::place()
{
    const QString apps = TLUPBook(QStringLiteral("apps"));
    const QString unpacked =
        QStringLiteral("%1/%2.app").arg(TLUPBook(QStringLiteral("down")), apps);
    const QFileInfo fresh(unpacked);
    if (!fresh.isDir() || fresh.isSymLink()) {
        qCWarning(lcUpdate).noquote() << "the archive holds no" << apps + QStringLiteral(".app");
        return false;
    }

    const QString folder = platform::applicationsFolder();
    const bool made = !QFileInfo::exists(folder);
    if (!QDir().mkpath(folder)) {
        qCWarning(lcUpdate).noquote() << "cannot make" << folder;
        return false;
    }
    const auto undoFolder = [&] {
        if (made)
            QDir().rmdir(folder);
    };

    const QString destination = QStringLiteral("%1/%2.app").arg(folder, apps);
    const QFileInfo old(destination);
    QString trashed;
    if ((old.exists() || old.isSymLink()) && !platform::moveToTrash(destination, &trashed)) {
        qCWarning(lcUpdate).noquote() << "cannot move to the Trash:" << destination;
        undoFolder();
        return false;
    }
    if (QDir().rename(unpacked, destination))
        return true;

    qCWarning(lcUpdate).noquote() << "cannot move" << unpacked << "to" << destination;
    if (!trashed.isEmpty() && !platform::restoreFromTrash(trashed, destination))
        qCCritical(lcUpdate).noquote() << "the old application stays in the Trash:" << trashed;
    undoFolder();
    return false;
}

void MendView::stopSpin()
{
    if (!m_spin)
        return;
    m_spin->setRange(0, 1);
    m_spin->reset();
    m_spin->hide();
}

void MendView::fail(const QString& why)
{
    qCWarning(lcUpdate).noquote() << why;
    stopSpin();
    if (m_mess)
        m_mess->setText(tr("Error. Try later."));
    emit settled();
}
