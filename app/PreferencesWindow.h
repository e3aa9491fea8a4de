#pragma once

#include <QDialog>
#include <QPointer>

class QTabWidget;
class UserView;
class MendView;

/// The preferences window: the card-face set editor and the update pane, one tab each.
class PreferencesWindow : public QDialog
{
    Q_OBJECT

public:
    enum Pane
    {
        CardFaces,
        Updates
    };

    explicit PreferencesWindow(QWidget* parent = nullptr);

    /// Brings the window to the front with \a pane on view.
    void showPane(Pane pane);
    /// Starts the update check of the update pane.
    void checkForUpdates();

    UserView* userView() const;
    MendView* mendView() const;

protected:
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void retranslate();

    QTabWidget* m_tabs = nullptr;
    QPointer<UserView> m_userView;
    QPointer<MendView> m_mendView;
};
