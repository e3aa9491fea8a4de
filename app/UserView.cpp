#include "UserView.h"

#include "ImageWell.h"
#include "SetFiles.h"
#include "ui_UserView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QStylePainter>
#include <QtConcurrent>
#include <algorithm>

Q_LOGGING_CATEGORY(lcSets, "pairwell.sets")

namespace {
const char* const kNewSet = QT_TRANSLATE_NOOP("UserView", "Add New Set");

/// Writes a set's files; the reason it failed, or empty when every file is good.
QString writeAll(const QString& folder, const QList<QImage>& images,
                 const std::function<bool(int)>& onward)
{
    QString error;
    if (setfiles::writeSet(folder, images, &error, onward))
        return QString();
    return error.isEmpty() ? QStringLiteral("cannot write %1").arg(folder) : error;
}
} // namespace

UserView::UserView(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::UserView>())
{
    ui->setupUi(this);
    pops = ui->pops;
    c = {ui->c00, ui->c01, ui->c02, ui->c03, ui->c04, ui->c05,
         ui->c06, ui->c07, ui->c08, ui->c09, ui->c10};
    name = ui->name;
    chat = ui->chat;
    // Return in the name field saves and does nothing more: no button here may be a default
    // button that a dialog around the pane would press as well.
    for (auto* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
    // However long the names, the pop-up keeps its width and elides them.
    pops->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    pops->setMinimumContentsLength(16);
    pops->view()->setTextElideMode(Qt::ElideMiddle);
    pops->installEventFilter(this);
    // The bar shows only while a save runs; its place stays, so the status line keeps still.
    QSizePolicy keep = ui->saveBar->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ui->saveBar->setSizePolicy(keep);
    ui->saveBar->setRange(0, store::kImages);
    ui->saveBar->hide();
    connect(&m_saving, &QFutureWatcher<QString>::progressValueChanged, ui->saveBar,
            &QProgressBar::setValue);
    connect(&m_saving, &QFutureWatcher<QString>::finished, this, [this] {
        // A worker that ended without a result (it threw) counts as a failed save.
        saved(m_saving.future().resultCount() > 0 ? m_saving.result()
                                                  : QStringLiteral("the save ended short"));
    });
    list();
}

UserView::~UserView()
{
    if (m_savingFolder.isEmpty())
        return;
    // Closed or quit during a save: the worker stops after the file in hand, and the folder
    // goes with whatever it holds, since "book" never named it.
    m_saving.disconnect(this);
    QFuture<QString> future = m_saving.future();
    future.cancel();
    future.waitForFinished();
    setfiles::removeSet(m_savingFolder);
    qCWarning(lcSets).noquote() << "save abandoned:" << m_savingName;
}

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

void UserView::list(const QString& held)
{
    const int selected = pops->currentIndex();
    fill(store::hasBook() ? store::book() : QStringList{store::kDefaultSet});

    int index = selected;
    // Nothing is selected at the first fill: start on the set in use.
    if (index < 0 || index >= pops->count())
        index =
            qMax(0, pops->findText(store::usedName(), Qt::MatchExactly | Qt::MatchCaseSensitive));
    pops->setCurrentIndex(index);
    if (held.isEmpty() || pops->currentText() != held) {
        load();
        return;
    }
    // Reading the files back would only stall the window: the save checked them pixel for
    // pixel against what the wells hold.
    pops->setToolTip(held);
    name->setText(held);
}

void UserView::load()
{
    if (onNewSetItem()) {
        for (const auto& well : c)
            well->clear();
        name->clear();
        pops->setToolTip(QString());
        return;
    }
    const QString title = pops->currentText();
    pops->setToolTip(title);
    const QString folder = store::folder(title);
    for (int i = 0; i < store::kImages; ++i) {
        if (!c[i]->setImageFromFile(store::imageFile(folder, i)))
            c[i]->clear();
    }
    name->setText(title);
}

void UserView::save()
{
    if (!m_savingFolder.isEmpty())
        return;
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
    if (store::book().contains(text)) {
        say(QT_TR_NOOP("Already Exists"));
        return;
    }
    // The folder is made exclusively: of two copies of the game saving one name, the second
    // finds it taken. Files under a name that "book" lacks are left-overs, or another set's
    // folder on a file system that ignores letter case: not ours to overwrite either way.
    const QString folder = store::folder(text);
    const setfiles::Made made = setfiles::makeFolder(folder);
    if (made != setfiles::Made::Made) {
        qCWarning(lcSets).noquote() << "cannot make the folder" << folder;
        say(made == setfiles::Made::Exists ? QT_TR_NOOP("Already Exists")
                                           : QT_TR_NOOP("Error. Could not save"));
        return;
    }

    QList<QImage> images;
    for (const auto& well : c)
        images << well->image();
    m_savingFolder = folder;
    m_savingName = text;
    busy(true);
    // Encoding, writing and checking eleven photos takes about a second: it runs on a worker,
    // which gets copies of the images and touches no widget and no setting.
    m_saving.setFuture(QtConcurrent::run([folder, images](QPromise<QString>& promise) {
        promise.setProgressRange(0, store::kImages);
        promise.addResult(writeAll(folder, images, [&promise](int done) {
            promise.setProgressValue(done);
            return !promise.isCanceled();
        }));
    }));
}

void UserView::saved(const QString& error)
{
    const QString folder = std::exchange(m_savingFolder, QString());
    const QString text = std::exchange(m_savingName, QString());
    busy(false);
    bool listed = false;
    const auto added = error.isEmpty()
                           ? store::change(store::kBook,
                                           [&](const QVariant& now) -> std::optional<QVariant> {
                                               QStringList names = now.toStringList();
                                               if ((listed = names.contains(text)))
                                                   return std::nullopt;
                                               qCInfo(lcSets).noquote() << text;
                                               names << text;
                                               qCInfo(lcSets) << names;
                                               return names;
                                           })
                           : store::Outcome::Failed;
    // Only a set whose every file is on disk joins "book", and only a set in "book" keeps its
    // folder.
    if (added != store::Outcome::Written) {
        if (!error.isEmpty())
            qCWarning(lcSets).noquote() << error;
        setfiles::removeSet(folder);
        say(listed ? QT_TR_NOOP("Already Exists") : QT_TR_NOOP("Error. Could not save"));
        return;
    }
    say(QT_TR_NOOP("Saved"));
    list(text);
}

void UserView::busy(bool saving)
{
    if (saving)
        m_focus = QApplication::focusWidget();
    for (QWidget* control :
         std::initializer_list<QWidget*>{pops, ui->usesButton, ui->wipeButton, name, ui->save})
        control->setEnabled(!saving);
    for (const auto& well : c)
        well->setEnabled(!saving);
    ui->saveBar->setValue(0);
    ui->saveBar->setVisible(saving);
    // Disabling pushed the focus out of the pane; it goes back unless the player moved on.
    if (!saving && m_focus && m_focus->isVisible() && isActiveWindow())
        m_focus->setFocus();
}

void UserView::wipe()
{
    if (store::book().size() < 2) {
        say(QT_TR_NOOP("At Least, One set is required."));
        return;
    }
    if (onNewSetItem())
        return;

    // The entry goes by the selected title, from "book" as it is on disk now: another copy
    // of the game may have changed it since the pop-up was filled.
    const QString title = pops->currentText();
    bool few = false;
    const auto removed =
        store::change(store::kBook, [&](const QVariant& now) -> std::optional<QVariant> {
            QStringList names = now.toStringList();
            if ((few = names.size() < 2) || !names.removeOne(title))
                return std::nullopt;
            return names;
        });
    if (removed == store::Outcome::Failed) {
        say(QT_TR_NOOP("Error. Could not delete the set"));
        return;
    }
    if (removed == store::Outcome::Unchanged) {
        if (few)
            say(QT_TR_NOOP("At Least, One set is required."));
        list();
        return;
    }
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
    if (!store::setUsed(pops->currentText())) {
        say(QT_TR_NOOP("Error. Could not change the set in use"));
        return;
    }
    say(QT_TR_NOOP("Will be Valid in the Next Game"));
}

void UserView::refresh()
{
    // A save in progress rebuilds the list when it ends.
    if (!m_savingFolder.isEmpty())
        return;
    QStringList shown;
    for (int i = 0; i + 1 < pops->count(); ++i)
        shown << pops->itemText(i);
    const QStringList names = store::hasBook() ? store::book() : QStringList{store::kDefaultSet};
    if (shown == names)
        return;
    // Keep what the player is doing: the set on view if it still exists, or the wells being
    // filled for a new set.
    const bool newSet = onNewSetItem();
    const QString title = pops->currentText();
    fill(names);
    // A set on view that another copy deleted meanwhile leaves its pictures and name in the
    // pane as a new set, so nothing the player was doing is lost.
    const int at = names.indexOf(title);
    pops->setCurrentIndex(newSet || at < 0 ? pops->count() - 1 : at);
}

void UserView::fill(const QStringList& names)
{
    pops->clear();
    for (const QString& title : names) {
        pops->addItem(title);
        // Long titles are elided on screen; the whole name stays within reach.
        pops->setItemData(pops->count() - 1, title, Qt::ToolTipRole);
        pops->setItemData(pops->count() - 1, title, Qt::AccessibleTextRole);
    }
    pops->addItem(newSetTitle());
}

bool UserView::eventFilter(QObject* watched, QEvent* event)
{
    // The closed pop-up would cut a long title off at its edge; it shows it elided instead.
    if (watched != pops || event->type() != QEvent::Paint)
        return QWidget::eventFilter(watched, event);
    QStylePainter painter(pops);
    QStyleOptionComboBox option;
    option.initFrom(pops);
    option.subControls = QStyle::SC_All;
    option.frame = true;
    option.currentText = pops->currentText();
    const QRect field = pops->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, pops);
    option.currentText =
        pops->fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, field.width());
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    return true;
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
