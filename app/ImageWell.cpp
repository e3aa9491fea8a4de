#include "ImageWell.h"

#include "Store.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QStandardPaths>
#include <algorithm>

namespace {

/// Decodes the image that \a reader offers, at no more than ImageWell::kMaxSide.
QImage decode(QImageReader& reader)
{
    // Camera photos carry their orientation apart from the pixels.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // Asking the decoder for the smaller size spares decoding (and holding) every pixel of
    // a large photo, which JPEG can do at a fraction of the cost.
    if (size.isValid() && qMax(size.width(), size.height()) > ImageWell::kMaxSide)
        reader.setScaledSize(
            size.scaled(ImageWell::kMaxSide, ImageWell::kMaxSide, Qt::KeepAspectRatio));
    return ImageWell::fitted(reader.read());
}

/// The MIME types of image data that the well can decode, such as "image/png".
bool isReadableImageType(const QString& format)
{
    return format.startsWith(QLatin1String("image/")) &&
           QImageReader::supportedMimeTypes().contains(format.toLatin1());
}

/// The one local file that \a mime names, or an empty string when it names none or several.
QString singleFile(const QMimeData* mime)
{
    const QList<QUrl> urls = mime->urls();
    return urls.size() == 1 && urls.first().isLocalFile() ? urls.first().toLocalFile() : QString();
}

/// The folder the file chooser opens in: where the last image was taken from.
QString& lastFolder()
{
    static QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return folder;
}

} // namespace

ImageWell::ImageWell(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    retranslate();
}

void ImageWell::setIndex(int index)
{
    m_index = index;
    retranslate();
    update();
}

void ImageWell::setImage(const QImage& image)
{
    m_image = fitted(image);
    m_scaled = QPixmap();
    retranslate();
    update();
    emit imageChanged();
}

QImage ImageWell::fitted(const QImage& image)
{
    if (qMax(image.width(), image.height()) <= kMaxSide)
        return image;
    return image.scaled(kMaxSide, kMaxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

bool ImageWell::setImageFromFile(const QString& path)
{
    QImageReader reader(path);
    const QImage image = decode(reader);
    if (image.isNull())
        return false;
    setImage(image);
    return true;
}

bool ImageWell::canTake(const QMimeData* mime)
{
    if (!mime)
        return false;
    if (mime->urls().size() > 1)
        return false;
    const QString file = singleFile(mime);
    if (!file.isEmpty() && QImageReader(file).canRead())
        return true;
    if (mime->hasImage())
        return true;
    const QStringList formats = mime->formats();
    return std::any_of(formats.begin(), formats.end(), isReadableImageType);
}

bool ImageWell::setImageFromMime(const QMimeData* mime)
{
    // Several files cannot go into one well; taking just one of them would surprise.
    if (!mime || mime->urls().size() > 1)
        return false;
    const QString file = singleFile(mime);
    if (!file.isEmpty() && setImageFromFile(file))
        return true;
    if (mime->hasImage()) {
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        if (!image.isNull()) {
            setImage(image);
            return true;
        }
    }
    for (const QString& format : mime->formats()) {
        if (!isReadableImageType(format))
            continue;
        QByteArray bytes = mime->data(format);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QImage image = decode(reader);
        if (!image.isNull()) {
            setImage(image);
            return true;
        }
    }
    return false;
}

void ImageWell::chooseFile()
{
    // A closed chooser lingers until it is deleted; only an open one is brought forward.
    for (auto* open : findChildren<QFileDialog*>()) {
        if (open->isVisible()) {
            open->raise();
            return;
        }
    }
    QStringList patterns;
    for (const QByteArray& suffix : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(suffix);
    auto* dialog = new QFileDialog(this, tr("Choose an Image"), lastFolder());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setNameFilters(
        {tr("Images (%1)").arg(patterns.join(QLatin1Char(' '))), tr("All Files (*)")});
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& path) {
        lastFolder() = QFileInfo(path).absolutePath();
        if (!setImageFromFile(path))
            QApplication::beep();
    });
    dialog->open();
}

void ImageWell::paste()
{
    if (!setImageFromMime(QApplication::clipboard()->mimeData()))
        QApplication::beep();
}

void ImageWell::retranslate()
{
    const bool cover = m_index == store::kCover;
    setAccessibleName(cover ? tr("Cover") : tr("Face %1").arg(m_index + 1));
    setAccessibleDescription(tr("%1. Press Enter or Space to choose an image file, Ctrl+V to "
                                "paste one, or drop one here")
                                 .arg(hasImage() ? tr("Holds an image") : tr("Empty")));
    setToolTip(tr("Drop an image here, paste one, or click to choose a file"));
}

QRect ImageWell::frameRect() const
{
    // The well stays square whatever shape of cell the layout gives it.
    const int side = qMin(width(), height());
    QRect square(0, 0, side, side);
    square.moveCenter(rect().center());
    return square;
}

QRect ImageWell::imageRect() const
{
    const QRect area = frameRect().adjusted(5, 5, -5, -5);
    if (m_image.isNull() || area.isEmpty())
        return area;
    QRect target(QPoint(), m_image.size().scaled(area.size(), Qt::KeepAspectRatio));
    target.moveCenter(area.center());
    return target;
}

void ImageWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF frame = QRectF(frameRect()).adjusted(1.5, 1.5, -1.5, -1.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(pal.color(QPalette::Base));
    painter.drawRoundedRect(frame, 6, 6);

    if (hasImage()) {
        const QRect target = imageRect();
        const qreal dpr = devicePixelRatioF();
        const QSize pixels = target.size() * dpr;
        if (m_scaled.isNull() || m_scaled.size() != pixels) {
            m_scaled = QPixmap::fromImage(
                m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_scaled.setDevicePixelRatio(dpr);
        }
        painter.drawPixmap(target.topLeft(), m_scaled);
    } else {
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * (m_index == store::kCover ? 1.1 : 1.6));
        painter.setFont(font);
        painter.setPen(pal.color(QPalette::PlaceholderText));
        const QString label = m_index == store::kCover ? tr("Cover") : QString::number(m_index + 1);
        painter.drawText(frameRect(), Qt::AlignCenter, label);
    }

    // Empty wells wear a dashed edge, so they read as places to drop onto.
    const bool lit = hasFocus() || m_hover;
    QPen pen(lit ? pal.color(QPalette::Highlight) : pal.color(QPalette::Mid), lit ? 2.5 : 1.2);
    if (!hasImage() && !lit)
        pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(m_hover ? QColor(pal.color(QPalette::Highlight).rgb() & 0x40ffffff)
                             : QColor(Qt::transparent));
    painter.drawRoundedRect(frame, 6, 6);
}

void ImageWell::resizeEvent(QResizeEvent* event)
{
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

void ImageWell::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        update();
    }
    QWidget::changeEvent(event);
}

void ImageWell::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        chooseFile();
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        clear();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ImageWell::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void ImageWell::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       frameRect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        chooseFile();
    QWidget::mouseReleaseEvent(event);
}

void ImageWell::dragEnterEvent(QDragEnterEvent* event)
{
    // Qt hands drags to disabled widgets too; a well waiting for a save takes nothing.
    if (!isEnabled() || !canTake(event->mimeData())) {
        event->ignore();
        return;
    }
    // Always a copy: a file manager must never take a "move" as leave to delete the photo.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_hover = true;
    update();
}

void ImageWell::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_hover = false;
    update();
    QWidget::dragLeaveEvent(event);
}

void ImageWell::dropEvent(QDropEvent* event)
{
    m_hover = false;
    update();
    if (!setImageFromMime(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}
