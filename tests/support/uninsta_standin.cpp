// Stands in for the second uninstall stage in tests: records how it was
// started into the file named by UNINSTA_RECORD.
#include <windows.h>

#include <cstdio>

int main()
{
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("UNINSTA_RECORD", path, sizeof path))
        return 1;
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return 1;
    std::fputs(GetCommandLineA(), out);
    std::fclose(out);
    return 0;
}
