// Small helpers shared by detection and configuration of the editors.
#pragma once

#include <windows.h>

#include <string>

namespace editor_util {
// The word processors are 32-bit programs, and so are the checker's own
// parts that they load: their keys, and the product record those parts
// read, live in the 32-bit view of HKEY_LOCAL_MACHINE, also when this
// installer runs as a 64-bit program.
constexpr REGSAM kEditorView = KEY_WOW64_32KEY;

// Upper case as Windows has it for the ANSI code page (accented letters too).
std::string UpperCase(std::string text);
// A string value of a key opened with full access in the editors' view;
// empty when the key or the value is missing or the value is not a string.
std::string RegistryText(HKEY root, const std::string& subKey, const char* name);
// A message box over the main window: the text and caption of two strings.
void ShowEditorMessage(UINT textId, UINT captionId, UINT flags);
} // namespace editor_util
