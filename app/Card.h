#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>

class QPropertyAnimation;

/// One card on the board: a button that shows its image scaled to fit, aspect ratio kept.
///
/// The card only remembers what it shows: its image and which face that is (or that it is
/// covered), so the board can tell face-up cards from face-down ones.
class Card : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(Mark mark READ mark WRITE setMark)
    Q_PROPERTY(qreal turnover READ turnover WRITE setTurnover)

public:
    /// What face() returns while the card shows its cover.
    static constexpr int kCovered = -1;

    /// How the card marks its place in the game, drawn over its face.
    enum Mark
    {
        Unmarked, ///< a covered card, or one of a mismatch on view
        Pending,  ///< the first card of a turn, waiting for its partner
        Found,    ///< one of a found pair
    };
    Q_ENUM(Mark)

    /// How a change of image shows.
    enum Change
    {
        Flip, ///< the card turns over (when visible)
        Swap, ///< the new image shows at once
    };

    explicit Card(QWidget* parent = nullptr);

    /// Shows \a image; \a face is the face number it stands for, or kCovered for the cover.
    /// The card takes the new face at once; only the picture catches up during a flip.
    void setImage(const QImage& image, int face, Change change = Flip);
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
    Mark mark() const { return m_mark; }
    void setMark(Mark mark);
    /// How far a flip has come: 0 shows the old picture whole, 0.5 the card on edge, 1 the
    /// new picture whole (and no flip running).
    qreal turnover() const { return m_turnover; }
    void setTurnover(qreal turnover);
    bool isFlipping() const { return m_turnover < 1; }

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
    QRect imageRect(const QImage& image) const;
    /// \a image scaled for \a target at the device pixel ratio, kept in \a cache.
    QPixmap scaled(const QImage& image, const QRect& target, QPixmap& cache) const;
    /// Draws the picture on view, narrowed while the card turns over.
    void paintPicture(QPainter& painter);
    /// Draws the found or pending mark over the picture at \a target.
    void paintMark(QPainter& painter, const QRectF& target) const;
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
    Mark m_mark = Unmarked;

    QImage m_before;        ///< the picture a running flip turns away from
    QPixmap m_beforeScaled; ///< m_before at its on-screen size
    qreal m_turnover = 1;
    QPropertyAnimation* m_flip = nullptr; ///< made at the first flip
};
