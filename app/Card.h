#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

/// One card on the board: a button that shows its image scaled to fit, aspect ratio kept.
///
/// The card only remembers what it shows: its image and which face that is (or that it is
/// covered), so the board can tell face-up cards from face-down ones.
class Card : public QAbstractButton
{
    Q_OBJECT

public:
    /// What face() returns while the card shows its cover.
    static constexpr int kCovered = -1;

    explicit Card(QWidget* parent = nullptr);

    /// Shows \a image; \a face is the face number it stands for, or kCovered for the cover.
    void setImage(const QImage& image, int face);
    /// The face number on view, or kCovered.
    int face() const { return m_face; }
    bool isFaceUp() const { return m_face != kCovered; }
    /// The image on view (null before anything was set).
    QImage image() const { return m_image; }

    /// Whether the player can turn this card now. Only assistive technology is told; the
    /// board looks the same either way.
    bool isTurnable() const { return m_turnable; }
    /// Whether this card belongs to a pair already found.
    bool isFound() const { return m_found; }
    /// Tells assistive technology whether the card can be turned now and whether its pair is
    /// found.
    void setPlay(bool turnable, bool found);
    /// The card's name for screen readers: its number, row and column on the board.
    QString spokenName() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

signals:
    /// Emitted after the card changed the side or face it shows.
    void imageChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect imageRect() const;
    /// Tells screen readers what the card shows.
    void describe();
    /// Where the card sits on the board (from 0), or false when it is not on one.
    bool position(int* row, int* column) const;
    /// Moves the focus to the card next to this one on the board in the arrow's direction,
    /// or with Home and End to the first and last card of its row.
    bool moveFocus(int key);

    QImage m_image;
    QPixmap m_scaled; ///< m_image scaled to the current size, made on first paint after a change
    int m_face = kCovered;
    bool m_turnable = false;
    bool m_found = false;
};
