#include "editors/editor_util.h"

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

void ShowEditorMessage(HWND owner, UINT textId, UINT captionId, UINT flags)
{
    MessageBoxA(owner, LoadResourceString(textId).c_str(), LoadResourceString(captionId).c_str(),
                flags);
}

} // namespace editor_util
