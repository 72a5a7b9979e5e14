#include "Steps.h"

#include "ExceptionFilter.h"
#include "FileChecks.h"
#include "MsgBox.h"
#include "VbError.h"

namespace vexal {
namespace {
std::function<void(const std::string&)>& Sink()
{
    static std::function<void(const std::string&)> sink;
    return sink;
}
} // namespace

void SetStepLogSink(std::function<void(const std::string&)> sink) { Sink() = std::move(sink); }

void LogStepFailure(const std::string& text)
{
    if (Sink())
        Sink()(text);
}

std::string StepFailureText(const std::exception& error)
{
    if (const auto* vb = dynamic_cast<const VbError*>(&error))
        return vb->Description();
    return error.what();
}

void StepFailed(OnFailure policy, const std::exception& error, const std::string& title)
{
    const std::string text = StepFailureText(error);
    std::string line = policy == OnFailure::Skip ? "skipped: " : "reported: ";
    if (policy == OnFailure::Trap) {
        std::exception_ptr current = std::current_exception();
        if (!current)
            current = std::make_exception_ptr(VbError(VbError::ProcessorException, error.what()));
        const VbError trapped = EscapedError(current);
        LogStepFailure(line + std::to_string(trapped.Number()) + " - " + trapped.Description());
        ReportEscapedError(current);
        return;
    }
    if (const auto* vb = dynamic_cast<const VbError*>(&error))
        line += std::to_string(vb->Number()) + " - ";
    LogStepFailure(line + text);
    if (policy == OnFailure::Report)
        MsgBox(text, vbOKOnly, title);
}

void FileStepFailed(const std::filesystem::path& file, const std::exception& error)
{
    std::string text = StepFailureText(error);
    // Most reads name their file; one that does not gets it named here, so no message is
    // a bare cause.
    if (text.find(file.string()) == std::string::npos)
        text = file.string() + " could not be read: " + text;
    std::string line = "reported: ";
    if (const auto* vb = dynamic_cast<const VbError*>(&error))
        line += std::to_string(vb->Number()) + " - ";
    LogStepFailure(line + text);
    ReportFileProblem(file, text);
}

std::string FailureCause(const std::filesystem::path& file, const std::exception& error)
{
    return FailureCause(file, StepFailureText(error));
}

std::string FailureCause(const std::filesystem::path& file, std::string text)
{
    const std::string name = file.string();
    if (!name.empty() && text.size() > name.size() && text.compare(0, name.size(), name) == 0 && text[name.size()] == ' ')
        text = "it" + text.substr(name.size());
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.pop_back();
    return text;
}

} // namespace vexal
