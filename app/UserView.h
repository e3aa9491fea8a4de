#pragma once

#include "Store.h"

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
    /// Rebuilds the pop-up from "book", keeps the selected position and shows the selection.
    void list();
    /// Shows the selected set's images and name, or empty wells for the new-set item.
    void load();
    /// Stores the wells' images as a new set under the name in the name field.
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

    std::unique_ptr<Ui::UserView> ui;

    // Outlets into the form. The Save button has none: nothing reads or changes it.
    QPointer<QComboBox> pops; ///< the sets, in "book" order, then the new-set item
    std::array<QPointer<ImageWell>, store::kImages> c; ///< the wells c00 to c10, by index
    QPointer<QLineEdit> name;                          ///< the set's name
    QPointer<QLabel> chat;                             ///< the status line

    const char* m_said = nullptr; ///< English text of the status line, so it can follow a
                                  ///< change of language
};
