#include "editors/editor_util.h"

#include "app/install_app.h"
#include "log/install_log.h"
#include "platform/path.h"
#include "platform/registry.h"
#include "platform/resource_string.h"

#include <vector>

namespace editor_util {

std::string UpperCase(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

std::string RegistryText(HKEY root, const std::string& subKey, const char* name)
{
    CRegKey key;
    if (!key.open(root, subKey, kEditorView))
        return std::string();
    return key.readString(name).value_or("");
}

std::string IniValue(const char* section, const char* key, const char* file, DWORD size)
{
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = GetPrivateProfileStringA(section, key, "", buffer.data(), size, file);
    return std::string(buffer.data(), got);
}

void ShowEditorMessage(const CInstallApp& app, HWND owner, UINT textId, UINT captionId, UINT flags)
{
    // Unattended, the box only says something: its text goes to the log.
    if (app.quietMode) {
        WriteLogEvent(app.logPath.text(), LoadResourceString(textId));
        return;
    }
    MessageBoxA(owner, LoadResourceString(textId).c_str(), LoadResourceString(captionId).c_str(),
                flags);
}

std::string TopmostMissingKey(HKEY root, const std::string& subKey)
{
    for (std::size_t end = subKey.find('\\'); ; end = subKey.find('\\', end + 1)) {
        std::string prefix = subKey.substr(0, end);
        if (!CRegKey::exists(root, prefix, kEditorView))
            return prefix;
        if (end == std::string::npos)
            return std::string();
    }
}

void DeleteEmptyKeysUpTo(HKEY root, const std::string& subKey, const std::string& top)
{
    if (top.empty() || subKey.compare(0, top.size(), top) != 0)
        return;
    for (std::string key = subKey; key.size() >= top.size(); key = key.substr(0, key.rfind('\\'))) {
        CRegKey open;
        if (!open.open(root, key, kEditorView) || !open.isEmpty())
            return;
        open.close();
        CRegKey::deleteKey(root, key, kEditorView);
        if (key.find('\\') == std::string::npos)
            return;
    }
}

std::string RecordValue(const CEditor& editor, const char* name)
{
    std::string key = std::string(kProductKey) + "\\" + editor.recordKey;
    std::string value = RegistryText(HKEY_CURRENT_USER, key, name);
    return value.empty() ? RegistryText(HKEY_LOCAL_MACHINE, key, name) : value;
}

std::string CreatedKey(const CEditor& editor)
{
    return RecordValue(editor, kCreatedKeyValue);
}

void KeepWindowsIniForUndo(const CInstallApp& app, const char* file)
{
    CPath path;
    path.setSpecial(CPath::windowsFolder);
    path.setFileName(file);
    app.journal.FileBefore(path.text());
}

} // namespace editor_util
