#include "MsgBox.h"

#include "FileChecks.h"

namespace vexal {

namespace {
std::unique_ptr<MessageService>& Installed()
{
    static std::unique_ptr<MessageService> service = std::make_unique<ScriptedMessages>();
    return service;
}

int32_t FirstButtonOf(int32_t buttons)
{
    switch (buttons & 7) {
    case vbOKCancel: return vbOK;
    case vbAbortRetryIgnore: return vbAbort;
    case vbYesNoCancel:
    case vbYesNo: return vbYes;
    case vbRetryCancel: return vbRetry;
    default: return vbOK;
    }
}
} // namespace

int32_t ScriptedMessages::MsgBox(const std::string& text, int32_t buttons, const std::string& title)
{
    shown.push_back({"MsgBox", text, title, buttons, ""});
    if (answers.empty())
        return FirstButtonOf(buttons);
    int32_t answer = answers.front();
    answers.pop_front();
    return answer;
}

std::string ScriptedMessages::InputBox(const std::string& prompt, const std::string& title,
                                       const std::string& defaultText)
{
    shown.push_back({"InputBox", prompt, title, 0, defaultText});
    if (inputs.empty())
        return defaultText;
    std::string answer = inputs.front();
    inputs.pop_front();
    return answer;
}

MessageService& Messages() { return *Installed(); }

void InstallMessages(std::unique_ptr<MessageService> service)
{
    Installed() = service ? std::move(service) : std::make_unique<ScriptedMessages>();
    ForgetReportedFiles();
}

ScriptedMessages& InstallScriptedMessages()
{
    auto scripted = std::make_unique<ScriptedMessages>();
    ScriptedMessages& ref = *scripted;
    Installed() = std::move(scripted);
    ForgetReportedFiles();
    return ref;
}

} // namespace vexal
