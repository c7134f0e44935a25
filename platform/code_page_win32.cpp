#include "platform/code_page.h"

#include <windows.h>

namespace {

std::wstring widen(const char* text, std::size_t size, UINT codePage)
{
    if (size == 0)
        return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(codePage, 0, text, static_cast<int>(size), &out[0], n);
    return out;
}

std::string narrow(const wchar_t* text, std::size_t size, UINT codePage)
{
    if (size == 0)
        return std::string();
    int n = WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, text, static_cast<int>(size), &out[0], n, nullptr, nullptr);
    return out;
}

} // namespace

std::wstring WideFromAnsi(const char* text, std::size_t size)
{
    return widen(text, size, CP_ACP);
}

std::wstring WideFromUtf8(const char* text, std::size_t size)
{
    return widen(text, size, CP_UTF8);
}

std::string AnsiFromWide(const wchar_t* text, std::size_t size)
{
    return narrow(text, size, CP_ACP);
}

std::string Utf8FromWide(const wchar_t* text, std::size_t size)
{
    return narrow(text, size, CP_UTF8);
}
