#pragma once

#include <QByteArray>
#include <QString>

/// The update pane's name table: every name, path and address the update check and the
/// install use, formed afresh from the application's name and the user's home folder.
namespace updatenames {

/// Where the update page sits under the blog, without ".html".
inline const QString kPost = QStringLiteral("2014/12/pairwell");

/// The value for \a key: "apps" (the application's name), "lows" (that name lower-cased
/// without spaces), "down" (the Downloads folder), "zips" (the archive's local path),
/// "blog" and "site" (the base addresses, set when the game is configured). Empty for any other
/// key.
QString entry(const QString& key);

/// Replaces the two base addresses, for tests; empty texts restore the built-in ones.
void setBases(const QString& blog, const QString& site);

/// The minisign public key (base64) that update archives must be signed with; empty in a
/// build configured without one, which then installs no update.
QByteArray publicKey();
/// Replaces the public key for the rest of the run, for tests (an empty one included).
void setPublicKey(const QByteArray& key);

/// The address of the update page: (blog)2014/12/pairwell.html.
QString pageAddress();
/// The address of the update archive: (site)(lows).zip.
QString archiveAddress();
/// The pattern of the version line for the application \a apps; group 1 is the version text.
QString versionPattern(const QString& apps);

} // namespace updatenames
