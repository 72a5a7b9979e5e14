#include "SharedProcs.h"

#include "Host.h"
#include "MsgBox.h"
#include "VbError.h"

#include <cctype>
#include <utility>

namespace vexal {

bool FileExists(const std::filesystem::path& path)
{
    if (path.empty())
        return false;
    std::error_code ec;
    return std::filesystem::exists(path, ec) && !ec;
}

namespace {

// Letters are ASCII letters, whatever the locale.
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "http:", "mailto:" and the like: a scheme of two or more characters before a colon
// (one letter before a colon is a drive).
bool IsAddress(std::string_view text)
{
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon < 2 || !IsAsciiLetter(text[0]))
        return false;
    for (std::size_t i = 1; i < colon; ++i) {
        const char c = text[i];
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

// The working folder for file, whose program or document part ends before the 1-based
// position endPos.
std::string FolderOf(const std::string& file, std::size_t endPos)
{
    const std::string_view program = std::string_view(file).substr(0, endPos - 1);
    // An address has slashes that are no folder separators.
    const bool slashSeparates = !IsAddress(program);
    for (std::size_t k = endPos - 1; k >= 1; --k) {
        const char c = file[k - 1];
        if (c == '\\' || (slashSeparates && c == '/')) {
            // A root ("C:\", "/") keeps its separator.
            if (k == 1 || file[k - 2] == ':')
                return file.substr(0, k);
            return file.substr(0, k - 1);
        }
    }
    std::error_code ec;
    return std::filesystem::current_path(ec).string();
}

} // namespace

void ShellOpen(std::string& file, int32_t showCommand, const std::optional<std::string>& folder)
{
    std::size_t endPos; // 1-based, just after the program or document part
    if (!file.empty() && file[0] == '"') {
        std::size_t close = file.find('"', 1);
        if (close != std::string::npos) {
            file = file.substr(1, close - 1) + file.substr(close + 1);
            endPos = close; // the closing quote's 1-based position minus 1
        } else {
            endPos = file.size() + 1;
        }
    } else {
        std::size_t blank = file.find(' ');
        endPos = blank == std::string::npos ? file.size() + 1 : blank + 1;
    }

    const std::string workingFolder = folder ? *folder : FolderOf(file, endPos);
    const long result = Launcher().Open(file, workingFolder, showCommand);
    if (result >= 32)
        return;
    // The failure's own cause: the advice on setting up a handler only when none opened it.
    std::string cause = Launcher().FailureCause();
    if (cause.empty())
        cause = result == 2 ? "The file was not found." : OpenFailureAdvice();
    MsgBox("Error starting program associated with " + file + "\r\n" + cause, vbOKOnly, AppTitle);
}

void ShellOpen(const std::string& file, int32_t showCommand, const std::optional<std::string>& folder)
{
    std::string copy = file;
    ShellOpen(copy, showCommand, folder);
}

void SortIndex(std::span<const float> values, std::span<int32_t> index, std::optional<int32_t> last, bool descending)
{
    if (values.empty() || index.empty())
        throw VbError::Of(VbError::SubscriptOutOfRange);
    const int32_t n0 = last ? *last : static_cast<int32_t>(values.size()) - 1;
    if (n0 >= static_cast<int32_t>(index.size()))
        throw VbError::Of(VbError::SubscriptOutOfRange);

    if (index.front() == 0 && index.back() == 0) {
        for (std::size_t i = 0; i < index.size(); ++i)
            index[i] = static_cast<int32_t>(i);
    }
    // Every element the sort reads must name a value: check before anything moves.
    for (int32_t i = 0; i <= n0; ++i) {
        if (index[i] < 0 || static_cast<std::size_t>(index[i]) >= values.size())
            throw VbError::Of(VbError::SubscriptOutOfRange);
    }

    int32_t n = n0;
    for (;;) {
        int32_t lastSwap = 0;
        for (int32_t i = 0; i < n; ++i) {
            const float a = values[static_cast<std::size_t>(index[i])];
            const float b = values[static_cast<std::size_t>(index[i + 1])];
            // Descending swaps equal neighbours too, as the ordering has always done.
            if ((a > b) != descending) {
                std::swap(index[i], index[i + 1]);
                lastSwap = i;
            }
        }
        if (lastSwap == 0)
            break;
        n = lastSwap;
    }
}

} // namespace vexal
