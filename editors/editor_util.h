// Small helpers shared by detection and configuration of the editors.
#pragma once

#include <windows.h>

#include <string>

namespace editor_util {
// Upper case as Windows has it for the ANSI code page (accented letters too).
std::string UpperCase(std::string text);
// A string value opened with full access; empty when the key or the value
// is missing or the value is not a string.
std::string RegistryText(HKEY root, const char* subKey, const char* name);
} // namespace editor_util
