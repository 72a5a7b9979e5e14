#pragma once
// HTML source to plain text with CR LF line breaks: the body's text with paragraphs, list
// items, table rows and cells laid out, lines wrapped at blanks after 75 columns, scripts
// and comments dropped, character references resolved. The text is ANSI (Windows-1252).
#include <string>

namespace vexal {

std::string HTML2Text(const std::string& html);

} // namespace vexal
