#include "Host.h"

#include "VbConvert.h"
#include "Win1252.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace vexal {

namespace {
std::function<void()>& Hook()
{
    static std::function<void()> hook;
    return hook;
}
std::filesystem::path& Folder()
{
    static std::filesystem::path folder;
    return folder;
}
std::unique_ptr<ShellLauncher>& InstalledLauncher()
{
    static std::unique_ptr<ShellLauncher> launcher = std::make_unique<RecordingLauncher>();
    return launcher;
}
} // namespace

namespace {
std::string& OriginText()
{
    static std::string origin;
    return origin;
}
} // namespace

LaunchOrigin::LaunchOrigin(std::string origin) : previous_(std::move(OriginText())) { OriginText() = std::move(origin); }
LaunchOrigin::~LaunchOrigin() { OriginText() = std::move(previous_); }
const std::string& LaunchOrigin::Current() { return OriginText(); }

void DoEvents()
{
    if (Hook())
        Hook()();
}

void SetDoEventsHook(std::function<void()> hook) { Hook() = std::move(hook); }

std::function<void()> DoEventsHook() { return Hook(); }

std::filesystem::path ProgramFolder()
{
    if (Folder().empty()) {
        std::error_code ec;
        if (const char* home = std::getenv("VEXAL_HOME"); home && *home)
            return std::filesystem::absolute(std::filesystem::path(home), ec);
        // The executable's folder, whatever the current folder is.
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (!ec && exe.has_parent_path())
            return exe.parent_path();
        return std::filesystem::current_path(ec);
    }
    return Folder();
}

void SetProgramFolder(const std::filesystem::path& folder)
{
    // Kept absolute: the program changes into its folder, and a relative name would then
    // point somewhere else.
    std::error_code ec;
    Folder() = folder.empty() ? folder : std::filesystem::absolute(folder, ec);
}

std::filesystem::path ProgramFile(const std::string& relativeName)
{
    // Names written the Windows way ("\images\logo.bmp") stay inside the program folder: a
    // leading separator would otherwise make the path absolute.
    std::string relative = relativeName;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const auto firstName = relative.find_first_not_of('/');
    relative.erase(0, firstName == std::string::npos ? relative.size() : firstName);
    std::filesystem::path exact = ProgramFolder() / relative;
    std::error_code ec;
    if (std::filesystem::exists(exact, ec))
        return exact;
    // Walk the parts, matching each one case-insensitively.
    std::filesystem::path current = ProgramFolder();
    for (const auto& part : std::filesystem::path(relative)) {
        std::filesystem::path next = current / part;
        if (!std::filesystem::exists(next, ec)) {
            bool found = false;
            if (std::filesystem::is_directory(current, ec)) {
                for (const auto& entry : FolderEntries(current)) {
                    if (vb::SameText(entry.path().filename().string(), part.string())) {
                        next = entry.path();
                        found = true;
                        break;
                    }
                }
            }
            if (!found)
                return exact;
        }
        current = next;
    }
    return current;
}

std::vector<std::filesystem::directory_entry> FolderEntries(const std::filesystem::path& folder)
{
    // Stepped with an error code: the plain loop's step throws when a read fails part way.
    std::vector<std::filesystem::directory_entry> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    return entries;
}

std::string ListedFileName(const std::filesystem::path& name)
{
    const std::string bytes = name.filename().string();
    return win1252::IsUtf8(bytes) ? bytes : win1252::ToUtf8(bytes);
}

std::filesystem::path ListedFile(const std::filesystem::path& folder, const std::string& listed)
{
    const std::filesystem::path own = folder / listed;
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(own, ec)))
        return own;
    // Listed from bytes that are not UTF-8: those bytes, when they give the listed text back.
    const std::string bytes = win1252::FromUtf8(listed);
    if (bytes == listed || win1252::IsUtf8(bytes) || win1252::ToUtf8(bytes) != listed)
        return own;
    const std::filesystem::path older = folder / bytes;
    return std::filesystem::exists(std::filesystem::symlink_status(older, ec)) ? older : own;
}

bool IsPlainFileName(const std::string& name)
{
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    for (unsigned char c : name) {
        if (c < 32 || c == 127)
            return false;
        if (std::string_view("/\\<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
            return false;
    }
    return name.back() != ' ' && name.back() != '.';
}

std::filesystem::path UserProfileFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home);
    return std::filesystem::temp_directory_path();
}

long RecordingLauncher::Open(const std::string& file, const std::string& workingFolder, long showCommand)
{
    calls.push_back({file, workingFolder, showCommand});
    return result;
}

ShellLauncher& Launcher() { return *InstalledLauncher(); }

std::string OpenFailureAdvice()
{
    const char* const SetBrowser =
        "Set the default web browser in your desktop's settings (Default Applications), or with "
        "'xdg-settings set default-web-browser <browser>.desktop' and "
        "'xdg-mime default <browser>.desktop text/html'.";
    bool found = false;
    const char* path = std::getenv("PATH");
    for (std::string_view rest = path ? path : ""; !found;) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        std::error_code ec;
        if (!folder.empty() && std::filesystem::is_regular_file(std::filesystem::path(folder) / "xdg-open", ec))
            found = true;
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    if (!found)
        return std::string("The program 'xdg-open' (package xdg-utils), which opens documents and web pages, "
                           "is not installed. Install it, then check the default browser. ") +
               SetBrowser;
    return std::string("No program is set up to open it. ") + SetBrowser;
}

void InstallLauncher(std::unique_ptr<ShellLauncher> launcher)
{
    InstalledLauncher() = launcher ? std::move(launcher) : std::make_unique<RecordingLauncher>();
}

RecordingLauncher& InstallRecordingLauncher()
{
    auto rec = std::make_unique<RecordingLauncher>();
    RecordingLauncher& ref = *rec;
    InstalledLauncher() = std::move(rec);
    return ref;
}

} // namespace vexal
