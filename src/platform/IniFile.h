#pragma once
// Private profile strings of Vexal.ini, with the platform's rules: section and key names
// match case-insensitively, keys may hold blanks, a missing file, section or key gives
// the default, and a value is cut to the caller's buffer size - 1 characters.
#include <filesystem>
#include <string>
#include <string_view>

namespace vexal {

// What makes the text of a settings or profile file one no program wrote whole, in words for
// a message ("it ends in the middle of a line, as a file cut short does"); empty when it is
// whole: every line, the last one too, ends with a line break, and each is blank, a comment,
// a [section] or a key=value entry, with no control character in it.
std::string ProfileTextDamage(std::string_view text);

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue,
                                    const std::filesystem::path& file, std::size_t bufferSize = 256);
// Writes (or replaces) one key, creating the file or section when missing; CR LF lines.
// The file is rewritten safely (the old one stays whole when the write fails).
[[nodiscard]] bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::filesystem::path& file);

} // namespace vexal
