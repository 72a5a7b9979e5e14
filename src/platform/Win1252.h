#pragma once
// Text files and record fields are single-byte Windows-1252; the program works in UTF-8.
#include <string>
#include <string_view>

namespace vexal::win1252 {
std::string ToUtf8(std::string_view ansi);
// Characters with no Windows-1252 form become '?'.
std::string FromUtf8(std::string_view utf8);
// Whether the bytes are UTF-8 as it is written: no stray or missing continuation byte, no
// overlong form, no surrogate, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes);
}
