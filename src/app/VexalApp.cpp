#include "VexalApp.h"

#include "Host.h"
#include "QtPlatform.h"

#include <QApplication>
#include <QMainWindow>

#include <cstdlib>

namespace vexal {

int RunVexal(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vexal");
    InstallQtPlatform();
    if (const char* home = std::getenv("VEXAL_HOME"); home && *home)
        SetProgramFolder(home);
    else
        SetProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    QMainWindow window;
    window.setObjectName("Main");
    window.setWindowTitle("Vexal");
    window.resize(800, 600);
    window.show();
    return app.exec();
}

} // namespace vexal
