#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QDialog;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QProgressBar;
class QPushButton;

namespace Ui {
class MendView;
class MendNews;
} // namespace Ui

/// The update pane: checks the maker's page for a newer version and, on request, downloads
/// it and installs it in place of the application in the Applications folder.
///
/// Every name and address comes from the name table (TLUPBook). Fetches run in the
/// background, so the window keeps responding; the install never leaves the player without
/// an application.
class MendView : public QWidget
{
    Q_OBJECT

public:
    explicit MendView(QWidget* parent = nullptr);
    ~MendView() override;

    /// The name table's value for \a key ("apps", "lows", "down", "zips", "blog", "site").
    QString TLUPBook(const QString& key) const;

    /// The panel that offers the update.
    QDialog* TLUPNews() const;
    /// The status text; every message replaces its whole text.
    QLabel* TLUPMess() const;
    /// The progress bar that runs while an update is downloaded and installed.
    QProgressBar* TLUPSpin() const;
    /// The button that starts the download; hidden for good once it has been used.
    QPushButton* TLUPPush() const;

public slots:
    /// Reads the update page and, when it publishes a newer version, says so in the status
    /// text and brings the panel to the front.
    void TLUPVers();
    /// Hides the download button, downloads the update archive into the Downloads folder and
    /// then installs it.
    void TLUPSave();

signals:
    /// A check, or a download with its install, has come to its end, whatever the outcome.
    void settled();

protected:
    void changeEvent(QEvent* event) override;

private:
    /// Installs the downloaded archive: checks it, unpacks it, sends the old application to
    /// the Trash and moves the new one into the Applications folder.
    void TLUPFile();

    /// Finds the version line in the page \a text and, when it publishes a newer version than
    /// the running one, shows the notice and the panel.
    void judge(const QString& text);
    /// Runs "/usr/bin/unzip" with \a arguments and hands its success and output to \a then.
    void unzip(const QStringList& arguments, std::function<void(bool, const QByteArray&)> then);
    /// Whether every entry of the archive listing \a names stays inside the Downloads folder.
    bool contained(const QByteArray& names) const;
    /// Replaces the application in the Applications folder with the unpacked one.
    bool place();
    /// Ends a download or install that went wrong: stops the bar and shows the error text.
    void fail(const QString& why);
    /// Names the running application and its version in the pane.
    void showRunning();
    /// Stops the progress bar.
    void stopSpin();
    /// Aborts \a reply once it brings more than \a limit bytes.
    void cap(QNetworkReply* reply, qint64 limit);

    std::unique_ptr<Ui::MendView> m_ui;
    std::unique_ptr<Ui::MendNews> m_newsUi;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_download; ///< the archive download on its way, if any

    // Outlets, from the two forms.
    QPointer<QDialog> m_news;
    QPointer<QLabel> m_mess;
    QPointer<QProgressBar> m_spin;
    QPointer<QPushButton> m_push;
};
