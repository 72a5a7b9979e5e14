#pragma once
// Private profile strings of Vexal.ini, with the platform's rules: section and key names
// match case-insensitively, keys may hold blanks, a missing file, section or key gives
// the default, and a value is cut to the caller's buffer size - 1 characters.
#include <filesystem>
#include <string>
#include <string_view>

namespace vexal {

// What makes the text of a settings or profile file one no program or editor wrote, in words
// for a message ("line 3 is no section, entry or comment"); empty when it is sound: every line
// is blank, a comment, a [section] or a key=value entry, with no control character in it. The
// last line may end without a line break, as editors save it.
std::string ProfileTextDamage(std::string_view text);

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue,
                                    const std::filesystem::path& file, std::size_t bufferSize = 256);
// Writes (or replaces) one key, creating the file or section when missing; CR LF lines, the
// last one too: every line of the file keeps its text, and a key added after a last line that
// had no line break goes on a line of its own. The file is rewritten safely (the old one stays
// whole when the write fails).
[[nodiscard]] bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::filesystem::path& file);
// The same, with the reason for a failure in words a message can show after the file's name
// ("the disk is full", "it could not be read: permission denied", ...).
bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::filesystem::path& file, std::string& reason);

} // namespace vexal
