#include "Store.h"

#include <QSettings>
#include <QStandardPaths>

namespace store {
namespace {

// The preferences belong to the maker and the game whatever the running application calls
// itself, so the store stays the same when the application object is renamed.
const QString kOrganisation = QStringLiteral("Tallowen");
const QString kApplication = QStringLiteral("Pairwell");

const QString kBook = QStringLiteral("book");
const QString kUsed = QStringLiteral("used");
const QString kHigh = QStringLiteral("high");

void write(const QString& key, const QVariant& value)
{
    QSettings s(kOrganisation, kApplication);
    // Writing back what is already stored would only cost a rewrite of the whole file.
    if (s.contains(key) && s.value(key) == value)
        return;
    s.setValue(key, value);
    s.sync();
}

} // namespace

QString root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tallowen/Pairwell");
}

QString folder(const QString& name)
{
    return root() + QLatin1Char('/') + name;
}

QString imageFile(const QString& setFolder, int index)
{
    return QStringLiteral("%1/%2.png").arg(setFolder).arg(index);
}

QString defaultImage(int index)
{
    return QStringLiteral(":/sets/Default/%1.png").arg(index);
}

bool hasBook()
{
    return QSettings(kOrganisation, kApplication).contains(kBook);
}

QStringList book()
{
    // A one-element list comes back from the settings file as a plain string, so the value
    // is always read through toStringList() and never judged by its type.
    return QSettings(kOrganisation, kApplication).value(kBook).toStringList();
}

void setBook(const QStringList& names)
{
    write(kBook, names);
}

bool hasUsed()
{
    return QSettings(kOrganisation, kApplication).contains(kUsed);
}

QString usedName()
{
    return QSettings(kOrganisation, kApplication).value(kUsed).toString();
}

void setUsed(const QString& name)
{
    write(kUsed, name);
}

QString high()
{
    return QSettings(kOrganisation, kApplication).value(kHigh).toString();
}

void setHigh(const QString& text)
{
    write(kHigh, text);
}

} // namespace store
