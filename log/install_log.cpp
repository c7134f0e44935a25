#include "log/install_log.h"

#include "app/install_app.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

void WriteLogEvent(const std::string& logFile, const std::string& line)
{
    char clock[16] = "00:00:00";
    std::time_t now = std::time(nullptr);
    if (const std::tm* local = std::localtime(&now))
        std::strftime(clock, sizeof clock, "%H:%M:%S", local);
    // Lines written within the same tick would share a stamp and the later
    // one would replace the earlier; move on to the next free number.
    char stamp[32];
    long tick = static_cast<long>(GetTickCount() % 1000);
    for (long n = tick; n <= 9999; ++n) {
        std::snprintf(stamp, sizeof stamp, "%s:%04ld", clock, n);
        char existing[2] = {};
        if (GetPrivateProfileStringA("Events", stamp, "", existing, sizeof existing, logFile.c_str()) == 0)
            break;
    }
    WritePrivateProfileStringA("Events", stamp, line.c_str(), logFile.c_str());
}

void WriteBackModel(const CInstallApp& app, const std::string& file)
{
    const char* path = file.c_str();
    char key[16];
    for (const auto& entry : app.destinations) {
        const CDestination& d = *entry.second;
        if (d.id < 0)
            continue;
        std::snprintf(key, sizeof key, "%d", d.id);
        std::string value = d.name + "|" + std::to_string(d.parent) + "|" + d.path.text();
        WritePrivateProfileStringA("destinations", key, value.c_str(), path);
    }
    for (const auto& entry : app.groups) {
        const CFileGroup& g = *entry.second;
        std::string value = g.title + "|" + g.description + "|" + (g.inMinimum ? "1" : "0") + "|" +
                            (g.inTypical ? "1" : "0") + "|" + (g.selectable ? "1" : "0");
        WritePrivateProfileStringA("groups", g.name.c_str(), value.c_str(), path);
    }
    for (const auto& entry : app.targets) {
        const CTarget& t = *entry.second;
        if (t.installedPath.empty())
            continue;
        std::string value = std::to_string(t.iconIndex) + "|" + std::to_string(t.reserved) + "|" +
                            (t.minimised ? "1" : "0") + "|" + t.title + "|" + t.arguments + "|" +
                            t.iconFile + "|" + t.installedPath.text();
        WritePrivateProfileStringA("targets", entry.first.c_str(), value.c_str(), path);
    }
}

bool WriteFileRecord(const std::string& file, const std::string& group,
                     const std::string& placedName, int destination, bool placedNow,
                     bool existedBefore)
{
    char value[48];
    std::snprintf(value, sizeof value, "%d|%d|%d", destination, placedNow ? 1 : 0,
                  existedBefore ? 1 : 0);
    return WritePrivateProfileStringA(group.c_str(), placedName.c_str(), value, file.c_str()) !=
           FALSE;
}
