#include "UserView.h"

#include "ImageWell.h"
#include "SetFiles.h"
#include "ui_UserView.h"

#include <QEvent>
#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcSets, "pairwell.sets")

namespace {
const char* const kNewSet = QT_TRANSLATE_NOOP("UserView", "Add New Set");
}

UserView::UserView(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::UserView>())
{
    ui->setupUi(this);
    pops = ui->pops;
    c = {ui->c00, ui->c01, ui->c02, ui->c03, ui->c04, ui->c05,
         ui->c06, ui->c07, ui->c08, ui->c09, ui->c10};
    name = ui->name;
    chat = ui->chat;
    list();
}

UserView::~UserView() = default;

QString UserView::newSetTitle()
{
    return tr(kNewSet);
}

bool UserView::isValidName(const QString& name)
{
    return setfiles::isFolderName(name) && name != QLatin1String(kNewSet) && name != newSetTitle();
}

bool UserView::onNewSetItem() const
{
    return pops->currentIndex() == pops->count() - 1;
}

void UserView::say(const char* message)
{
    m_said = message;
    chat->setText(tr(message));
}

void UserView::list()
{
    const int selected = pops->currentIndex();
    pops->clear();
    if (store::hasBook())
        pops->addItems(store::book());
    else
        pops->addItem(store::kDefaultSet);
    pops->addItem(newSetTitle());

    int index = selected;
    // Nothing is selected at the first fill: start on the set in use.
    if (index < 0 || index >= pops->count())
        index =
            qMax(0, pops->findText(store::usedName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    pops->setCurrentIndex(index);
    load();
}

void UserView::load()
{
    if (onNewSetItem()) {
        for (const auto& well : c)
            well->clear();
        name->clear();
        return;
    }
    const QString title = pops->currentText();
    const QString folder = store::folder(title);
    for (int i = 0; i < store::kImages; ++i) {
        if (!c[i]->setImageFromFile(store::imageFile(folder, i)))
            c[i]->clear();
    }
    name->setText(title);
}

void UserView::save()
{
    const QString text = name->text();
    const bool incomplete =
        text.isEmpty() || std::any_of(c.begin(), c.end(), [](const QPointer<ImageWell>& well) {
            return !well->hasImage();
        });
    if (incomplete) {
        say(QT_TR_NOOP("Info missing ..."));
        return;
    }
    if (!isValidName(text)) {
        say(QT_TR_NOOP("Invalid Name"));
        return;
    }

    qCInfo(lcSets) << (store::hasBook() ? "there's book" : "first book");
    QStringList names = store::book();
    if (names.contains(text)) {
        say(QT_TR_NOOP("Already Exists"));
        return;
    }
    // Files under a name that "book" lacks are left-overs, or another set's folder on a file
    // system that ignores letter case: either way they are not ours to overwrite.
    const QString folder = store::folder(text);
    if (setfiles::isTaken(folder)) {
        qCWarning(lcSets).noquote() << "something already stands at" << folder;
        say(QT_TR_NOOP("Already Exists"));
        return;
    }

    QList<QImage> images;
    for (const auto& well : c)
        images << well->image();
    QString error;
    if (!setfiles::writeSet(folder, images, &error)) {
        qCWarning(lcSets).noquote() << error;
        say(QT_TR_NOOP("Error. Could not save"));
        return;
    }

    // Only now that every image is on disk does the set join "book".
    qCInfo(lcSets).noquote() << text;
    names << text;
    qCInfo(lcSets) << names;
    store::setBook(names);
    say(QT_TR_NOOP("Saved"));
    list();
}

void UserView::wipe()
{
    QStringList names = store::book();
    if (names.size() < 2) {
        say(QT_TR_NOOP("At Least, One set is required."));
        return;
    }
    if (onNewSetItem())
        return;

    const int index = pops->currentIndex();
    const QString title = pops->currentText();
    // Should "book" have changed behind the pane's back, the position no longer names the
    // set on view; show the list as it now is rather than delete the wrong entry.
    if (index >= names.size() || names.at(index) != title) {
        list();
        return;
    }
    names.removeAt(index);
    store::setBook(names);
    say(QT_TR_NOOP("Removed"));

    // The folder goes by the selected title, never by the editable name field, and only
    // when the title names a folder directly inside the store root.
    const QString folder = store::folder(title);
    qCInfo(lcSets).noquote() << folder;
    if (!setfiles::isFolderName(title) || !setfiles::removeSet(folder))
        say(QT_TR_NOOP("Error. No Folder Exists"));
    list();
}

void UserView::uses()
{
    if (onNewSetItem())
        return;
    store::setUsed(pops->currentText());
    say(QT_TR_NOOP("Will be Valid in the Next Game"));
}

void UserView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        if (pops->count() > 0)
            pops->setItemText(pops->count() - 1, newSetTitle());
        if (m_said)
            chat->setText(tr(m_said));
    }
    QWidget::changeEvent(event);
}
