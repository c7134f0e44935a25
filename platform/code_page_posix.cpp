#include "platform/code_page.h"

namespace {

// Windows-1252's bytes 0x80 to 0x9F; the others are Latin-1's. Its five
// unassigned bytes map to themselves, as Windows' own table has them.
const wchar_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

wchar_t fromAnsi(unsigned char c)
{
    return c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : static_cast<wchar_t>(c);
}

char toAnsi(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    return '?';
}

} // namespace

std::wstring WideFromAnsi(const char* text, std::size_t size)
{
    std::wstring out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        out += fromAnsi(static_cast<unsigned char>(text[i]));
    return out;
}

std::wstring WideFromUtf8(const char* text, std::size_t size)
{
    // Malformed sequences become U+FFFD, as the system's conversion has them.
    std::wstring out;
    for (std::size_t i = 0; i < size;) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= size) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        unsigned long code = extra == 0 ? c : c & (0x3F >> extra);
        bool good = true;
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            good = good && (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        if (!good) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(code);
        i += extra + 1;
    }
    return out;
}

std::string AnsiFromWide(const wchar_t* text, std::size_t size)
{
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i)
        out += toAnsi(text[i]);
    return out;
}

std::string Utf8FromWide(const wchar_t* text, std::size_t size)
{
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        unsigned long c = static_cast<unsigned long>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
