#include "Game.h"

#include "Card.h"

namespace game {
QPointer<Card> hang;
qint64 hits = 0;
qint64 kick = 0;
QList<int> rows;
QList<int> slot;
} // namespace game
