// Small helpers shared by detection and configuration of the editors.
#pragma once

#include <windows.h>

#include <string>

class CInstallApp;
struct CEditor;

namespace editor_util {
// The word processors are 32-bit programs, and so are the checker's own
// parts that they load: their keys, and the product record those parts
// read, live in the 32-bit view of HKEY_LOCAL_MACHINE, also when this
// installer runs as a 64-bit program.
constexpr REGSAM kEditorView = KEY_WOW64_32KEY;

// Where the Word versions keep what both detection and configuration read.
constexpr const char* kWord6Ini = "winword6.ini";
constexpr const char* kWord6Section = "Microsoft Word";
constexpr const char* kWord7OptionsKey = "SOFTWARE\\Microsoft\\Word\\7.0\\Options";
constexpr const char* kWord2000RootKey = "SOFTWARE\\Microsoft\\Office\\9.0\\Word\\InstallRoot";

// Upper case as Windows has it for the ANSI code page (accented letters too).
std::string UpperCase(std::string text);
// A string value of a key opened with full access in the editors' view;
// empty when the key or the value is missing or the value is not a string.
std::string RegistryText(HKEY root, const std::string& subKey, const char* name);
// A value of a private profile file (a bare name is looked for in the
// Windows folder), read into a buffer of `size` characters; empty by default.
std::string IniValue(const char* section, const char* key, const char* file, DWORD size);
// A message box owned by owner: the text and caption of two strings.
// The topmost key of subKey's path (in the editors' view) that doesn't
// exist; empty when the whole path is there.
std::string TopmostMissingKey(HKEY root, const std::string& subKey);
// Deletes subKey and then its parents, up to and including top, for as long
// as each holds nothing (the editors' view). Nothing when top is empty or
// not on subKey's path.
void DeleteEmptyKeysUpTo(HKEY root, const std::string& subKey, const std::string& top);
// A value of the editor's subkey of the product record: this user's record,
// or else the machine's (another account installed).
std::string RecordValue(const CEditor& editor, const char* name);
// The key the editor's configuration made, as the product record keeps it.
std::string CreatedKey(const CEditor& editor);

// A private profile file of the Windows folder that a step is about to
// change, kept for an undo of the run.
void KeepWindowsIniForUndo(const CInstallApp& app, const char* file);
// In quiet mode its text goes to the log instead.
void ShowEditorMessage(const CInstallApp& app, HWND owner, UINT textId, UINT captionId, UINT flags);
} // namespace editor_util
