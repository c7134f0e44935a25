#include "system/boot_rename.h"

#include "app/install_app.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <utility>
#include <vector>

namespace {

const wchar_t* kSessionManager = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t* kPending = L"PendingFileRenameOperations";

std::wstring wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], length);
    return out;
}

bool endsWithNoCase(const std::wstring& text, const std::wstring& tail)
{
    if (tail.empty() || text.size() < tail.size())
        return false;
    return std::equal(tail.begin(), tail.end(), text.end() - tail.size(),
                      [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); });
}

// The pending renames as Windows keeps them: pairs of source and target
// (target empty for a deletion, "!" first when it may replace a file).
using CPendingPairs = std::vector<std::pair<std::wstring, std::wstring>>;

CPendingPairs readPending()
{
    CPendingPairs pairs;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return pairs;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, kPending, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_MULTI_SZ) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, kPending, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]),
                             &size) == ERROR_SUCCESS) {
            data.resize(size / sizeof(wchar_t));
            std::vector<std::wstring> strings;
            std::size_t pos = 0;
            while (pos < data.size()) {
                std::size_t end = data.find(L'\0', pos);
                if (end == std::wstring::npos)
                    end = data.size();
                strings.push_back(data.substr(pos, end - pos));
                pos = end + 1;
            }
            // The list ends with an empty string of its own.
            while (strings.size() % 2 != 0 && !strings.empty() && strings.back().empty())
                strings.pop_back();
            for (std::size_t i = 0; i + 1 < strings.size(); i += 2)
                pairs.emplace_back(strings[i], strings[i + 1]);
        }
    }
    RegCloseKey(key);
    return pairs;
}

// Takes this test's requests out again, so that no later start of the
// prefix acts on them; other programs' requests stay as they were.
void removePending(const std::string& source)
{
    std::wstring ours = wide(source);
    CPendingPairs pairs = readPending();
    CPendingPairs kept;
    for (const auto& pair : pairs)
        if (!endsWithNoCase(pair.first, ours))
            kept.push_back(pair);
    if (kept.size() == pairs.size())
        return;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return;
    if (kept.empty()) {
        RegDeleteValueW(key, kPending);
    } else {
        std::wstring data;
        for (const auto& pair : kept) {
            data += pair.first;
            data += L'\0';
            data += pair.second;
            data += L'\0';
        }
        data += L'\0';
        RegSetValueExW(key, kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

const std::pair<std::wstring, std::wstring>* findPending(const CPendingPairs& pairs,
                                                         const std::string& source)
{
    std::wstring ours = wide(source);
    for (const auto& pair : pairs)
        if (endsWithNoCase(pair.first, ours))
            return &pair;
    return nullptr;
}

std::string shortPath(const std::string& path)
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer) : path;
}

struct CFakeMove {
    static bool refuse(const std::string& source, const std::string& target)
    {
        calls.emplace_back(source, target);
        return false;
    }
    static bool accept(const std::string& source, const std::string& target)
    {
        calls.emplace_back(source, target);
        return true;
    }
    static std::vector<std::pair<std::string, std::string>> calls;
};
std::vector<std::pair<std::string, std::string>> CFakeMove::calls;

} // namespace

TEST(BootRename, MoveAtRestartIsPendingInTheSessionManager)
{
    CScratchFolder folder;
    folder.write("OVCAT32.DLL", "old");
    folder.write("0A1B2C3D.DLL", "new");
    folder.write("LEFTOVER.TMP", "x");
    folder.write("THEIRS.TMP", "x");
    const std::string source = folder / "0A1B2C3D.DLL";
    const std::string target = folder / "OVCAT32.DLL";
    const std::string doomed = folder / "LEFTOVER.TMP";
    const std::string theirs = folder / "THEIRS.TMP";

    bool moved = MoveAtRestart(source, target);
    bool deleted = MoveAtRestart(doomed, "");
    ASSERT_TRUE(MoveFileExA(theirs.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    CPendingPairs pairs = readPending();
    // Withdrawn again (an installation undone): another program's stays.
    WithdrawBootRename(source, target);
    WithdrawBootRename(doomed, "");
    bool theirsKept = findPending(readPending(), theirs) != nullptr;
    removePending(theirs);
    EXPECT_TRUE(theirsKept);

    ASSERT_TRUE(moved);
    ASSERT_TRUE(deleted);
    auto* swap = findPending(pairs, source);
    ASSERT_NE(swap, nullptr);
    // The old file is there at start-up: the request must be allowed to replace it.
    ASSERT_FALSE(swap->second.empty());
    EXPECT_EQ(swap->second[0], L'!');
    EXPECT_TRUE(endsWithNoCase(swap->second, wide(target)));
    auto* deletion = findPending(pairs, doomed);
    ASSERT_NE(deletion, nullptr);
    EXPECT_TRUE(deletion->second.empty());

    EXPECT_EQ(findPending(readPending(), source), nullptr);
    EXPECT_EQ(findPending(readPending(), doomed), nullptr);
    // Nothing happens to the files before the restart.
    EXPECT_EQ(ReadWholeFile(target), "old");
    EXPECT_EQ(ReadWholeFile(source), "new");
}

TEST(BootRename, RefusedRequestGoesToWininitInShortForms)
{
    CScratchFolder folder;
    folder.write("Ortavel shared library.dll", "old");
    folder.write("0A1B2C3D.dll", "new");
    const std::string source = folder / "0A1B2C3D.dll";
    const std::string target = folder / "Ortavel shared library.dll";
    const std::string wininit = folder / "wininit.ini";

    CFakeMove::calls.clear();
    ScheduleBootRename(source, target, CFakeMove::refuse, wininit);
    ScheduleBootRename(source, "", CFakeMove::refuse, wininit);
    ASSERT_EQ(CFakeMove::calls.size(), 2u);
    EXPECT_EQ(CFakeMove::calls[0], std::make_pair(source, target));

    std::string shortTarget = shortPath(target);
    ASSERT_EQ(shortTarget.find(' '), std::string::npos) << shortTarget;
    EXPECT_EQ(ReadWholeFile(wininit), "[rename]\r\n" + shortTarget + "=" + shortPath(source) +
                                          "\r\nNUL=" + shortPath(source) + "\r\n");

    // Accepted by the platform: wininit.ini is not touched.
    const std::string before = ReadWholeFile(wininit);
    ScheduleBootRename(folder / "OTHER.DLL", target, CFakeMove::accept, wininit);
    EXPECT_EQ(ReadWholeFile(wininit), before);

    // Withdrawn: that entry goes, the deletion of the same file stays.
    WithdrawBootRename(source, target, HKEY_CURRENT_USER, "Software\\OVCA40 cap clau", wininit);
    EXPECT_EQ(ReadWholeFile(wininit), "[rename]\r\nNUL=" + shortPath(source) + "\r\n");
}

TEST(BootRename, ReplaceAtRestartMarksTheRunForARestart)
{
    CInstallApp app;
    CScratchFolder folder;
    folder.write("OLD.DLL", "old");
    folder.write("NEW.DLL", "new");
    const std::string source = folder / "NEW.DLL";
    ASSERT_FALSE(app.restartNeeded);
    bool result = ReplaceAtRestart(source, folder / "OLD.DLL");
    bool pending = findPending(readPending(), source) != nullptr;
    removePending(source);
    EXPECT_TRUE(result);
    EXPECT_TRUE(app.restartNeeded);
    EXPECT_TRUE(pending);
    EXPECT_EQ(WininitPath().substr(WininitPath().size() - 12), "\\wininit.ini");
}
