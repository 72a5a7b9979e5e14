#include "VexalApp.h"

#include "EntryWindows.h"
#include "ExceptionFilter.h"
#include "FormulaTestWindow.h"
#include "FormulaWindows.h"
#include "Host.h"
#include "InternetWindows.h"
#include "MsgBox.h"
#include "NoticeWindow.h"
#include "PredictionWindows.h"
#include "QtPlatform.h"
#include "ReportWindows.h"
#include "Splash.h"
#include "StandingsWindows.h"
#include "StatisticsWindows.h"
#include "Windows.h"

#include <QApplication>

#include <cstdlib>

namespace vexal {

namespace {

// An error that escapes an event handler ends there, with the program's error message,
// instead of unwinding through the event loop.
class VexalApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ReportEscapedError(std::current_exception());
        }
        return false;
    }
};

} // namespace

std::filesystem::path DefaultProgramFolder()
{
    if (const char* home = std::getenv("VEXAL_HOME"); home && *home)
        return std::filesystem::path(home);
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

void RegisterAllWindows()
{
    RegisterShellWindows();
    RegisterFormulaWindows();
    RegisterFormulaTestWindow();
    RegisterPredictionWindows();
    RegisterStatisticsWindows();
    RegisterStandingsWindows();
    RegisterEntryWindows();
    RegisterReportWindows();
    RegisterInternetWindows();
}

int RunVexal(int argc, char** argv)
{
    VexalApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vexal");
    // The program ends with its main window, not when the splash closes before the main
    // window shows.
    QApplication::setQuitOnLastWindowClosed(false);
    SetProgramEndHandler([] { QCoreApplication::quit(); });
    InstallQtPlatform();
    InstallQtNotices();
    SetProgramFolder(DefaultProgramFolder());
    RegisterAllWindows();
    StartVexal();
    return app.exec();
}

} // namespace vexal
