#include "Win1252.h"

#include <cstdint>

namespace vexal::win1252 {

namespace {

// Code points of the bytes 0x80..0x9F. The five bytes Windows-1252 leaves undefined map to
// the C1 control of the same value, as the platform's own conversion does, so every byte
// survives a round trip.
constexpr char32_t HighTable[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char ByteOf(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (HighTable[i] == cp)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

std::string ToUtf8(std::string_view ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (char c : ansi) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            AppendUtf8(out, HighTable[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

namespace {

// What starts at a byte of a UTF-8 text: a whole sequence of `length` bytes holding `code`
// (`least` the smallest code a sequence of that length holds in its shortest form); length 0
// where no sequence can start (a stray continuation byte, 0xF8 and above), -1 where a lead
// byte lacks its continuation bytes.
struct Utf8Sequence {
    int length = 0;
    char32_t code = 0;
    char32_t least = 0;
};

Utf8Sequence SequenceAt(std::string_view bytes, std::size_t i)
{
    const auto b = static_cast<unsigned char>(bytes[i]);
    Utf8Sequence seq;
    int extra = 0;
    if (b < 0x80) {
        seq.length = 1;
        seq.code = b;
        return seq;
    }
    if ((b & 0xE0) == 0xC0) {
        extra = 1;
        seq.code = b & 0x1F;
        seq.least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        seq.code = b & 0x0F;
        seq.least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        seq.code = b & 0x07;
        seq.least = 0x10000;
    } else {
        return seq;
    }
    seq.length = -1;
    if (bytes.size() - i <= static_cast<std::size_t>(extra))
        return seq;
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return seq;
        seq.code = (seq.code << 6) | (c & 0x3F);
    }
    seq.length = extra + 1;
    return seq;
}

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

std::string FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        const Utf8Sequence seq = SequenceAt(utf8, i);
        if (seq.length > 0) {
            out += seq.length == 1 ? static_cast<char>(seq.code) : ByteOf(seq.code);
            i += static_cast<std::size_t>(seq.length);
            continue;
        }
        // A stray continuation or invalid lead byte; a broken sequence goes whole.
        out += '?';
        ++i;
        if (seq.length < 0)
            while (i < n && IsContinuation(utf8[i]))
                ++i;
    }
    return out;
}

bool IsUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Sequence seq = SequenceAt(bytes, i);
        if (seq.length <= 0 || seq.code < seq.least || seq.code > 0x10FFFF || (seq.code >= 0xD800 && seq.code <= 0xDFFF))
            return false;
        i += static_cast<std::size_t>(seq.length);
    }
    return true;
}

} // namespace vexal::win1252
