#include "TextDamage.h"

namespace vexal {

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
