// What the file system calls an installer makes cost under Wine, with
// nothing else around them. Run by bench/install_bench.sh in its prefix:
//   file_calls_bench floor SOURCE TARGET   places SOURCE's files under TARGET
//       the way an installer must at the least: the folders, then for each
//       file create it under a temporary name, write its bytes (read into
//       memory first: load_s), close it, rename it to its name
//   file_calls_bench calls SOURCE SCRATCH  microseconds per call, per kind,
//       for SOURCE's files written under SCRATCH
//   file_calls_bench log SCRATCH           a record written into profiles of
//       0, 1,000 and 5,000 records, and a line appended to an open journal
//   file_calls_bench start [window]        ends at once, or after opening
//       and closing one window: the script times both, start included, for
//       what a program's first window costs it under Wine
// Prints "name value" lines for the script.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct CSourceFile {
    std::string folder; // relative, "" or ending in "\"
    std::string name;
    std::vector<char> bytes;
};

// Folders before the files and folders inside them, parents first.
struct CSourceTree {
    std::vector<std::string> folders;
    std::vector<CSourceFile> files;
};

bool readWhole(const std::string& path, std::vector<char>& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != FALSE;
    bytes.resize(ok ? static_cast<std::size_t>(size.QuadPart) : 0);
    DWORD got = 0;
    ok = ok && (bytes.empty() || ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got,
                                          nullptr)) &&
         got == bytes.size();
    CloseHandle(h);
    return ok;
}

bool loadTree(const std::string& root, const std::string& folder, CSourceTree& tree)
{
    tree.folders.push_back(folder);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((root + folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    std::vector<std::string> inner;
    bool ok = true;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            inner.push_back(folder + name + "\\");
        } else {
            tree.files.push_back({folder, name, {}});
            ok = ok && readWhole(root + folder + name, tree.files.back().bytes);
        }
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& f : inner)
        ok = ok && loadTree(root, f, tree);
    return ok;
}

std::string withBackslash(std::string path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

std::string tempName(const std::string& folder, std::size_t i)
{
    char name[32];
    std::snprintf(name, sizeof name, "~b%06zu.tmp", i);
    return folder + name;
}

class CClock {
public:
    CClock() { QueryPerformanceFrequency(&m_frequency); }
    LONGLONG now() const
    {
        LARGE_INTEGER t;
        QueryPerformanceCounter(&t);
        return t.QuadPart;
    }
    double seconds(LONGLONG ticks) const { return double(ticks) / double(m_frequency.QuadPart); }

private:
    LARGE_INTEGER m_frequency;
};

int failed(const char* what, const std::string& path)
{
    std::fprintf(stderr, "file_calls_bench: %s %s failed (error %lu)\n", what, path.c_str(),
                 GetLastError());
    return 1;
}

bool writeFile(HANDLE h, const std::vector<char>& bytes)
{
    DWORD written = 0;
    return bytes.empty() ||
           (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

int placeFloor(const CSourceTree& tree, const std::string& target)
{
    CClock clock;
    LONGLONG start = clock.now();
    for (const std::string& folder : tree.folders) {
        if (!CreateDirectoryA((target + folder).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return failed("CreateDirectory", target + folder);
    }
    for (std::size_t i = 0; i < tree.files.size(); ++i) {
        const CSourceFile& file = tree.files[i];
        std::string temp = tempName(target + file.folder, i);
        HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return failed("CreateFile", temp);
        bool written = writeFile(h, file.bytes);
        CloseHandle(h);
        if (!written)
            return failed("WriteFile", temp);
        if (!MoveFileA(temp.c_str(), (target + file.folder + file.name).c_str()))
            return failed("MoveFile", temp);
    }
    std::printf("floor_s %.4f\nfiles %zu\n", clock.seconds(clock.now() - start), tree.files.size());
    return 0;
}

// Sums of the ticks each kind of call took, over every file.
struct CCallTicks {
    LONGLONG createWriteClose = 0, setFileTime = 0, moveFile = 0, getAttributes = 0, findFirst = 0;
};

int timeCalls(const CSourceTree& tree, const std::string& scratch)
{
    for (const std::string& folder : tree.folders)
        CreateDirectoryA((scratch + folder).c_str(), nullptr);
    CClock clock;
    CCallTicks ticks;
    FILETIME stamp = {0x2a0b8000u, 0x01be93c1u}; // a day in 1999
    for (std::size_t i = 0; i < tree.files.size(); ++i) {
        std::string temp = tempName(scratch + tree.files[i].folder, i);
        LONGLONG t0 = clock.now();
        HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return failed("CreateFile", temp);
        bool written = writeFile(h, tree.files[i].bytes);
        LONGLONG t1 = clock.now();
        bool timed = SetFileTime(h, nullptr, nullptr, &stamp) != FALSE;
        LONGLONG t2 = clock.now();
        CloseHandle(h);
        LONGLONG t3 = clock.now();
        if (!written || !timed)
            return failed(written ? "SetFileTime" : "WriteFile", temp);
        ticks.createWriteClose += (t1 - t0) + (t3 - t2);
        ticks.setFileTime += t2 - t1;
    }
    for (std::size_t i = 0; i < tree.files.size(); ++i) {
        const CSourceFile& file = tree.files[i];
        std::string temp = tempName(scratch + file.folder, i);
        std::string final = scratch + file.folder + file.name;
        LONGLONG t0 = clock.now();
        BOOL moved = MoveFileA(temp.c_str(), final.c_str());
        ticks.moveFile += clock.now() - t0;
        if (!moved)
            return failed("MoveFile", temp);
    }
    for (const CSourceFile& file : tree.files) {
        std::string path = scratch + file.folder + file.name;
        LONGLONG t0 = clock.now();
        DWORD attributes = GetFileAttributesA(path.c_str());
        LONGLONG t1 = clock.now();
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        LONGLONG t2 = clock.now();
        if (attributes == INVALID_FILE_ATTRIBUTES || search == INVALID_HANDLE_VALUE)
            return failed("GetFileAttributes or FindFirstFile", path);
        ticks.getAttributes += t1 - t0;
        ticks.findFirst += t2 - t1;
    }
    double n = double(tree.files.size());
    auto us = [&](LONGLONG t) { return clock.seconds(t) * 1e6 / n; };
    std::printf("create_write_close_us %.1f\nset_file_time_us %.1f\nmove_file_us %.1f\n"
                "get_file_attributes_us %.1f\nfind_first_file_us %.1f\nfiles %zu\n",
                us(ticks.createWriteClose), us(ticks.setFileTime), us(ticks.moveFile),
                us(ticks.getAttributes), us(ticks.findFirst), tree.files.size());
    return 0;
}

// A profile shaped like an install log: a few model sections, then one
// group's file records.
bool makeLog(const std::string& path, int records)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    std::fprintf(out, "[destinations]\r\n0=BENCH|-1|C:\\BENCH\\\r\n[groups]\r\n"
                      "Banc=Banc de proves||1|1|0\r\n[Banc]\r\n");
    for (int i = 0; i < records; ++i)
        std::fprintf(out, "f%05d.dat=%d|1|0|0\r\n", i, 1 + i % 100);
    return std::fclose(out) == 0;
}

int timeLogWrites(const std::string& scratch)
{
    CClock clock;
    const int writes = 100;
    for (int records : {0, 1000, 5000}) {
        std::string path = scratch + "log" + std::to_string(records) + ".log";
        if (!makeLog(path, records))
            return failed("writing", path);
        LONGLONG start = clock.now();
        for (int i = 0; i < writes; ++i) {
            std::string key = "n" + std::to_string(100000 + i) + ".dat";
            if (!WritePrivateProfileStringA("Banc", key.c_str(), "12|1|0|0", path.c_str()))
                return failed("WritePrivateProfileString", path);
        }
        std::printf("profile_write_%d_us %.1f\n", records,
                    clock.seconds(clock.now() - start) * 1e6 / writes);
        DeleteFileA(path.c_str());
    }

    std::string journal = scratch + "bench.jnl";
    HANDLE h = CreateFileA(journal.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return failed("CreateFile", journal);
    const int appends = 5000;
    LONGLONG start = clock.now();
    for (int i = 0; i < appends; ++i) {
        char line[160];
        int n = std::snprintf(line, sizeof line,
                              "P|C:\\BENCH\\small\\%02d\\~b%06d.tmp|C:\\BENCH\\small\\%02d\\f%05d.dat|"
                              "Banc|f%05d.dat|12%%7C1%%7C0%%7C0\r\n",
                              i % 16, i, i % 16, i, i);
        DWORD written = 0;
        if (!WriteFile(h, line, static_cast<DWORD>(n), &written, nullptr))
            return failed("WriteFile", journal);
    }
    double s = clock.seconds(clock.now() - start);
    CloseHandle(h);
    DeleteFileA(journal.c_str());
    std::printf("journal_append_us %.1f\n", s * 1e6 / appends);
    return 0;
}

} // namespace

// A first window makes Wine start its desktop process, which a program
// without a window (a silent installer) never waits for.
int openOneWindow()
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return failed("CreateWindowEx", "STATIC");
    ShowWindow(window, SW_SHOWMINIMIZED);
    DestroyWindow(window);
    return 0;
}

int main(int argc, char** argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "log" && argc == 3)
        return timeLogWrites(withBackslash(argv[2]));
    if (mode == "start")
        return argc == 3 && std::string(argv[2]) == "window" ? openOneWindow() : 0;
    if ((mode != "floor" && mode != "calls") || argc != 4) {
        std::fprintf(stderr, "usage: file_calls_bench floor|calls SOURCE TARGET\n"
                             "       file_calls_bench log SCRATCH\n"
                             "       file_calls_bench start [window]\n");
        return 2;
    }
    CClock clock;
    LONGLONG start = clock.now();
    CSourceTree tree;
    if (!loadTree(withBackslash(argv[2]), "", tree))
        return failed("reading", argv[2]);
    // The script takes this from the program's whole time.
    std::printf("load_s %.4f\n", clock.seconds(clock.now() - start));
    std::string target = withBackslash(argv[3]);
    return mode == "floor" ? placeFloor(tree, target) : timeCalls(tree, target);
}
