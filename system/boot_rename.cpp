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
    if (!ReplaceAtRestart(path, ""))
        return false;
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

bool ScheduleBootRename(const std::string& source, const std::string& target,
                        MoveAtRestartFn moveAtRestart, const std::string& wininit)
{
    if (moveAtRestart && moveAtRestart(source, target))
        return true;
    // Refused: a system without the request reads wininit.ini at start-up.
    return !wininit.empty() && AddWininitRename(wininit, source, target);
}

bool ReplaceAtRestart(const std::string& source, const std::string& target)
{
    // Windows NT never reads wininit.ini: a request it refuses is not pending.
    bool nt = (GetVersion() & 0x80000000u) == 0;
    if (!ScheduleBootRename(source, target, MoveAtRestart, nt ? std::string() : WininitPath()))
        return false;
    // Only a replacement that is really pending asks for a restart.
    CInstallApp::get().NeedRestart();
    return true;
}

namespace {

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPendingRenames = L"PendingFileRenameOperations";

std::wstring widen(const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 1 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], n);
    return wide;
}

// A path of the list as the program names files: without its "\??\" (and
// a target's "!") prefix, in the ANSI code page.
std::string listedPath(std::wstring text)
{
    if (!text.empty() && text[0] == L'!')
        text.erase(0, 1);
    if (text.compare(0, 4, L"\\??\\") == 0)
        text.erase(0, 4);
    if (text.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 1 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

// The list's texts: pairs of the file to move and where to (empty to
// delete it), so an empty text doesn't end the list; a pair without a file
// to move does.
std::vector<std::wstring> readList(HKEY key)
{
    std::vector<std::wstring> texts;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || size == 0)
        return texts;
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &got) != ERROR_SUCCESS)
        return texts;
    std::size_t count = got / sizeof(wchar_t);
    std::wstring piece;
    for (std::size_t i = 0; i < count; ++i) {
        if (data[i] == L'\0') {
            texts.push_back(piece);
            piece.clear();
        } else {
            piece += data[i];
        }
    }
    if (!piece.empty())
        texts.push_back(piece);
    return texts;
}

template <class Visit>
void forEachPair(const std::vector<std::wstring>& texts, Visit visit)
{
    for (std::size_t i = 0; i < texts.size() && !texts[i].empty(); i += 2)
        visit(texts[i], i + 1 < texts.size() ? texts[i + 1] : std::wstring());
}

} // namespace

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0 ||
           lstrcmpiA(CPath(a).shortText().c_str(), CPath(b).shortText().c_str()) == 0;
}

std::vector<CBootOperation> PendingBootOperations(HKEY root, const std::string& sessionManagerKey)
{
    std::vector<CBootOperation> operations;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(sessionManagerKey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return operations;
    forEachPair(readList(key), [&](const std::wstring& from, const std::wstring& to) {
        operations.push_back({listedPath(from), listedPath(to)});
    });
    RegCloseKey(key);
    return operations;
}

std::vector<CBootOperation> PendingBootOperations()
{
    return PendingBootOperations(HKEY_LOCAL_MACHINE, kSessionManager);
}

std::vector<CBootOperation> WithdrawBootOperations(const std::function<bool(const CBootOperation&)>& drop,
                                                   HKEY root, const std::string& sessionManagerKey)
{
    std::vector<CBootOperation> dropped;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, widen(sessionManagerKey).c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return dropped;
    std::wstring kept;
    forEachPair(readList(key), [&](const std::wstring& from, const std::wstring& to) {
        CBootOperation operation{listedPath(from), listedPath(to)};
        if (drop(operation)) {
            dropped.push_back(operation);
            return;
        }
        kept += from;
        kept += L'\0';
        kept += to;
        kept += L'\0';
    });
    if (!dropped.empty()) {
        if (kept.empty()) {
            RegDeleteValueW(key, kPendingRenames);
        } else {
            kept += L'\0';
            RegSetValueExW(key, kPendingRenames, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                           static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
        }
    }
    RegCloseKey(key);
    return dropped;
}

std::vector<CBootOperation> WithdrawBootOperations(const std::function<bool(const CBootOperation&)>& drop)
{
    return WithdrawBootOperations(drop, HKEY_LOCAL_MACHINE, kSessionManager);
}

void WithdrawBootRename(const std::string& source, const std::string& target, HKEY root,
                        const std::string& sessionManagerKey, const std::string& wininit)
{
    WithdrawBootOperations([&](const CBootOperation& operation) { return SamePath(operation.source, source); },
                           root, sessionManagerKey);
    std::string key = target.empty() ? std::string("NUL") : CPath(target).shortText();
    if (CPath(wininit).exists())
        CIniLineEditor(wininit).RemoveEntry("rename", key, CPath(source).shortText());
}

void WithdrawBootRename(const std::string& source, const std::string& target)
{
    WithdrawBootRename(source, target, HKEY_LOCAL_MACHINE, kSessionManager, WininitPath());
}
