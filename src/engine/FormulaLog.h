#pragma once
// FormulaList.txt, the log of a formula test run: opened when a run that saves formulas
// begins, one entry per good or bad formula file written, a footer when the run completes.
// Every print ends with CR LF, as the program's text files do. It is made as every whole file
// is, in a temporary of its own, and replaces an older log when it is closed.
#include "RecordFile.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vexal {

inline constexpr const char* FormulaLogName = "FormulaList.txt";
// Shown in the log's first lines.
inline constexpr const char* ProductWebAddress = "www.vexal.example";

class FormulaLog {
public:
    // Begins the file; false when it cannot be made (later prints do nothing).
    bool Open(const std::filesystem::path& path);
    bool IsOpen() const { return out_ != nullptr; }
    // Writes the text followed by one more CR LF.
    void Print(std::string_view text);
    void Close();

    // mm-dd-yyyy and hh:mm:ss (24-hour) of an OLE date, rounded to the second.
    static std::string DateText(double oleDate);
    static std::string TimeText(double oleDate);
    // The text padded with blanks to width characters; a longer text is kept whole.
    static std::string PadTo(std::string text, std::size_t width);
    // One entry: name to 15, record to 10, win percentage "#.0" & " %" to 10, units "#.00", CR LF.
    static std::string EntryText(const std::string& fileName, int32_t wins, int32_t losses, int32_t ties);
    // CR LF, 52 "=", "Formula list was completed on <date> at <time>", 52 "=", each line with CR LF.
    static std::string FooterText(double oleDate);

private:
    std::unique_ptr<AtomicFileWrite> out_;
};

} // namespace vexal
