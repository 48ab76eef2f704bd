#include "commandline.h"
#include "demo.h"
#include "ui/mainwindow/mainform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

void nameApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tesselon"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kovrant"));
    QLocale::setDefault(QLocale::c());
}

// The demonstration opens no window, so it needs no display. Pictures that are drawn to be read
// (SVG with text) still need fonts, hence a GUI application on the offscreen platform.
int demo(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        err << "usage: tesselon --demo IMAGE [PROJECT.ver]\n";
        return 2;
    }
    return runDemo(arguments.at(2), out, err, arguments.value(3));
}

// Without a session bus address the system's bus library goes looking for a program to launch
// one, on every directory of the search path, while the window is being built. Nothing the
// program offers needs a bus started just for it.
void avoidSessionBusLaunch()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "--demo") == 0)
        return demo(argc, argv);
    if (isBatchCommandLine(argc, argv))
        return commandLineMain(argc, argv);

    avoidSessionBusLaunch();
    QApplication app(argc, argv);
    nameApplication();
    // Lets the desktop match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kovrant.Tesselon"));

    TMainForm MainForm;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        MainForm.setCommandLineImage(arguments.at(1));
    MainForm.show();
    return QApplication::exec();
}
