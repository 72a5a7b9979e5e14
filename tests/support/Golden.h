#pragma once
// Golden files: the files a test expects the program to write, kept in the source tree under
// tests/<folder>/golden. Found the same way from any working folder (the source tree's place
// is built in), compared so that a difference names the first record and field, line or byte
// that differs, and rewritten from what the program wrote when the environment variable
// VEXAL_UPDATE_GOLDEN is 1 (review the diff before committing it).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vexal::test {

// <source tree>/tests/<testFolder>/golden, e.g. GoldenFolder("season").
std::filesystem::path GoldenFolder(const std::string& testFolder);
// A file of the source tree, e.g. SourceFile("src/season/default.fla").
std::filesystem::path SourceFile(const std::string& relative);
// A file of the build tree, e.g. BuildFile("tools/make_sample_seasons").
std::filesystem::path BuildFile(const std::string& relative);

// How a difference is named: season files by record and field, line files likewise, formula
// files by line and position, text by line, anything else by byte.
enum class GoldenKind { Bytes, Text, Season, Line, Formula };
// By the expected file's extension: .nfl, .Lyy, .fla, .htm/.html/.txt/.ftp/.rtf, else bytes.
GoldenKind GoldenKindOf(const std::filesystem::path& expected);

// The written bytes against the expected file.
::testing::AssertionResult MatchesGolden(const std::string& written, const std::filesystem::path& expected);
::testing::AssertionResult MatchesGolden(const std::string& written, const std::filesystem::path& expected,
                                         GoldenKind kind);
// A written file against the expected file.
::testing::AssertionResult FileMatchesGolden(const std::filesystem::path& written,
                                             const std::filesystem::path& expected);

// The first difference of two contents as MatchesGolden names it; empty when they are equal.
std::string FirstDifference(const std::string& expected, const std::string& written, GoldenKind kind);

} // namespace vexal::test
