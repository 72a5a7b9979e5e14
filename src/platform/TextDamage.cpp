#include "TextDamage.h"

#include "Win1252.h"

namespace vexal {

namespace {

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (i + n > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

bool HasUtf8Mark(std::string_view text) { return text.starts_with(Utf8Mark); }

std::string_view WithoutUtf8Mark(std::string_view text)
{
    if (HasUtf8Mark(text))
        text.remove_prefix(Utf8Mark.size());
    return text;
}

std::string TextFileToUtf8(std::string_view text)
{
    if (!HasUtf8Mark(text))
        return win1252::ToUtf8(text);
    text.remove_prefix(Utf8Mark.size());
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceAt(text, i);
        if (n == 0) {
            out += win1252::ToUtf8(text.substr(i, 1));
            ++i;
        } else {
            out.append(text.substr(i, n));
            i += n;
        }
    }
    return out;
}

std::optional<std::size_t> FirstNonTextByte(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            return i;
    }
    return std::nullopt;
}

std::string TextByteDamage(std::string_view text, std::string_view kind)
{
    const std::optional<std::size_t> at = FirstNonTextByte(text);
    if (!at)
        return {};
    return "it holds a byte no " + std::string(kind) + " holds (" +
           std::to_string(static_cast<unsigned char>(text[*at])) + " at byte " + std::to_string(*at + 1) + ")";
}

} // namespace vexal
