#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class MendJob;
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
/// background, so the window keeps responding. The download and install steps live in
/// MendJob; the pane starts them and shows their outcome.
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
    /// The button that starts the download; hidden while a download runs.
    QPushButton* TLUPPush() const;

public slots:
    /// Reads the update page and, when it publishes a newer version, says so in the status
    /// text and brings the panel, with its download button, to the front.
    void TLUPVers();
    /// Hides the download button, downloads the update archive and its signature into the
    /// Downloads folder and then installs it.
    void TLUPSave();

signals:
    /// A check, or a download with its install, has come to its end, whatever the outcome.
    void settled();

protected:
    void changeEvent(QEvent* event) override;

private:
    /// Installs the downloaded archive: verifies its signature, checks and unpacks it, sends
    /// the old application to the Trash and moves the new one into the Applications folder.
    void TLUPFile();

    /// Finds the version line in the page \a text and, when it publishes a newer version than
    /// the running one, shows the notice and the panel.
    void judge(const QString& text);
    /// Shows the download's progress on the bar.
    void showProgress(qint64 received, qint64 total);
    /// Ends a download and install: stops the bar and shows its outcome.
    void conclude(bool installed);
    /// Names the running application and its version in the pane.
    void showRunning();
    /// Runs the bar without a measure, with \a text where the style shows it.
    void spinBusy(const QString& text);
    /// Stops the progress bar.
    void stopSpin();

    std::unique_ptr<Ui::MendView> m_ui;
    std::unique_ptr<Ui::MendNews> m_newsUi;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_check; ///< the page fetch on its way, if any
    QPointer<MendJob> m_job;         ///< the download and install under way, if any

    // Outlets, from the two forms.
    QPointer<QDialog> m_news;
    QPointer<QLabel> m_mess;
    QPointer<QProgressBar> m_spin;
    QPointer<QPushButton> m_push;
};
