#pragma once
// Test stand-ins for the windows a test does not link: each is the least the shell needs of
// a view (its caption, its hidden refresh button, the control that takes the theme picture)
// or of a separate window (formula editor, Single Game, FTP window, document viewer).
// A real window's registration, made after these, replaces its stand-in.
namespace vexal {

// Registers every stand-in (and nothing else).
void RegisterStandInWindows();

// A stand-in's refresh button counts its presses in this dynamic property.
inline constexpr const char* RefreshCountProperty = "RefreshCount";

} // namespace vexal
