#include "editors/editor_util.h"

#include "platform/registry.h"

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

} // namespace editor_util
