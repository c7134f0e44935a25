// The sample product's second uninstall stage, uninsta.exe in the System
// folder. The uninstaller starts it as it ends, with "/U /PP:" and the path
// of its own profile; this program waits for that uninstaller (the program
// beside the profile) to end, deletes it, and then its folder when nothing
// else is left there.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// The value of "/PP:" on the command line: the rest of the token, or what
// stands between quotation marks.
std::string profilePath(const char* commandLine)
{
    const char* found = std::strstr(commandLine, "/PP:");
    if (!found)
        return std::string();
    std::string value(found + 4);
    if (!value.empty() && value[0] == '"') {
        std::size_t end = value.find('"', 1);
        return value.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    }
    std::size_t blank = value.find(' ');
    return blank == std::string::npos ? value : value.substr(0, blank);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string profile = profilePath(GetCommandLineA());
    std::size_t dot = profile.rfind('.');
    std::size_t slash = profile.rfind('\\');
    if (profile.empty() || slash == std::string::npos || (dot != std::string::npos && dot < slash))
        return 1;
    std::string program = profile.substr(0, dot) + ".exe";
    // The uninstaller is still ending: a running program can't be deleted.
    for (int tries = 0; tries < 600; ++tries) {
        if (DeleteFileA(program.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
            GetLastError() == ERROR_PATH_NOT_FOUND)
            break;
        Sleep(100);
    }
    RemoveDirectoryA(profile.substr(0, slash).c_str());
    return GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES ? 0 : 2;
}
