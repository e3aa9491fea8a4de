#include "Card.h"

#include <QAccessible>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QPropertyAnimation>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
/// How long a card takes to turn over.
constexpr int kFlipMs = 150;
/// One frame at 60 Hz.
constexpr int kFrameMs = 16;
} // namespace

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

void Card::setImage(const QImage& image, int face, Change change)
{
    if (change == Flip && isVisible()) {
        if (!m_flip) {
            m_flip = new QPropertyAnimation(this, "turnover", this);
            m_flip->setEndValue(1.0);
        }
        // In its first half a running flip still narrows the old picture and simply opens on
        // the new one. Otherwise the card turns away from what is on view, from its width now.
        if (!isFlipping() || m_turnover >= 0.5) {
            const qreal from = isFlipping() ? 1 - m_turnover : 0;
            m_before = m_image;
            m_beforeScaled = m_scaled;
            m_flip->stop();
            m_flip->setStartValue(from);
            m_flip->setDuration(qRound(kFlipMs * (1 - from)));
            m_flip->start();
            // The frame painted right after the click already shows the card turning, rather
            // than the old picture once more.
            m_flip->setCurrentTime(qMin(kFrameMs, m_flip->duration()));
        }
    } else {
        if (m_flip)
            m_flip->stop();
        m_turnover = 1;
        m_before = QImage();
        m_beforeScaled = QPixmap();
    }
    m_image = image;
    m_face = face;
    m_scaled = QPixmap();
    describe();
    update();
    emit imageChanged();
}

void Card::setMark(Mark mark)
{
    if (mark == m_mark)
        return;
    m_mark = mark;
    update();
}

void Card::setTurnover(qreal turnover)
{
    m_turnover = turnover;
    if (m_turnover >= 1) {
        m_before = QImage();
        m_beforeScaled = QPixmap();
    }
    update();
}

QSize Card::sizeHint() const
{
    return {128, 128};
}

QSize Card::minimumSizeHint() const
{
    return {40, 40};
}

QRect Card::imageRect(const QImage& image) const
{
    // A small margin keeps the focus frame and the gaps between cards visible.
    const int margin = qMax(3, qMin(width(), height()) / 32);
    const QRect area = rect().adjusted(margin, margin, -margin, -margin);
    if (image.isNull() || area.isEmpty())
        return area;
    QSize size = image.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(), size);
    target.moveCenter(area.center());
    return target;
}

void Card::resizeEvent(QResizeEvent* event)
{
    m_scaled = QPixmap();
    m_beforeScaled = QPixmap();
    QAbstractButton::resizeEvent(event);
}

QPixmap Card::scaled(const QImage& image, const QRect& target, QPixmap& cache) const
{
    // Scaled from the full image straight to device pixels, so a high-density screen gets
    // every pixel the image has.
    const qreal dpr = devicePixelRatioF();
    const QSize pixels = (QSizeF(target.size()) * dpr).toSize();
    if (cache.isNull() || cache.size() != pixels) {
        // All covered cards share one image, so they share its scaled copy as well.
        const QString key = QStringLiteral("pairwell-card-%1-%2x%3")
                                .arg(image.cacheKey())
                                .arg(pixels.width())
                                .arg(pixels.height());
        if (!QPixmapCache::find(key, &cache)) {
            cache = QPixmap::fromImage(
                image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            QPixmapCache::insert(key, cache);
        }
        cache.setDevicePixelRatio(dpr);
    }
    return cache;
}

void Card::paintPicture(QPainter& painter)
{
    // The first half of a flip narrows the old picture to the card's edge, the second opens
    // the new one from it.
    const bool before = m_turnover < 0.5;
    const QImage& image = before ? m_before : m_image;
    const QRect target = imageRect(image);
    if (image.isNull() || target.isEmpty())
        return;
    const qreal width = qAbs(1 - 2 * m_turnover);
    if (width < 0.02)
        return;
    painter.save();
    if (width < 1) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const qreal centre = QRectF(target).center().x();
        painter.translate(centre, 0);
        painter.scale(width, 1);
        painter.translate(-centre, 0);
    }
    painter.drawPixmap(target.topLeft(), scaled(image, target, before ? m_beforeScaled : m_scaled));
    if (!before)
        paintMark(painter, target);
    painter.restore();
}

void Card::paintMark(QPainter& painter, const QRectF& target) const
{
    if (m_mark == Unmarked)
        return;
    const QPalette& pal = palette();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal unit = qMax<qreal>(2, target.width() / 40);
    if (m_mark == Pending) {
        // A dashed frame, unlike the solid focus frame, on a solid underlay that keeps it
        // visible over any picture.
        const QRectF frame = target.adjusted(unit, unit, -unit, -unit);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(pal.color(QPalette::Base), unit * 2));
        painter.drawRoundedRect(frame, unit * 2, unit * 2);
        QPen dashes(pal.color(QPalette::Highlight), unit * 2, Qt::CustomDashLine, Qt::FlatCap);
        dashes.setDashPattern({2, 1.5});
        painter.setPen(dashes);
        painter.drawRoundedRect(frame, unit * 2, unit * 2);
        return;
    }
    // A found pair: faded towards the window's background, with a check in a disc.
    QColor veil = pal.color(QPalette::Window);
    veil.setAlpha(110);
    painter.fillRect(target, veil);
    const qreal radius = qMax<qreal>(7, target.width() / 8);
    const QPointF centre(target.right() - radius - unit, target.top() + radius + unit);
    painter.setPen(QPen(pal.color(QPalette::Base), unit));
    painter.setBrush(pal.color(QPalette::Highlight));
    painter.drawEllipse(centre, radius, radius);
    QPen tick(pal.color(QPalette::HighlightedText), qMax<qreal>(2, radius / 3.5), Qt::SolidLine,
              Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(tick);
    painter.setBrush(Qt::NoBrush);
    const qreal r = radius;
    painter.drawPolyline(
        QPolygonF({centre + QPointF(-0.45 * r, 0.02 * r), centre + QPointF(-0.12 * r, 0.35 * r),
                   centre + QPointF(0.48 * r, -0.32 * r)}));
}

void Card::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintPicture(painter);
    if (isDown()) {
        painter.fillRect(imageRect(m_image), QColor(0, 0, 0, 40));
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
