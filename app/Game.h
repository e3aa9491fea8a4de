#pragma once

#include <QList>
#include <QPointer>

class Card;

/// The state of the game in play. It lives outside the window's controller so that the board
/// rules read the same whoever drives them.
namespace game {

/// The pending first card: uncovered first in the current turn, waiting for its partner.
extern QPointer<Card> hang;
/// Pairs found in the current game, 0 to 10.
extern qint64 hits;
/// Clicks on cards in the current game: the score.
extern qint64 kick;
/// The deal: element k is the face number at board position k.
extern QList<int> rows;
/// The deck while dealing: the face numbers not dealt yet.
extern QList<int> slot;

/// Pairs on the board; finding them all ends the game.
constexpr qint64 kPairs = 10;
/// Cards on the board.
constexpr int kCards = 20;

} // namespace game
