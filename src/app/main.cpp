#include "ui/mainform.h"

#include <QApplication>
#include <QLocale>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesselon"));
    QApplication::setOrganizationName(QStringLiteral("Kovrant"));
    QLocale::setDefault(QLocale::c());

    TMainForm MainForm;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        MainForm.commandLineImage = arguments.at(1);
    MainForm.show();
    return QApplication::exec();
}
