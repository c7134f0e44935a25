#include "copy/install_folder.h"

#include "platform/path.h"

#include <windows.h>

#include <cctype>
#include <vector>

namespace {

// A folder still takes a file name of 8.3 characters: the limit of
// CreateDirectory, MAX_PATH less 12.
constexpr std::size_t kMaxFolder = MAX_PATH - 12;

bool isDeviceName(const std::string& name)
{
    std::string stem = LowerCase(name.substr(0, name.find('.')));
    for (const char* device : {"con", "prn", "aux", "nul", "clock$"})
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// A name Windows keeps as it is typed.
bool keptAsTyped(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
        return false;
    for (unsigned char c : name)
        if (c < 32 || std::string("<>:\"/|?*").find(static_cast<char>(c)) != std::string::npos)
            return false;
    return !isDeviceName(name);
}

} // namespace

CFolderCheck CheckFolderText(const std::string& folder)
{
    if (folder.size() < 3 || !std::isalpha(static_cast<unsigned char>(folder[0])) ||
        folder[1] != ':' || folder[2] != '\\')
        return CFolderCheck::notFull;
    std::string text = WithTrailingBackslash(folder);
    for (std::size_t start = 3, end; start < text.size(); start = end + 1) {
        end = text.find('\\', start);
        if (!keptAsTyped(text.substr(start, end - start)))
            return CFolderCheck::notFull;
    }
    return text.size() > kMaxFolder ? CFolderCheck::tooLong : CFolderCheck::ok;
}

bool FolderCanBeMade(const std::string& folder)
{
    std::string text = WithTrailingBackslash(folder);
    std::vector<std::string> made;
    bool ok = true;
    for (std::size_t end = text.find('\\', 3); end != std::string::npos; end = text.find('\\', end + 1)) {
        std::string level = text.substr(0, end);
        DWORD attributes = GetFileAttributesA(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            // A file of that name is no folder to install into.
            ok = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        } else if (CreateDirectoryA(level.c_str(), nullptr)) {
            made.push_back(level);
        } else {
            ok = false;
        }
        if (!ok)
            break;
    }
    for (auto level = made.rbegin(); level != made.rend(); ++level)
        RemoveDirectoryA(level->c_str());
    return ok;
}
