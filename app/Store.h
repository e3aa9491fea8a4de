#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

/// The on-disk store of card-face sets and the preference keys that go with it.
///
/// Every set lives in a folder of eleven PNG files (0.png to 9.png the faces, 10.png the
/// cover) under the store root. "book" lists the names of all sets in the order they were
/// saved; "used" names the set the game shows; "high" holds the best score.
///
/// Several copies of the game may share one store, so every change of a key is one
/// read-modify-write of the settings file as it is on disk, under a lock the copies share,
/// and the file is read back before the change counts.
namespace store {

/// Number of images in a set: ten faces and the cover.
constexpr int kImages = 11;
/// Index of the cover image in a set.
constexpr int kCover = 10;

/// The built-in set that is copied into the store on first launch.
inline const QString kDefaultSet = QStringLiteral("Default");

inline const QString kBook = QStringLiteral("book");
inline const QString kUsed = QStringLiteral("used");
inline const QString kHigh = QStringLiteral("high");

/// The store root: the per-user generic data folder joined with "Tallowen/Pairwell".
QString root();
/// The folder of the set called \a name, inside the store root.
QString folder(const QString& name);
/// The file of image \a index (0 to 10) in the set folder \a setFolder.
QString imageFile(const QString& setFolder, int index);
/// The built-in Default image \a index among the application's resources.
QString defaultImage(int index);
/// The settings file that holds the keys.
QString settingsFile();

/// The value of \a key as the settings file holds it now; invalid when absent.
QVariant value(const QString& key);
/// Whether "book" is present at all.
bool hasBook();
/// The names under "book"; empty when the key is absent.
QStringList book();
/// Whether "used" is present.
bool hasUsed();
/// The name under "used"; empty when absent.
QString usedName();
/// The raw text under "high", empty when absent.
QString high();

/// What became of a change.
enum class Outcome
{
    Written,   ///< the new value is on disk
    Unchanged, ///< the edit asked for no change
    Failed     ///< nothing could be written; the file is as it was
};

/// Changes \a key: \a edit gets the value on disk now (invalid when absent) and returns the
/// new value, or nothing to leave the key as it is. Runs under the lock the copies of the
/// game share, and counts only once the file has been read back.
Outcome change(const QString& key,
               const std::function<std::optional<QVariant>(const QVariant&)>& edit);

/// Stores \a names under "book"; false when it could not be written.
bool setBook(const QStringList& names);
/// Stores \a name under "used"; false when it could not be written.
bool setUsed(const QString& name);
/// Stores \a text under "high"; false when it could not be written.
bool setHigh(const QString& text);

} // namespace store
