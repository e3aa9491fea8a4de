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

    // Title bars and task bars need no more than this; launchers and docks take the large
    // icons from the installed desktop entry or the bundle. QIcon decodes every file it is
    // given at once, so the larger ones would only slow the start.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/pairwell-64.png")));

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
