#include "Card.h"

#include <QAccessible>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOptionFocusRect>

Card::Card(QWidget* parent) : QAbstractButton(parent)
{
    // The board is one Tab stop: only the card that last had the focus takes Tab, and the
    // first card made starts as that one.
    bool first = true;
    if (parent) {
        for (const Card* other : parent->findChildren<Card*>(QString(), Qt::FindDirectChildrenOnly))
            first = first && (other == this || !(other->focusPolicy() & Qt::TabFocus));
    }
    setFocusPolicy(first ? Qt::StrongFocus : Qt::ClickFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::PointingHandCursor);
}

void Card::setImage(const QImage& image, int face)
{
    m_image = image;
    m_face = face;
    m_scaled = QPixmap();
    describe();
    update();
    emit imageChanged();
}

QSize Card::sizeHint() const
{
    return {128, 128};
}

QSize Card::minimumSizeHint() const
{
    return {40, 40};
}

QRect Card::imageRect() const
{
    // A small margin keeps the focus frame and the gaps between cards visible.
    const int margin = qMax(3, qMin(width(), height()) / 32);
    const QRect area = rect().adjusted(margin, margin, -margin, -margin);
    if (m_image.isNull() || area.isEmpty())
        return area;
    QSize size = m_image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(area.center());
    return target;
}

void Card::resizeEvent(QResizeEvent* event)
{
    m_scaled = QPixmap();
    QAbstractButton::resizeEvent(event);
}

void Card::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect target = imageRect();
    if (!m_image.isNull() && !target.isEmpty()) {
        const qreal dpr = devicePixelRatioF();
        const QSize pixels = target.size() * dpr;
        if (m_scaled.isNull() || m_scaled.size() != pixels) {
            // All covered cards share one image, so they share its scaled copy as well.
            const QString key = QStringLiteral("pairwell-card-%1-%2x%3")
                                    .arg(m_image.cacheKey())
                                    .arg(pixels.width())
                                    .arg(pixels.height());
            if (!QPixmapCache::find(key, &m_scaled)) {
                m_scaled = QPixmap::fromImage(
                    m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                QPixmapCache::insert(key, m_scaled);
            }
            m_scaled.setDevicePixelRatio(dpr);
        }
        painter.drawPixmap(target.topLeft(), m_scaled);
    }
    if (isDown()) {
        painter.fillRect(target, QColor(0, 0, 0, 40));
    }
    if (hasFocus()) {
        QPen pen(palette().color(QPalette::Highlight), qMax(2, width() / 40));
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing);
        const int inset = pen.width() / 2 + 1;
        painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 6, 6);
    }
}

bool Card::event(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        describe();
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    }
    return QAbstractButton::event(event);
}

void Card::setPlay(bool turnable, bool found)
{
    if (turnable != m_turnable) {
        m_turnable = turnable;
        QAccessible::State changed;
        changed.disabled = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    if (found != m_found) {
        m_found = found;
        describe();
    }
}

QString Card::spokenName() const
{
    int row = 0, column = 0;
    const int number = property("tag").toInt() + 1;
    if (!position(&row, &column))
        return tr("Card %1").arg(number);
    return tr("Card %1, row %2, column %3").arg(number).arg(row + 1).arg(column + 1);
}

void Card::describe()
{
    QString text = tr("Face down");
    if (isFaceUp())
        text = m_found ? tr("Face %1, found").arg(m_face + 1) : tr("Face %1").arg(m_face + 1);
    // Every change reaches the screen reader as an event; a new deal must not send twenty.
    if (text != accessibleDescription())
        setAccessibleDescription(text);
}

bool Card::position(int* row, int* column) const
{
    auto* grid = parentWidget() ? qobject_cast<QGridLayout*>(parentWidget()->layout()) : nullptr;
    const int index = grid ? grid->indexOf(this) : -1;
    if (index < 0)
        return false;
    int rowSpan, columnSpan;
    grid->getItemPosition(index, row, column, &rowSpan, &columnSpan);
    return true;
}

bool Card::moveFocus(int key)
{
    int row, column;
    if (!position(&row, &column))
        return false;
    auto* grid = static_cast<QGridLayout*>(parentWidget()->layout());
    switch (key) {
    case Qt::Key_Home:
        column = 0;
        break;
    case Qt::Key_End:
        column = grid->columnCount() - 1;
        while (column > 0 && !grid->itemAtPosition(row, column))
            --column;
        break;
    case Qt::Key_Left:
        --column;
        break;
    case Qt::Key_Right:
        ++column;
        break;
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    default:
        return false;
    }
    QLayoutItem* item = grid->itemAtPosition(row, column);
    if (!item || !item->widget())
        return true; // at the edge of the board: the focus stays
    item->widget()->setFocus(Qt::TabFocusReason);
    return true;
}

void Card::focusInEvent(QFocusEvent* event)
{
    if (parentWidget()) {
        for (Card* other :
             parentWidget()->findChildren<Card*>(QString(), Qt::FindDirectChildrenOnly))
            other->setFocusPolicy(other == this ? Qt::StrongFocus : Qt::ClickFocus);
    }
    QAbstractButton::focusInEvent(event);
}

void Card::keyPressEvent(QKeyEvent* event)
{
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && moveFocus(event->key()))
        return;
    // Space is handled by the button itself; Enter turns the card too.
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
