#pragma once
// The program's windows by name: each window's objectName and the name the window registry
// (Windows.h) knows it by. Written here once; every other place uses these constants.
namespace vexal::WindowName {

inline constexpr const char* Main = "Main";
inline constexpr const char* Splash = "opening";
inline constexpr const char* Standings = "FORM1";
inline constexpr const char* EnterLines = "lines";
inline constexpr const char* Statistics = "FORM6";
inline constexpr const char* InputStats = "FORM2";
inline constexpr const char* Predictions = "PREDICT";
inline constexpr const char* PowerRatings = "Power";
inline constexpr const char* OtherFactors = "INJURIES";
inline constexpr const char* TestFormula = "frmTest";
inline constexpr const char* FormulaEditor = "frmFormula";
inline constexpr const char* SingleGame = "Singleg";
inline constexpr const char* StatsDownload = "frmDownload";
inline constexpr const char* DocumentViewer = "frmRichEdit";

} // namespace vexal::WindowName
