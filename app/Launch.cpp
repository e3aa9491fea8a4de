#include "Launch.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void prepareApplication(QApplication& app)
{
    QApplication::setOrganizationName(QStringLiteral("Tallowen"));
    QApplication::setOrganizationDomain(QStringLiteral("tallowen.com"));
    QApplication::setApplicationName(QStringLiteral("Pairwell"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pairwell"));
    QApplication::setApplicationVersion(QStringLiteral(PAIRWELL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("com.tallowen.Pairwell"));
    QGuiApplication::setQuitOnLastWindowClosed(true);

    QIcon icon;
    for (int size : {64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/pairwell-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    // The source texts are English: an English or unnamed locale needs no lookup at all.
    const QLocale locale;
    if (locale.language() == QLocale::English || locale.language() == QLocale::C)
        return;
    // Qt's own texts (standard buttons, file dialogs) first, then the game's.
    auto* qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTranslator);
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, QStringLiteral("pairwell"), QStringLiteral("_"),
                         QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(translator);
}
