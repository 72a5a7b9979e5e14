#pragma once
// The one rule for what a text file holds, whatever reads it (settings, profiles, templates,
// formula and smart formula files, stat files, the version file, documents). No text holds a
// control byte other than a tab, a carriage return or a line feed, nor DEL: an editor writes
// none of them, so a file that holds one was left by a failing disk, a cut copy or a program
// that wrote something else under the name. A file whose last line has no line end is sound:
// editors save files so. A UTF-8 mark at the file's start (EF BB BF, which Windows editors
// write) is no part of its first field: it says the text after it is UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexal {

inline constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

bool HasUtf8Mark(std::string_view text);
// The text a reader takes its fields from: the file's bytes after a UTF-8 mark, or all of them.
std::string_view WithoutUtf8Mark(std::string_view text);
// A text file's characters in UTF-8, the mark left out: after a mark the text is UTF-8 (a byte
// of no UTF-8 sequence, which an older editor may have added, is the Windows-1252 character it
// was); without one, Windows-1252, the program's text encoding.
std::string TextFileToUtf8(std::string_view text);

// Where the first byte no text holds is (0-based), if any.
std::optional<std::size_t> FirstNonTextByte(std::string_view text);

// The damage in words for a message, naming the kind of text ("it holds a byte no formula file
// holds (1 at byte 12)"); empty when every byte is one a text holds.
std::string TextByteDamage(std::string_view text, std::string_view kind);

} // namespace vexal
