#include "AppDelegate.h"
#include "Launch.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    prepareApplication(app);

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.restoreWindowPlace();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate,
                     &AppDelegate::saveWindowPlace);
    delegate.window()->show();
    return app.exec();
}
