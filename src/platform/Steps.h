#pragma once
// How a handler that must always finish treats a step that fails: the one policy every
// window and the engine use. A failing step is either left out silently or reported to the
// user; either way the next step runs, and the failure is written to the step log, which is
// off unless the "vexal.steps" debug category is turned on (QT_LOGGING_RULES).
// Only std::exception is caught: anything else is a programming fault and goes to the
// event loop's trap.
#include "FileChecks.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

namespace vexal {

enum class OnFailure {
    Skip,    // leave the step out; only the step log hears of it
    Report,  // show the error's description in a message box, then go on
    Trap,    // show it as the error trap shows an error that escapes a handler, then go on
};

// Writes one line to the step log; a no-op until the host installs a sink.
void LogStepFailure(const std::string& text);
void SetStepLogSink(std::function<void(const std::string&)> sink);

// The error's text as the user sees it: a runtime error's description, else what().
std::string StepFailureText(const std::exception& error);
// Logs the failure, and shows it (in a box with this title) when the policy says so; called
// while the error is being handled, as the trap's message is made from the error in flight.
void StepFailed(OnFailure policy, const std::exception& error, const std::string& title);
// Logs the failure of a step that read `file`, and shows it once for the file
// (ReportFileProblem) in words that name the file.
void FileStepFailed(const std::filesystem::path& file, const std::exception& error);
// What went wrong with `file`, for a message that names the file already ("... could not be
// saved in <file>: <cause>."): the error's own words, never a guess made afresh after the
// failure, with the file's name that the readers and writers of files begin them with said as
// "it", and without their full stop.
std::string FailureCause(const std::filesystem::path& file, const std::exception& error);
// The same of a problem already in words ("<file> could not be read: permission denied.").
std::string FailureCause(const std::filesystem::path& file, std::string text);

// Runs step under the policy; returns false when it failed.
template <class F>
bool RunStep(OnFailure policy, F&& step, const std::string& title = {})
{
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        StepFailed(policy, error, title);
        return false;
    }
}

// The two policies by name, for the many handlers that run a list of steps.
template <class F>
bool SkipStep(F&& step) { return RunStep(OnFailure::Skip, std::forward<F>(step)); }
// Reports in a box with the given title (an empty one, as most windows' traps use, by default).
template <class F>
bool ReportStep(F&& step, const std::string& title = {})
{
    return RunStep(OnFailure::Report, std::forward<F>(step), title);
}
// Reports with the error trap's standard message (number, description, "Error Occured").
template <class F>
bool TrapStep(F&& step) { return RunStep(OnFailure::Trap, std::forward<F>(step)); }

// A step that reads a file the user can damage and that runs again and again (a view's
// refresh, its navigation): a failure is reported once for the file, naming it and the
// cause, not at every refresh; it is named again once the step has read it since.
template <class F>
bool ReportFileStep(const std::filesystem::path& file, F&& step)
{
    try {
        step();
        ForgetFileProblem(file);
        return true;
    } catch (const std::exception& error) {
        FileStepFailed(file, error);
        return false;
    }
}

} // namespace vexal
