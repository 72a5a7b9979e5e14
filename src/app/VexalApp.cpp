#include "VexalApp.h"

#include "ExceptionFilter.h"
#include "Host.h"
#include "MsgBox.h"
#include "NoticeWindow.h"
#include "QtPlatform.h"
#include "Splash.h"
#include "StandIns.h"
#include "Windows.h"

#include <QApplication>

#include <cstdlib>

namespace vexal {

#ifdef VEXAL_HAVE_FORMULAS
void RegisterFormulaWindows();
#endif
#ifdef VEXAL_HAVE_FORMULATEST
void RegisterFormulaTestWindow();
#endif
#ifdef VEXAL_HAVE_PREDICTIONS
void RegisterPredictionWindows();
#endif
#ifdef VEXAL_HAVE_STATISTICS
void RegisterStatisticsWindows();
#endif
#ifdef VEXAL_HAVE_STANDINGS
void RegisterStandingsWindows();
#endif
#ifdef VEXAL_HAVE_ENTRY
void RegisterEntryWindows();
#endif
#ifdef VEXAL_HAVE_REPORTS
void RegisterReportWindows();
#endif
#ifdef VEXAL_HAVE_INTERNET
void RegisterInternetWindows();
#endif

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
    RegisterStandInWindows();
#ifdef VEXAL_HAVE_FORMULAS
    RegisterFormulaWindows();
#endif
#ifdef VEXAL_HAVE_FORMULATEST
    RegisterFormulaTestWindow();
#endif
#ifdef VEXAL_HAVE_PREDICTIONS
    RegisterPredictionWindows();
#endif
#ifdef VEXAL_HAVE_STATISTICS
    RegisterStatisticsWindows();
#endif
#ifdef VEXAL_HAVE_STANDINGS
    RegisterStandingsWindows();
#endif
#ifdef VEXAL_HAVE_ENTRY
    RegisterEntryWindows();
#endif
#ifdef VEXAL_HAVE_REPORTS
    RegisterReportWindows();
#endif
#ifdef VEXAL_HAVE_INTERNET
    RegisterInternetWindows();
#endif
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
