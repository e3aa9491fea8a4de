#pragma once

#include <QString>
#include <QStringList>

/// Reading and comparing dotted version texts such as "1.10" or "1.2.1".
///
/// A published version is compared with the running one segment by segment, as numbers:
/// 1.10 is newer than 1.9 and 1.2.1 newer than 1.2, and a missing segment counts as 0.
namespace version {

/// The numeric segments at the start of \a text, each without leading zeros ("0" for zero).
/// Leading white space and one "+" are skipped and anything after the last digit group is
/// ignored ("1.3</p>" gives 1, 3). Empty when the text does not begin with a number.
QStringList segments(const QString& text);

/// Compares two segment lists as dotted numbers: negative, zero or positive like strcmp.
int compare(const QStringList& a, const QStringList& b);

/// Whether the published version text \a page is strictly newer than \a running. A page text
/// that does not begin with a number is never newer; a running text that does not begin
/// with one counts as 0.
bool newer(const QString& page, const QString& running);

} // namespace version
