#include "platform/path.h"

#include "platform/code_page.h"
#include "platform/message_pump.h"

#include <cstdio>
#include <cstdlib>

std::string WithTrailingBackslash(const std::string& folder)
{
    if (folder.empty() || folder.back() == '\\')
        return folder;
    return folder + '\\';
}

bool IsTemporaryName(const std::string& path)
{
    CPath file(path);
    if (file.name().size() != 8)
        return false;
    for (char c : file.name())
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

void CPath::set(const std::string& text)
{
    std::string rest = text;
    m_drive.clear();
    if (rest.size() >= 2 && rest[1] == ':') {
        m_drive = rest.substr(0, 1);
        rest.erase(0, 2);
    }
    std::size_t slash = rest.find_last_of("\\/");
    m_folder = slash == std::string::npos ? std::string() : rest.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? rest : rest.substr(slash + 1);
    setFileName(file);
}

void CPath::setFileName(const std::string& file)
{
    std::size_t dot = file.rfind('.');
    if (dot == std::string::npos) {
        m_name = file;
        m_ext.clear();
    } else {
        m_name = file.substr(0, dot);
        m_ext = file.substr(dot + 1);
    }
}

void CPath::setFolder(const std::string& folder)
{
    m_folder = WithTrailingBackslash(folder);
}

std::string CPath::folderText() const
{
    return (m_drive.empty() ? std::string() : m_drive + ":") + m_folder;
}

std::string CPath::fileName() const
{
    return m_ext.empty() ? m_name : m_name + "." + m_ext;
}

std::string CPath::text() const
{
    return folderText() + fileName();
}

UINT SharedSystemFolder(char* buffer, UINT size)
{
    // Asked for by name: Windows without 64-bit support may lack the call.
    using Wow64Folder = UINT(WINAPI*)(LPSTR, UINT);
    static const auto wow64Folder = reinterpret_cast<Wow64Folder>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA")));
    if (wow64Folder) {
        UINT length = wow64Folder(buffer, size);
        if (length != 0 && length < size)
            return length;
    }
    return GetSystemDirectoryA(buffer, size);
}

void CPath::setSpecial(int which)
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = 0;
    switch (which) {
    case currentFolder: length = GetCurrentDirectoryA(sizeof buffer, buffer); break;
    case windowsFolder: length = GetWindowsDirectoryA(buffer, sizeof buffer); break;
    case systemFolder: length = SharedSystemFolder(buffer, sizeof buffer); break;
    case tempFolder: length = GetTempPathA(sizeof buffer, buffer); break;
    case programFolder: {
        CPath self;
        self.setProgramFile();
        m_drive = self.m_drive;
        m_folder = self.m_folder;
        return;
    }
    default: return;
    }
    if (length == 0 || length >= sizeof buffer)
        return;
    CPath folder(WithTrailingBackslash(buffer));
    m_drive = folder.m_drive;
    m_folder = folder.m_folder;
}

void CPath::setProgramFile()
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        set(buffer);
}

std::string CPath::rootText() const
{
    return m_drive.empty() ? std::string() : m_drive + ":\\";
}

DWORD CPath::attributes() const
{
    std::string path = text();
    if (path.empty())
        return INVALID_FILE_ATTRIBUTES;
    // "C:\DIR\" names the folder; a drive's root keeps its backslash.
    if (path.size() > 1 && path.back() == '\\' && path != rootText())
        path.pop_back();
    return GetFileAttributesA(path.c_str());
}

bool CPath::exists() const
{
    return attributes() != INVALID_FILE_ATTRIBUTES;
}

bool CPath::isFolder() const
{
    DWORD found = attributes();
    return found != INVALID_FILE_ATTRIBUTES && (found & FILE_ATTRIBUTE_DIRECTORY);
}

bool CPath::remove() const
{
    std::string path = text();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return true;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileA(path.c_str()) != FALSE;
}

bool CPath::renameTo(const std::string& newPath) const
{
    return MoveFileA(text().c_str(), newPath.c_str()) != FALSE;
}

bool CPath::createFolders() const
{
    std::string folder = folderText();
    if (folder.empty())
        return false;
    // Walk down from the root, creating each level that is missing.
    std::size_t start = m_drive.empty() ? 0 : 3;
    if (folder.compare(0, 2, "\\\\") == 0) {
        // \\server\share\ is taken as given.
        std::size_t share = folder.find('\\', 2);
        share = share == std::string::npos ? std::string::npos : folder.find('\\', share + 1);
        if (share == std::string::npos)
            return false;
        start = share + 1;
    } else if (start == 0 && !folder.empty() && folder[0] == '\\') {
        start = 1;
    }
    for (std::size_t pos = folder.find('\\', start); pos != std::string::npos;
         pos = folder.find('\\', pos + 1)) {
        std::string level = folder.substr(0, pos);
        if (level.empty())
            continue;
        DWORD attributes = GetFileAttributesA(level.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return false;
            continue;
        }
        if (!CreateDirectoryA(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    return true;
}

std::uint64_t CPath::freeBytes() const
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    std::string root = rootText();
    if (!GetDiskFreeSpaceA(root.empty() ? nullptr : root.c_str(), &sectorsPerCluster,
                           &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    // A 32-bit product wraps on any disk with more than 4 GiB free.
    return std::uint64_t(freeClusters) * sectorsPerCluster * bytesPerSector;
}

std::uint32_t CPath::clusterSize() const
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    std::string root = rootText();
    if (!GetDiskFreeSpaceA(root.empty() ? nullptr : root.c_str(), &sectorsPerCluster,
                           &bytesPerSector, &freeClusters, &totalClusters))
        return 0;
    return sectorsPerCluster * bytesPerSector;
}

UINT CPath::driveType() const
{
    std::string root = rootText();
    return GetDriveTypeA(root.empty() ? nullptr : root.c_str());
}

namespace {

// At least the letters every code page shares.
std::string asciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

std::string LowerCase(std::string text)
{
    // What CharLowerBuff does, through the system code page and the
    // locale's lower case, but with the kernel's functions only: the window
    // system is not loaded for it.
    int length = static_cast<int>(text.size());
    if (length == 0)
        return text;
    std::wstring wide = WideFromAnsi(text.data(), text.size());
    int units = static_cast<int>(wide.size());
    if (units == 0)
        return asciiLower(std::move(text));
    std::wstring folded(wide.size(), L'\0');
    if (LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, wide.data(), units, &folded[0], units) != units)
        return asciiLower(std::move(text));
    // A letter whose lower case the code page lacks would come back as a
    // stand-in: the text is then lowered in its ASCII letters only (UTF-8
    // takes no question about stand-ins).
    std::string lower(text.size(), '\0');
    BOOL substituted = FALSE;
    BOOL* lossy = GetACP() == CP_UTF8 ? nullptr : &substituted;
    if (WideCharToMultiByte(CP_ACP, 0, folded.data(), units, &lower[0], length, nullptr, lossy) != length ||
        substituted)
        return asciiLower(std::move(text));
    return lower;
}

bool IsInUseError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

bool RetryWhileInUse(const std::function<bool()>& attempt)
{
    constexpr DWORD kRetryMs = 1000;
    constexpr DWORD kStepMs = 50;
    if (attempt())
        return true;
    for (DWORD waited = 0; waited < kRetryMs && IsInUseError(GetLastError()); waited += kStepMs) {
        Sleep(kStepMs);
        PumpMessages();
        if (attempt())
            return true;
    }
    return false;
}

std::string CPath::freshTempName(const std::string& ext, int maxDraws) const
{
    return freshTempName(ext, [](const CPath& candidate) { return candidate.exists(); }, maxDraws);
}

std::string CPath::freshTempName(const std::string& ext,
                                 const std::function<bool(const CPath&)>& taken, int maxDraws) const
{
    // Seeded once per process: every run would otherwise draw the same names,
    // and two runs (or a run and a killed one's leftovers) meet at each.
    static const bool seeded = [] {
        LARGE_INTEGER now = {};
        QueryPerformanceCounter(&now);
        std::srand(static_cast<unsigned>(now.LowPart ^ now.HighPart ^ GetTickCount() ^
                                         (GetCurrentProcessId() << 16)));
        return true;
    }();
    (void)seeded;
    for (int draw = 0; draw < maxDraws; ++draw) {
        // Five draws of 15 bits, of which the first 8 hex digits are kept.
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.4x%.4x%.4x%.4x%.4x", std::rand() & 0x7FFF,
                      std::rand() & 0x7FFF, std::rand() & 0x7FFF, std::rand() & 0x7FFF,
                      std::rand() & 0x7FFF);
        CPath candidate(*this);
        candidate.setName(std::string(digits, 8));
        candidate.setExt(ext);
        if (!taken(candidate))
            return candidate.fileName();
    }
    return std::string();
}

std::string CPath::shortText() const
{
    std::string path = text();
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return path;
    return buffer;
}
