#pragma once
// What GUI-free code needs of its host: letting the message loop run, opening documents
// with their associated program, the program folder and the user's folder.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vexal {

// DoEvents: calls the hook a window installs (QCoreApplication::processEvents); no-op by default.
void DoEvents();
void SetDoEventsHook(std::function<void()> hook);
// The hook installed now (empty when none), so a caller can wrap it for a while and put it back.
std::function<void()> DoEventsHook();

// The program folder: $VEXAL_HOME, else the executable's folder (set by the start-up code).
std::filesystem::path ProgramFolder();
void SetProgramFolder(const std::filesystem::path& folder);
// A file of the program folder, found case-insensitively when the exact name is missing.
std::filesystem::path ProgramFile(const std::string& relative);
// A file's name as the program's lists show it: its own bytes when they are UTF-8, else its
// bytes read as Windows-1252, the program's text encoding (a name an older system wrote,
// "Sch\xF6n.fla", is listed as "Schön.fla" rather than with a character of no meaning).
std::string ListedFileName(const std::filesystem::path& name);
// The file of the folder that a name as listed (ListedFileName) stands for: the name's own
// bytes when a file has them, else the Windows-1252 bytes it was listed from when a file has
// those, else the name's own bytes. Choosing a listed name opens that very file.
std::filesystem::path ListedFile(const std::filesystem::path& folder, const std::string& listed);
// The entries of a folder in the order the system lists them: none for a folder that cannot
// be listed, those listed before the failure when a read fails part way. Never throws.
std::vector<std::filesystem::directory_entry> FolderEntries(const std::filesystem::path& folder);
// The user's profile folder that stands in for USERPROFILE: $HOME.
std::filesystem::path UserProfileFolder();

// False for a typed or received name that could leave its folder or that the file system
// cannot hold: empty, ".." anywhere, a path separator, a control character, one of
// < > : " | ? *, or a name ending in a blank or a period.
bool IsPlainFileName(const std::string& name);

// Opening a document, web page or program with its associated program.
class ShellLauncher {
public:
    virtual ~ShellLauncher() = default;
    // Returns a value of 32 or more on success, as the shell does; below 32 the shell's number
    // of the failure: 2 the file was not found, 31 no program opened it, 11 the program did not
    // start.
    virtual long Open(const std::string& file, const std::string& workingFolder, long showCommand) = 0;
    // What the last failed Open met, in a sentence for a message, when its number alone does
    // not say it; empty otherwise.
    virtual std::string FailureCause() const { return {}; }
};
// Records every open and succeeds; tests install one.
class RecordingLauncher : public ShellLauncher {
public:
    struct Call { std::string file, folder; long show; };
    long Open(const std::string& file, const std::string& workingFolder, long showCommand) override;
    std::string FailureCause() const override { return cause; }
    std::vector<Call> calls;
    long result = 42;
    std::string cause;
};
// Where the file being opened came from ("a link in update.rtf", "downloaded from http://..."):
// the launcher names it when it asks before starting a program. Set for the time the object lives.
class LaunchOrigin {
public:
    explicit LaunchOrigin(std::string origin);
    ~LaunchOrigin();
    LaunchOrigin(const LaunchOrigin&) = delete;
    LaunchOrigin& operator=(const LaunchOrigin&) = delete;
    // The innermost origin set, or an empty text.
    static const std::string& Current();

private:
    std::string previous_;
};
ShellLauncher& Launcher();
// What to tell the user when no program opened a document or web page: the desktop's opener
// that is missing from PATH (xdg-open), or how to set the default browser when it is there.
std::string OpenFailureAdvice();
void InstallLauncher(std::unique_ptr<ShellLauncher> launcher);
RecordingLauncher& InstallRecordingLauncher();

} // namespace vexal
