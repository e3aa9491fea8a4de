#pragma once

#include "Store.h"

#include <QFutureWatcher>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class ImageWell;
class QComboBox;
class QLabel;
class QLineEdit;

namespace Ui {
class UserView;
}

/// The preferences pane that edits the card-face sets.
///
/// The pane keeps no model of its own: the list of sets is the pop-up's items, rebuilt from
/// "book" after every change, the images are what the eleven wells hold and the name is the
/// name field's text. Each operation reports its outcome as one message in the status line.
class UserView : public QWidget
{
    Q_OBJECT

public:
    explicit UserView(QWidget* parent = nullptr);
    ~UserView() override;

    /// The title of the pop-up's last item, which starts a new set, in the current language.
    static QString newSetTitle();
    /// Whether a new set may be saved under \a name: a plain folder name that is not the
    /// new-set item's title, in English or in the current language.
    static bool isValidName(const QString& name);

public slots:
    /// Rebuilds the pop-up from "book", keeps the selected position and shows the selection;
    /// a selection of \a held, the set the wells hold already, is not read from disk again.
    void list(const QString& held = QString());
    /// Shows the selected set's images and name, or empty wells for the new-set item.
    void load();
    /// Stores the wells' images as a new set under the name in the name field. In the
    /// background, the pane's controls wait for the files and the outcome follows later.
    void save();
    /// Deletes the selected set: its entry in "book" and its folder.
    void wipe();
    /// Makes the selected set the one the game shows.
    void uses();
    /// Brings the pop-up up to date with "book" should another copy of the game have changed
    /// it, keeping the selection and what the wells hold.
    void refresh();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Whether the new-set item is selected; it is known by its position, always the last.
    bool onNewSetItem() const;
    /// Fills the pop-up with \a names and the new-set item.
    void fill(const QStringList& names);
    /// Shows the translation of \a message as the whole status line.
    void say(const char* message);
    /// Locks the pane's controls and shows the progress bar while a save runs, or undoes it.
    void busy(bool saving);
    /// Ends a save once its files are written, \a error empty when all are good: only then
    /// does "book" gain the name.
    void saved(const QString& error);

    std::unique_ptr<Ui::UserView> ui;

    // Outlets into the form. The Save button has none: nothing reads or changes it.
    QPointer<QComboBox> pops; ///< the sets, in "book" order, then the new-set item
    std::array<QPointer<ImageWell>, store::kImages> c; ///< the wells c00 to c10, by index
    QPointer<QLineEdit> name;                          ///< the set's name
    QPointer<QLabel> chat;                             ///< the status line

    /// The save in the background: its result is the reason it failed, empty when every
    /// file is good.
    QFutureWatcher<QString> m_saving;
    QString m_savingFolder; ///< the folder being written, empty when no save runs
    QString m_savingName;
    QPointer<QWidget> m_focus; ///< what had the focus when the save began

    const char* m_said = nullptr; ///< English text of the status line, so it can follow a
                                  ///< change of language
};
