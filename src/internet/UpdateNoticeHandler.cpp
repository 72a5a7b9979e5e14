#include "UpdateNoticeHandler.h"

#include "AppState.h"
#include "Host.h"
#include "MsgBox.h"
#include "SharedProcs.h"
#include "UpdateChecker.h"
#include "UpdateNotice.h"
#include "WindowNames.h"
#include "Windows.h"

#include <filesystem>

namespace vexal {

namespace {

std::string Bytes(const QString& s)
{
    const QByteArray b = s.toLatin1();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

void ShowNotice(const std::string& text)
{
    std::string problem;
    const auto path = WriteUpdateNotice(text, problem);
    if (path.empty()) {
        MsgBox(problem, vbExclamation);
        return;
    }
    App().DocumentPath = path;
    ShowModal(WindowName::DocumentViewer);
}

} // namespace

void ConnectUpdateNotice(UpdateChecker* update)
{
    QObject::connect(update, &UpdateChecker::CheckFailed, update, [update] {
        // Only an unreachable site is a connection problem; any other failure names its step.
        if (update->NoConnection() || update->FailureText().empty())
            MsgBox("Couldn't connect to the internet, please check your connection", vbOKOnly);
        else
            MsgBox(update->FailureText(), vbExclamation);
    });
    QObject::connect(update, &UpdateChecker::UpToDate, update,
                     [update](const QString& customData, const QString& otherData) {
                         ShowNotice(UpToDateNoticeText(update->CurrentVersion(), Bytes(customData),
                                                       Bytes(otherData)));
                     });
    QObject::connect(update, &UpdateChecker::NewVersion, update,
                     [update](const QString& version, const QString& url, const QString& customData,
                              const QString& otherData) {
                         ShowNotice(NewVersionNoticeText(Bytes(version), update->CurrentVersion(), Bytes(url),
                                                         Bytes(customData), Bytes(otherData)));
                     });
}

void StartUpdater()
{
    const std::string path = ProgramFolder().string() + "/vexalup.exe";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        MsgBox("I can't find the file " + path + ".\r\nPlease make sure it's there and then try again.", vbCritical,
               "Can't find file");
        return;
    }
    constexpr int32_t ShowMinimized = 2;
    // A start that fails is named with its cause.
    ShellOpen(path, ShowMinimized, ProgramFolder().string());
}

} // namespace vexal
