#include "system/boot_rename.h"

#include "app/install_app.h"
#include "platform/path.h"
#include "system/ini_line_editor.h"

#include <windows.h>

#include <vector>

bool MoveAtRestart(const std::string& source, const std::string& target)
{
    if (target.empty())
        return MoveFileExA(source.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    // The old file is still there at start-up: without leave to replace it
    // the swap would be skipped and the new file never put in place.
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool DeleteNowOrAtRestart(const std::string& path)
{
    CPath file(path);
    if (RetryWhileInUse([&] { return file.remove(); }))
        return true;
    if (!IsInUseError(GetLastError()))
        return false;
    ReplaceAtRestart(path, "");
    CInstallApp::get().LogEvent("In use, deleted when Windows next starts: %s", path.c_str());
    return true;
}

std::string WininitPath()
{
    CPath path;
    path.setSpecial(CPath::windowsFolder);
    path.setFileName("wininit.ini");
    return path.text();
}

bool AddWininitRename(const std::string& wininit, const std::string& source,
                      const std::string& target)
{
    std::string key = target.empty() ? std::string("NUL") : CPath(target).shortText();
    CIniLineEditor editor(wininit);
    return editor.AddEntry("rename", key, CPath(source).shortText());
}

void ScheduleBootRename(const std::string& source, const std::string& target,
                        MoveAtRestartFn moveAtRestart, const std::string& wininit)
{
    if (moveAtRestart && moveAtRestart(source, target))
        return;
    // Refused (a system without the request, or without the rights): the
    // outcome of the edit is not reported.
    AddWininitRename(wininit, source, target);
}

bool ReplaceAtRestart(const std::string& source, const std::string& target)
{
    ScheduleBootRename(source, target, MoveAtRestart, WininitPath());
    // Only a replacement that is really pending asks for a restart.
    CInstallApp::get().restartNeeded = true;
    return true;
}

namespace {

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenames = "PendingFileRenameOperations";

// A path of the list without its "\??\" (and a target's "!") prefix.
std::string listedPath(std::string text)
{
    if (!text.empty() && text[0] == '!')
        text.erase(0, 1);
    if (text.compare(0, 4, "\\??\\") == 0)
        text.erase(0, 4);
    return text;
}

bool samePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0 ||
           lstrcmpiA(CPath(a).shortText().c_str(), CPath(b).shortText().c_str()) == 0;
}

void withdrawFromList(HKEY root, const std::string& keyName, const std::string& source)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ && size > 0) {
        std::vector<char> data(size + 2, '\0');
        if (RegQueryValueExA(key, kPendingRenames, nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            // Pairs of texts: the file to move, then where to (empty to
            // delete it), so an empty text doesn't end the list; a pair
            // without a file to move does.
            std::vector<std::string> texts;
            std::string piece;
            for (DWORD i = 0; i < size; ++i) {
                if (data[i] == '\0') {
                    texts.push_back(piece);
                    piece.clear();
                } else {
                    piece += data[i];
                }
            }
            std::string kept;
            bool removed = false;
            for (std::size_t i = 0; i < texts.size() && !texts[i].empty(); i += 2) {
                std::string to = i + 1 < texts.size() ? texts[i + 1] : std::string();
                if (samePath(listedPath(texts[i]), source)) {
                    removed = true;
                    continue;
                }
                kept += texts[i] + '\0' + to + '\0';
            }
            if (removed) {
                if (kept.empty()) {
                    RegDeleteValueA(key, kPendingRenames);
                } else {
                    kept += '\0';
                    RegSetValueExA(key, kPendingRenames, 0, REG_MULTI_SZ,
                                   reinterpret_cast<const BYTE*>(kept.data()),
                                   static_cast<DWORD>(kept.size()));
                }
            }
        }
    }
    RegCloseKey(key);
}

} // namespace

void WithdrawBootRename(const std::string& source, const std::string& target, HKEY root,
                        const std::string& sessionManagerKey, const std::string& wininit)
{
    withdrawFromList(root, sessionManagerKey, source);
    std::string key = target.empty() ? std::string("NUL") : CPath(target).shortText();
    if (CPath(wininit).exists())
        CIniLineEditor(wininit).RemoveEntry("rename", key, CPath(source).shortText());
}

void WithdrawBootRename(const std::string& source, const std::string& target)
{
    WithdrawBootRename(source, target, HKEY_LOCAL_MACHINE, kSessionManager, WininitPath());
}
