#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>

class Card;
class QLabel;
class QMainWindow;
class QWidget;
class PreferencesWindow;
class QDialog;

namespace Ui {
class MainWindow;
}

/// The game's controller: owns the main window, plays the board and keeps the best score.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    /// Seeds the store and shows the best score; the window is shown by the caller.
    void applicationDidFinishLaunching();

    /// Seeds the card-face store with the Default set where "book" or "used" is missing.
    void milk();
    /// Updates the best score from this game's clicks and shows the score message.
    void past();
    /// The folder of the card-face set in use, read afresh from the preferences each time.
    QString used() const;
    /// Covers every card and deals a new board.
    void grid();

    /// The main window (owned by the delegate).
    QMainWindow* window() const;
    /// Puts the window where it was at the last quit, kept on the screens there are now.
    void restoreWindowPlace();
    /// Remembers the window's size and place for the next launch.
    void saveWindowPlace() const;

    /// The twenty card buttons, by outlet number (p00 first).
    const std::array<QPointer<Card>, 20>& cards() const { return p; }
    /// The card at board position \a tag, or null.
    Card* cardAt(int tag) const;

public slots:
    /// Starts a new game: counters to zero, nothing pending, a fresh deal.
    void tear();
    /// Handles one click on card \a sender: uncovers it and judges the turn.
    void turn(Card* sender);
    /// Covers the non-matching pair again: \a card and the pending first card.
    void veil(Card* card);
    /// Ends a finished game (scoring it) or halts a running one.
    void ends();

    void showPreferences();
    void checkForUpdates();
    void showHelp();

private:
    /// A click that the board lets through to turn(): only a face-down card of a running
    /// game while no mismatch is on view.
    void cardClicked(Card* card);
    /// Image \a index of the set in use, or the built-in Default image when it cannot be read.
    QImage cardImage(int index);
    /// Whether a game is running (the gate is down).
    bool playing() const;
    /// Tells the screen reader the face just turned and whether it makes a pair.
    void sayTurn(int face);
    /// Tells the screen reader which two cards are being covered again.
    void sayCover(Card* card);
    /// Tells assistive technology which cards can be turned now and which pairs are found.
    void showPlay();
    /// Brings the click count and the cards' found and pending marks up to the game state.
    void showState();

    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<Ui::MainWindow> m_ui;

    // Outlets into the main window.
    std::array<QPointer<Card>, 20> p;
    QPointer<QWidget> gate;  ///< hidden while a game runs; shown when none does
    QPointer<QLabel> mess;   ///< the message line: the score or "Halted"
    QPointer<QWidget> wall;  ///< shown while a non-matching pair is on view
    QPointer<QLabel> clicks; ///< the clicks of the game so far

    QTimer m_veilTimer;            ///< covers the mismatch one second after it was turned
    QElapsedTimer m_mismatchClock; ///< from the click that made the mismatch
    QPointer<Card> m_veiling;      ///< the second card of the mismatch on view

    QPointer<PreferencesWindow> m_preferences;
    QPointer<QDialog> m_help;

    /// A decoded card image and the state of its file when it was read.
    struct Decoded
    {
        qint64 size = -1;
        QDateTime modified;
        QImage image;
    };
    /// The images of the set in use decoded so far, by file. Every show still looks at the
    /// file, so a replaced picture or another set shows at once; only an unchanged file is
    /// not decoded again (a photo set's PNGs take several milliseconds each).
    QHash<QString, Decoded> m_decoded;
    QString m_decodedFolder;
};
