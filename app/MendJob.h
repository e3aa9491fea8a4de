#pragma once

#include <QList>
#include <QLockFile>
#include <QLoggingCategory>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QProcess;
class QSaveFile;
class QUrl;

Q_DECLARE_LOGGING_CATEGORY(lcUpdate)

/// The fetches of the update pane, which all keep to a size cap and a deadline.
namespace mendjob {

/// How long a fetch may wait, in milliseconds: the page and the signature must have arrived
/// within it, the archive must bring bytes at least that often. Redirects do not restart it.
int deadline();
/// Replaces the deadline, for tests; 0 restores the built-in one.
void setDeadline(int milliseconds);

/// Starts a GET of \a url that is aborted past \a cap bytes or past the deadline; \a flowing
/// restarts the deadline whenever bytes arrive.
QNetworkReply* fetch(QNetworkAccessManager* network, const QUrl& url, qint64 cap, bool flowing);
/// Whether \a reply ended without an error, within its cap and its deadline; logs why not.
bool arrived(const QNetworkReply* reply);
/// The lock that copies of the game sharing this home take around an update.
QString updateLock();

} // namespace mendjob

/// One update, without any widget: downloads the archive and its signature into the
/// Downloads folder, verifies and unpacks it, and puts the new application in place of the
/// old one only when it is known to be a whole, signed Pairwell.
///
/// Whatever goes wrong, the installed application stays as it was and what this attempt
/// unpacked goes to the Trash, so the next attempt starts clean. Destroying the job at any
/// point ends a running fetch or unzip and leaves the old application in place.
class MendJob : public QObject
{
    Q_OBJECT

public:
    explicit MendJob(QObject* parent = nullptr);
    ~MendJob() override;

    /// Fetches the signature, then the archive into the archive path; emits downloaded().
    void download();
    /// Verifies, checks, unpacks and installs the downloaded archive; emits finished().
    void install();

signals:
    /// Bytes of the archive received so far, of \a total (-1 when unknown).
    void progress(qint64 received, qint64 total);
    /// The archive is written in full at the archive path.
    void downloaded();
    /// The job has ended: with the new application in place, or with nothing changed.
    void finished(bool installed);

private:
    /// Runs "/usr/bin/unzip" with \a arguments, away from any terminal and input.
    void unzip(const QStringList& arguments, std::function<void(const QByteArray&)> then);
    /// What the archive's listing tells.
    struct Listing
    {
        QStringList names;                   ///< every entry, in the archive's order
        QList<QPair<QString, qint64>> links; ///< the link entries with their sizes
        qint64 total = 0;                    ///< bytes once unpacked
    };
    /// Reads the output of "unzip -Z"; no names when any line cannot be read.
    static Listing readListing(const QByteArray& text);
    /// Why the archive with \a listing may not be unpacked; empty when it may.
    QString vetListing(const Listing& listing) const;
    /// Unpacks the archive, whose entries are \a names, and installs what it holds.
    void unpack(const QStringList& names);
    /// Why the unpacked application may not replace the old one; empty when it may.
    QString vetUnpacked() const;
    /// Sends what stands at the top-level names in the Downloads folder to the Trash.
    bool clear(const QStringList& tops) const;
    /// Replaces the application in the Applications folder with the unpacked one.
    bool place();
    /// Ends the job with nothing installed.
    void fail(const QString& why);
    /// Sends what this attempt left in the Downloads folder to the Trash.
    void discard();

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QProcess> m_unzip;
    std::unique_ptr<QLockFile> m_lock; ///< held from the download to the end of the install
    QByteArray m_signature;
    QStringList m_tops; ///< top-level names that this attempt unpacked into Downloads
    bool m_written = false;
};
