#include "Access.h"

#include "Card.h"
#include "ImageWell.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>

namespace {

/// The words a status line last handed to assistive technology. It is a notification to the
/// screen reader, which speaks it when it shows; inside a status line it is read without
/// its role.
class Herald : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    /// Sends the queued words as one notification.
    void speak()
    {
        said = queued.join(QLatin1Char('\n'));
        queued.clear();
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

    QString said;       ///< what the last notification said
    QStringList queued; ///< said together at the next pass of the event loop
};

Herald* heraldOf(const QWidget* line, bool make)
{
    auto* herald = line->findChild<Herald*>(QString(), Qt::FindDirectChildrenOnly);
    if (!herald && make)
        herald = new Herald(const_cast<QWidget*>(line));
    return herald;
}

class HeraldAccess : public QAccessibleObject
{
public:
    explicit HeraldAccess(Herald* herald) : QAccessibleObject(herald) {}

    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(object()->parent());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Herald*>(object())->said : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }
    QRect rect() const override { return parent() ? parent()->rect() : QRect(); }
};

/// A label read as text: the role the form gives it, the label's text as its name and through
/// the text interface, and for a status line the herald as its last child.
class TextLine : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    TextLine(QLabel* label, QAccessible::Role role) : QAccessibleWidget(label, role) {}

    QLabel* label() const { return static_cast<QLabel*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && label()->accessibleName().isEmpty())
            return label()->text();
        return QAccessibleWidget::text(t);
    }

    int childCount() const override
    {
        return QAccessibleWidget::childCount() + (role() == QAccessible::StatusBar ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override
    {
        if (role() == QAccessible::StatusBar && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(heraldOf(label(), true));
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (child && child->object() && child->object() == heraldOf(label(), false))
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

    // Read-only text without a caret or selection.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override
    {
        const QString all = label()->text();
        if (end < 0 || end > all.size())
            end = all.size();
        return all.mid(start, qMax(0, end - start));
    }
    int characterCount() const override { return label()->text().size(); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }
};

/// A card: disabled while it cannot be turned, and offering Press only while it can.
class CardAccess : public QAccessibleWidget
{
public:
    explicit CardAccess(Card* card) : QAccessibleWidget(card, QAccessible::Button) {}

    Card* card() const { return static_cast<Card*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? card()->spokenName() : QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.disabled = state.disabled || !card()->isTurnable();
        return state;
    }
    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (card()->isTurnable())
            names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& name) override
    {
        if (name != pressAction())
            QAccessibleWidget::doAction(name);
        else if (card()->isTurnable())
            card()->click();
    }
};

/// An image well: a button whose Press opens the file chooser.
class WellAccess : public QAccessibleWidget
{
public:
    explicit WellAccess(ImageWell* well) : QAccessibleWidget(well, QAccessible::Button) {}

    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            static_cast<ImageWell*>(widget())->chooseFile();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessible::Role lineRole(const QObject* object)
{
    const QString role = object->property("accessibleTextRole").toString();
    if (role == QLatin1String("status"))
        return QAccessible::StatusBar;
    if (role == QLatin1String("label"))
        return QAccessible::StaticText;
    return QAccessible::NoRole;
}

QAccessibleInterface* makeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("Card"))
        return new CardAccess(static_cast<Card*>(object));
    if (className == QLatin1String("ImageWell"))
        return new WellAccess(static_cast<ImageWell*>(object));
    if (className == QLatin1String("Herald"))
        return new HeraldAccess(static_cast<Herald*>(object));
    if (className == QLatin1String("QLabel") && lineRole(object) != QAccessible::NoRole)
        return new TextLine(static_cast<QLabel*>(object), lineRole(object));
    return nullptr;
}

QAccessible::UpdateHandler previousHandler = nullptr;
void onUpdate(QAccessibleEvent* event);

/// Passes \a event on to whoever would have had it without onUpdate: the platform's bridge.
void forward(QAccessibleEvent* event)
{
    if (previousHandler) {
        previousHandler(event);
        return;
    }
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(onUpdate);
}

/// QLabel::setText reports only that the name changed (Qt's text control of a selectable
/// label sends the text itself); a status line also says its new text.
void onUpdate(QAccessibleEvent* event)
{
    forward(event);
    auto* label = qobject_cast<QLabel*>(event->object());
    if (event->type() == QAccessible::NameChanged && label &&
        lineRole(label) == QAccessible::StatusBar)
        access::announce(label, label->text());
}

} // namespace

namespace access {

void install()
{
    // Factories installed last are asked first, and QApplication installs the one for Qt's
    // own widgets, labels included.
    QAccessible::removeFactory(makeInterface);
    QAccessible::installFactory(makeInterface);
    static const bool handling = [] {
        previousHandler = QAccessible::installUpdateHandler(onUpdate);
        return true;
    }();
    Q_UNUSED(handling);
}

void announce(QWidget* line, const QString& text)
{
    if (!line || text.isEmpty())
        return;
    Herald* herald = heraldOf(line, true);
    if (herald->queued.contains(text))
        return;
    herald->queued.append(text);
    if (herald->queued.size() == 1)
        QMetaObject::invokeMethod(herald, &Herald::speak, Qt::QueuedConnection);
}

QString announced(const QWidget* line)
{
    const Herald* herald = line ? heraldOf(line, false) : nullptr;
    return herald ? herald->said : QString();
}

} // namespace access

#include "Access.moc"
