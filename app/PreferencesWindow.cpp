#include "PreferencesWindow.h"

#include "MendView.h"
#include "UserView.h"

#include <QEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

PreferencesWindow::PreferencesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("preferences"));
    m_tabs = new QTabWidget(this);
    m_userView = new UserView(m_tabs);
    m_mendView = new MendView(m_tabs);
    m_tabs->addTab(m_userView, QString());
    m_tabs->addTab(m_mendView, QString());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    // A dialog presses its default button on Return, even from a text field; here Return
    // belongs to the field that has it (the set name saves), so no button is a default one.
    for (auto* button : findChildren<QPushButton*>()) {
        if (button->window() == this)
            button->setAutoDefault(false);
    }
    retranslate();
}

UserView* PreferencesWindow::userView() const
{
    return m_userView;
}

MendView* PreferencesWindow::mendView() const
{
    return m_mendView;
}

void PreferencesWindow::showPane(Pane pane)
{
    m_tabs->setCurrentIndex(pane == CardFaces ? 0 : 1);
    show();
    raise();
    activateWindow();
}

void PreferencesWindow::checkForUpdates()
{
    m_mendView->TLUPVers();
}

void PreferencesWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

bool PreferencesWindow::event(QEvent* event)
{
    // Another copy of the game may have saved or deleted a set meanwhile.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        m_userView->refresh();
    return QDialog::event(event);
}

void PreferencesWindow::retranslate()
{
    setWindowTitle(tr("Preferences"));
    m_tabs->setTabText(0, tr("Card Faces"));
    m_tabs->setTabText(1, tr("Updates"));
}
