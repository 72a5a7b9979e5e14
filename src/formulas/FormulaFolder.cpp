#include "FormulaFolder.h"

#include "VbConvert.h"

#include <algorithm>
#include <cctype>

namespace vexal {

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool StartsWithNoCase(const std::string& name, const std::string& prefix)
{
    return Lower(name.substr(0, prefix.size())) == prefix;
}

bool IsFormulaName(const std::string& name)
{
    return name.size() >= 4 && Lower(name.substr(name.size() - 4)) == ".fla";
}

} // namespace

std::vector<std::string> ListFormulaFiles(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const std::string name = it->path().filename().string();
        if (IsFormulaName(name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string FormulaFileName(const std::string& typed)
{
    return vb::Like(typed, "*.fla") ? typed : typed + ".fla";
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

bool IsGoodName(const std::string& name) { return StartsWithNoCase(name, "good"); }
bool IsBadName(const std::string& name) { return StartsWithNoCase(name, "bad"); }

int DeleteGoodOrBadFiles(const std::filesystem::path& folder, bool good)
{
    int deleted = 0;
    for (const std::string& name : ListFormulaFiles(folder)) {
        if (!(good ? IsGoodName(name) : IsBadName(name)))
            continue;
        std::error_code ec;
        if (std::filesystem::remove(folder / name, ec))
            ++deleted;
    }
    return deleted;
}

} // namespace vexal
