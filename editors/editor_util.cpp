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

void KeepWindowsIniForUndo(const CInstallApp& app, const char* file)
{
    CPath path;
    path.setSpecial(CPath::windowsFolder);
    path.setFileName(file);
    app.journal.FileBefore(path.text());
}

} // namespace editor_util
