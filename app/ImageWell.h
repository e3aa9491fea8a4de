#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class QMimeData;

/// A square that holds one image of a card-face set.
///
/// The player fills it by dropping an image file or image data onto it, by pasting
/// (Ctrl+V while it has focus), or by clicking it (or pressing Enter or Space) to choose a
/// file. Anything that is not a readable image is refused and leaves the well as it was.
/// While empty it shows its number, or "Cover" for the cover well.
class ImageWell : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int index READ index WRITE setIndex)

public:
    /// Longest side, in pixels, that an image keeps when it enters a well.
    static constexpr int kMaxSide = 1024;

    explicit ImageWell(QWidget* parent = nullptr);

    /// The image index in the set: 0 to 9 for the faces, 10 for the cover.
    int index() const { return m_index; }
    /// Sets which image of the set this well stands for, and so its label.
    void setIndex(int index);

    /// The image held, or a null image when the well is empty.
    QImage image() const { return m_image; }
    bool hasImage() const { return !m_image.isNull(); }
    /// Puts \a image into the well, scaled down to kMaxSide if larger; null empties it.
    void setImage(const QImage& image);
    /// Empties the well.
    void clear() { setImage(QImage()); }

    /// Reads the image file at \a path into the well; false, and the well unchanged, when
    /// it is not a readable image.
    bool setImageFromFile(const QString& path);
    /// Takes the image that \a mime carries (one file or image data); false, and the well
    /// unchanged, when it carries none.
    bool setImageFromMime(const QMimeData* mime);
    /// Whether \a mime carries something the well would take, judged without decoding it.
    static bool canTake(const QMimeData* mime);

    /// An image no larger than kMaxSide on its long side: \a image itself, or a smooth,
    /// aspect-kept reduction of it.
    static QImage fitted(const QImage& image);

    QSize sizeHint() const override { return {96, 96}; }
    QSize minimumSizeHint() const override { return {48, 48}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

public slots:
    /// Opens a file chooser for images; the chosen file goes into the well.
    void chooseFile();
    /// Takes the image on the clipboard, if any.
    void paste();

signals:
    /// Emitted whenever the well's image changes, emptying included.
    void imageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// The text shown while empty and the accessible name and description, in the current
    /// language.
    void retranslate();
    /// The square the well occupies, centred in the widget.
    QRect frameRect() const;
    /// Where the image is drawn: the inner area, shrunk to the image's aspect ratio.
    QRect imageRect() const;

    QImage m_image;
    QPixmap m_scaled; ///< m_image at its on-screen size, made on the first paint after a change
    int m_index = 0;
    bool m_hover = false;   ///< a drag the well would take is over it
    bool m_pressed = false; ///< the left button went down inside, so a release opens the chooser
};
