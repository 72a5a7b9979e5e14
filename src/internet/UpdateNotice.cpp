#include "UpdateNotice.h"

#include "Host.h"
#include "RecordFile.h"

#ifndef VEXAL_VERSION_MAJOR
#define VEXAL_VERSION_MAJOR 1
#define VEXAL_VERSION_MINOR 0
#define VEXAL_VERSION_REVISION 0
#endif

namespace vexal {

std::string ProgramVersion()
{
    return std::to_string(VEXAL_VERSION_MAJOR) + "." + std::to_string(VEXAL_VERSION_MINOR) + "." +
           std::to_string(VEXAL_VERSION_REVISION);
}

namespace {

// Plain text from the server placed into the RTF notice: its control characters are escaped so
// it reads as text and cannot open groups or fields of its own.
std::string RtfText(const std::string& text)
{
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x80) {
            out += "\\'";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace

std::string UpToDateNoticeText(const std::string& running, const std::string& customData,
                               const std::string& otherData)
{
    std::string text;
    text += customData + "\r\n";
    text += "Your version - " + running + "\\par\r\n";
    text += "Is the current version.\\par\r\n";
    text += otherData + "\\par\r\n";
    return text;
}

std::string NewVersionNoticeText(const std::string& published, const std::string& running,
                                 const std::string& downloadURL, const std::string& customData,
                                 const std::string& otherData)
{
    std::string text;
    text += customData + "\r\n";
    text += "New Version available - " + RtfText(published) + "\\par\r\n";
    text += "Your version - " + running + "\\par\r\n";
    text += RtfText(downloadURL) + "\\par\\par\r\n";
    text += "\\fs18 NOTE: To avoid having to reboot your computer after installation,\\par\r\n";
    text += "you should exit Vexal before running the downloaded file.\\par\r\n";
    text += otherData + "\r\n";
    return text;
}

std::filesystem::path WriteUpdateNotice(const std::string& text, std::string& problem)
{
    AtomicFileWrite notice(ProgramFolder() / "update.rtf");
    if (notice.Write(text) && notice.Commit())
        return ProgramFolder() / "update.rtf";
    problem = notice.Describe();
    return {};
}

} // namespace vexal
