// Reads generated installation profiles of 1,000 and 10,000 file records and
// prints the time each takes, so the growth of the cost with the profile's
// size can be seen. Runs under Wine: the profile calls are the platform's.
#include "app/install_app.h"
#include "profile/install_profile.h"

#include <windows.h>

#include <cstdio>
#include <string>

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

double seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER frequency)
{
    return double(b.QuadPart - a.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main()
{
    CInstallApp app;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    double previous = 0;
    for (int records : {1000, 10000}) {
        std::string path = makeProfile(temp, records);
        app.CreateContainers();
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        ReadProfile(app, path);
        QueryPerformanceCounter(&end);
        double s = seconds(start, end, frequency);
        std::printf("profile of %5d file records: %zu read in %.3f s (%.1f us a record)", records,
                    app.groupFiles.size(), s, s * 1e6 / records);
        if (previous > 0)
            std::printf(", %.1fx the time for 10x the records", s / previous);
        std::printf("\n");
        previous = s;
        DeleteFileA(path.c_str());
    }
    return 0;
}
