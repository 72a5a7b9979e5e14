#pragma once
// The one rule for what no text file holds, whatever reads it (settings, profiles, templates,
// formula files, stat files, the version file): a control byte other than a tab, a carriage
// return or a line feed, or DEL. An editor writes none of them, so a file that holds one was
// left by a failing disk, a cut copy or a program that wrote something else under the name.
// A file whose last line has no line end is sound: editors save files so.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexal {

// Where the first byte no text holds is (0-based), if any.
std::optional<std::size_t> FirstNonTextByte(std::string_view text);

// The damage in words for a message, naming the kind of text ("it holds a byte no formula file
// holds (1 at byte 12)"); empty when every byte is one a text holds.
std::string TextByteDamage(std::string_view text, std::string_view kind);

} // namespace vexal
