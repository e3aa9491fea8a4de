#pragma once

#include <QString>
#include <QStringList>

/// The on-disk store of card-face sets and the preference keys that go with it.
///
/// Every set lives in a folder of eleven PNG files (0.png to 9.png the faces, 10.png the
/// cover) under the store root. "book" lists the names of all sets in the order they were
/// saved; "used" names the set the game shows. Every write is flushed at once.
namespace store {

/// Number of images in a set: ten faces and the cover.
constexpr int kImages = 11;
/// Index of the cover image in a set.
constexpr int kCover = 10;

/// The built-in set that is copied into the store on first launch.
inline const QString kDefaultSet = QStringLiteral("Default");

/// The store root: the per-user generic data folder joined with "Tallowen/Pairwell".
QString root();
/// The folder of the set called \a name, inside the store root.
QString folder(const QString& name);
/// The file of image \a index (0 to 10) in the set folder \a setFolder.
QString imageFile(const QString& setFolder, int index);
/// The built-in Default image \a index among the application's resources.
QString defaultImage(int index);

/// Whether "book" is present at all.
bool hasBook();
/// The names under "book"; empty when the key is absent.
QStringList book();
/// Replaces "book" with \a names and flushes.
void setBook(const QStringList& names);

/// Whether "used" is present.
bool hasUsed();
/// The name under "used"; empty when absent.
QString usedName();
/// Stores \a name under "used" and flushes.
void setUsed(const QString& name);

/// The raw text under "high", empty when absent.
QString high();
/// Stores \a text under "high" and flushes.
void setHigh(const QString& text);

} // namespace store
