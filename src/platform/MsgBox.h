#pragma once
// Message and input boxes. The program shows real dialogs; tests install a scripted
// service that answers from a queue and records every text, title, button set and icon.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace vexal {

// Button sets, icons and answers, with the runtime's values.
enum : int32_t {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum : int32_t { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) = 0;
    // Returns the text typed, or an empty text when cancelled.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
};

struct RecordedMessage {
    std::string kind;      // "MsgBox" or "InputBox"
    std::string text;
    std::string title;
    int32_t buttons = 0;   // button set + icon + default button, as passed
    std::string defaultText;
};

// Test double: answers in order from `answers` (numbers for MsgBox) and `inputs` (InputBox);
// when a queue is empty, MsgBox answers the first button of its set (OK, Abort, Yes, Retry)
// and InputBox answers its default text.
class ScriptedMessages : public MessageService {
public:
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override;
    std::string InputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    std::deque<int32_t> answers;
    std::deque<std::string> inputs;
    std::vector<RecordedMessage> shown;
};

MessageService& Messages();
void InstallMessages(std::unique_ptr<MessageService> service);
// Installs a fresh ScriptedMessages and returns it (for tests).
ScriptedMessages& InstallScriptedMessages();

// The application's title, as message boxes without a title of their own show it.
inline constexpr const char* AppTitle = "Vexal";

inline int32_t MsgBox(const std::string& text, int32_t buttons = vbOKOnly, const std::string& title = AppTitle)
{
    return Messages().MsgBox(text, buttons, title);
}
inline std::string InputBox(const std::string& prompt, const std::string& title = AppTitle,
                            const std::string& defaultText = "")
{
    return Messages().InputBox(prompt, title, defaultText);
}

} // namespace vexal
