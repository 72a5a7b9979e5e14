#pragma once
// Fetching a program that a document links to, and starting the program's updater. The
// internet library installs both when it registers its windows; the document viewer only
// asks, so it holds no network code of its own. Without them (a program or test that links
// no internet library) a linked program is not fetched and the updater does not start.
#include <functional>
#include <memory>
#include <string>

class QObject;

namespace vexal {

// One download of a linked program at a time; what happens arrives on the GUI thread.
class ProgramDownload {
public:
    struct Hooks {
        // The transfer's status text, and how much has arrived in percent (-1: not known).
        std::function<void(const std::string& status, int percent)> progress;
        // The stored file's path.
        std::function<void(const std::string& file)> arrived;
        std::function<void(const std::string& message)> failed;
    };
    virtual ~ProgramDownload() = default;
    virtual bool Pending() const = 0;
    // Throws VbError when the download cannot start (a name from the address that is not a
    // safe file name).
    virtual void Start(const std::string& url) = 0;
};

using ProgramDownloadFactory = std::function<std::unique_ptr<ProgramDownload>(QObject* owner, ProgramDownload::Hooks)>;
void SetProgramDownloadFactory(ProgramDownloadFactory factory);
// A download whose transfer lives as long as the owner; nullptr when none is installed.
std::unique_ptr<ProgramDownload> MakeProgramDownload(QObject* owner, ProgramDownload::Hooks hooks);

// Starts the program folder's updater as the internet library installed it.
void SetUpdaterStart(std::function<void()> start);
void StartProgramUpdater();

} // namespace vexal
