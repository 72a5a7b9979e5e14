#include "FormulaFolder.h"

#include "FileChecks.h"
#include "Host.h"
#include "VbConvert.h"

#include <algorithm>
#include <cctype>

namespace vexal {

namespace {

bool StartsWithNoCase(const std::string& name, const std::string& prefix)
{
    return vb::LCase(name.substr(0, prefix.size())) == prefix;
}

bool IsFormulaName(const std::string& name)
{
    return name.size() >= 4 && vb::LCase(name.substr(name.size() - 4)) == ".fla";
}

} // namespace

std::vector<std::string> ListFormulaFiles(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : FolderEntries(folder)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        const std::string name = ListedFileName(entry.path().filename());
        if (IsFormulaName(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = vb::LCase(a), lb = vb::LCase(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string FormulaFileName(const std::string& typed)
{
    return vb::Like(typed, "*.fla") ? typed : typed + ".fla";
}

std::string SavedFormulaFileName(const std::filesystem::path& folder, const std::string& answer)
{
    const std::vector<std::string> listed = ListFormulaFiles(folder);
    if (std::find(listed.begin(), listed.end(), answer) != listed.end())
        return answer;
    return FormulaFileName(answer);
}

bool IsGoodName(const std::string& name) { return StartsWithNoCase(name, "good"); }
bool IsBadName(const std::string& name) { return StartsWithNoCase(name, "bad"); }

std::string DeleteGoodOrBadFiles(const std::filesystem::path& folder, bool good)
{
    std::string refused;
    for (const std::string& name : ListFormulaFiles(folder)) {
        if (!(good ? IsGoodName(name) : IsBadName(name)))
            continue;
        const std::filesystem::path file = ListedFile(folder, name);
        if (std::string reason; !RemoveFile(file, reason))
            refused += (refused.empty() ? "" : "\r\n") + RemoveFailure(file, reason);
    }
    return refused;
}

} // namespace vexal
