#include "Card.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

Card::Card(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setCursor(Qt::PointingHandCursor);
}

void Card::setImage(const QImage& image, int face)
{
    m_image = image;
    m_face = face;
    m_scaled = QPixmap();
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
            m_scaled = QPixmap::fromImage(
                m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
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

void Card::keyPressEvent(QKeyEvent* event)
{
    // Space is handled by the button itself; Enter turns the card too.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
