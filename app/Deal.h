#pragma once

#include <QList>
#include <QtGlobal>
#include <functional>

/// A source of uniformly distributed unsigned 32-bit values; the game's only randomness.
using RandomSource = std::function<quint32()>;

/// The random source the deal draws from: the system's unless a test has replaced it.
RandomSource& randomSource();
/// Replaces the random source; an empty function restores the system's.
void setRandomSource(RandomSource source);

/// Deals ten pairs onto twenty positions.
///
/// \a slot is refilled with the deck 0..9, 0..9 and emptied into the returned deal, one card per
/// position in order: each draw takes the remainder of one random value by the cards left, so a
/// deal always takes exactly twenty values, the first for position 0.
QList<int> deal(QList<int>& slot);
