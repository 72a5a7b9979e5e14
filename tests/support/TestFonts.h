#pragma once
// One known font for every window and printout under test, whatever fonts the machine has:
// DejaVu Sans (Debian fonts-dejavu-core, which scripts/deps installs) is loaded from its file,
// made the application font and put in for every face the program asks for by name.
#include <QString>

namespace vexal::test {

// The file the tests print and draw with.
inline constexpr const char* PinnedFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Loads the font and pins it; false (after a note on stderr) when the file is missing.
// Needs the application object.
bool PinTestFont();

// The pinned family, empty before PinTestFont succeeded.
QString PinnedFontFamily();

// For the length of a scope, the faces the program names resolve as on the user's machine
// (the fallback font when they are not installed), not to the pinned font: for the tests
// that prove a printout fits whatever face it gets.
class SystemFonts {
public:
    SystemFonts();
    ~SystemFonts();
    SystemFonts(const SystemFonts&) = delete;
    SystemFonts& operator=(const SystemFonts&) = delete;
};

} // namespace vexal::test
