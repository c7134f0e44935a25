// Reads generated installation profiles of 1,000 and 10,000 file records,
// through an image of the file read in one pass (ReadProfile) and, beside it,
// through one platform call per key list and value (the way it was read
// before). Wine keeps a parsed profile between calls only once the file is
// more than about two seconds old, so the platform's way is timed on a file
// just written and on one dated an hour back. Runs under Wine.
#include "app/install_app.h"
#include "profile/install_profile.h"
#include "profile/profile_access.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string makeProfile(const std::string& folder, int records)
{
    std::string path = folder + "bench.ini";
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return std::string();
    std::fprintf(out, "[destinations]\n0=OVCA40|-1|C:\\OVCA40\\\n1=Dades|0\n");
    const int groups = 10;
    std::fprintf(out, "[groups]\n");
    for (int g = 0; g < groups; ++g)
        std::fprintf(out, "G%d=Grup %d|Descripcio|0|1|0\n", g, g);
    for (int g = 0; g < groups; ++g) {
        std::fprintf(out, "[G%d]\n", g);
        for (int i = g; i < records; i += groups) {
            int disk = 1 + (i * 7) % 5;
            std::fprintf(out, "FILE%05d.DAT=%d|0|1|%d|%d|\n", i, 1000 + i, (i % 13) ? disk : -disk,
                         i % 2);
        }
    }
    std::fprintf(out, "[targets]\nFILE00001.DAT=0|0|0|Fitxer||\n[diskettes]\n1=Disc 1\n");
    std::fclose(out);
    return path;
}

// The file's last write an hour back, as an installation profile on a disk is.
void dateBack(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= 3600ull * 10000000ull;
    now.dwLowDateTime = t.LowPart;
    now.dwHighDateTime = t.HighPart;
    SetFileTime(file, nullptr, nullptr, &now);
    CloseHandle(file);
}

// The sections ReadProfile reads, one platform call per key list and value.
std::size_t readThroughPlatform(const std::string& path)
{
    std::size_t values = 0;
    std::vector<std::string> sections = {"destinations", "groups", "targets", "diskettes"};
    CProfileSection groups("groups", path);
    CProfileEntry entry;
    for (bool more = groups.First(entry); more; more = groups.Next(entry))
        sections.push_back(entry.key);
    for (const std::string& name : sections) {
        CProfileSection keys(name, path);
        for (bool more = keys.First(entry); more; more = keys.Next(entry)) {
            entry.value.clear();
            entry.Read();
            ++values;
        }
    }
    return values;
}

// The median time of f over the runs, before() run untimed ahead of each.
template <class F, class Before> double medianSeconds(int runs, F f, Before before)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        before();
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        f();
        QueryPerformanceCounter(&end);
        times.push_back(double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

template <class F> double medianSeconds(int runs, F f)
{
    return medianSeconds(runs, f, [] {});
}

} // namespace

int main()
{
    CInstallApp app;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);

    std::printf("reading a profile: median seconds of (runs), and against one pass\n");
    std::printf("%8s  %-22s  %-22s  %-22s\n", "records", "one pass (5)", "platform, new file (3)",
                "platform, old file (3)");
    for (int records : {1000, 10000}) {
        std::string path = makeProfile(temp, records);
        std::size_t read = 0;
        double image = medianSeconds(5, [&] {
            app.CreateContainers();
            ReadProfile(app, path);
            read = app.groupFiles.size();
        });
        // Rewritten before each run so that Wine sees a new file every time.
        double fresh = medianSeconds(
            3, [&] { readThroughPlatform(path); }, [&] { makeProfile(temp, records); });
        dateBack(path);
        double cached = medianSeconds(3, [&] { readThroughPlatform(path); });
        std::printf("%8d  %6.3f (%4.1f us/record)  %6.3f (%4.0fx)          %6.3f (%4.0fx)\n",
                    records, image, image * 1e6 / records, fresh, fresh / image, cached,
                    cached / image);
        if (read != static_cast<std::size_t>(records))
            std::printf("  (read %zu records, not %d)\n", read, records);
        DeleteFileA(path.c_str());
    }
    return 0;
}
