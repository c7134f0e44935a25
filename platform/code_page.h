// Texts between the system code page (Windows-1252 for the program's Catalan
// texts), UTF-8 and wide characters. On Windows through the system's own
// conversions; elsewhere (the host build's tests and fuzzers) Windows-1252
// and UTF-8 by table, so that the same parsing runs on both sides.
#pragma once

#include <cstddef>
#include <string>

std::wstring WideFromAnsi(const char* text, std::size_t size);
std::wstring WideFromUtf8(const char* text, std::size_t size);
std::string AnsiFromWide(const wchar_t* text, std::size_t size);
std::string Utf8FromWide(const wchar_t* text, std::size_t size);
