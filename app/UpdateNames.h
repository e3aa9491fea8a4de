#pragma once

#include <QString>

/// The update pane's name table: every name, path and address the update check and the
/// install use, formed afresh from the application's name and the user's home folder.
namespace updatenames {

/// The maker's blog, which carries the update page (scheme and host, ending in "/").
inline const QString kBlog = QStringLiteral("http://blog.tallowen.example/");
/// The maker's download folder, which holds the update archive (ends in "/").
inline const QString kSite = QStringLiteral("https://downloads.tallowen.example/pairwell/");
/// Where the update page sits under the blog, without ".html".
inline const QString kPost = QStringLiteral("2014/12/pairwell");

/// The value for \a key: "apps" (the application's name), "lows" (that name lower-cased
/// without spaces), "down" (the Downloads folder), "zips" (the archive's local path),
/// "blog" and "site" (the base addresses). Empty for any other key.
QString entry(const QString& key);

/// Replaces the two base addresses, for tests; empty texts restore the constants.
void setBases(const QString& blog, const QString& site);

/// The address of the update page: (blog)2014/12/pairwell.html.
QString pageAddress();
/// The address of the update archive: (site)(lows).zip.
QString archiveAddress();
/// The pattern of the version line for the application \a apps; group 1 is the version text.
QString versionPattern(const QString& apps);

} // namespace updatenames
