// A stand-in for the software-distribution system's status library. It
// records the arguments of each call into the file named by STATUS_RECORD,
// one per line, and reports success. Built without the export
// (STATUS_LIBRARY_WITHOUT_EXPORT) it stands for a library of the wrong kind.
#include <windows.h>

#include <cstdio>

#ifndef STATUS_LIBRARY_WITHOUT_EXPORT
extern "C" __declspec(dllexport) BOOL WINAPI InstallStatusMIF(char* fileName, char* company,
                                                             char* product, char* version,
                                                             char* locale, char* serialNumber,
                                                             char* description, BOOL success)
{
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("STATUS_RECORD", path, sizeof path))
        return FALSE;
    std::FILE* out = std::fopen(path, "wb");
    if (!out)
        return FALSE;
    std::fprintf(out, "%s\n%s\n%s\n%s\n%s\n%s\n%s\n%d\n", fileName, company, product, version,
                 locale, serialNumber ? serialNumber : "(null)", description, success);
    std::fclose(out);
    return TRUE;
}
#else
extern "C" __declspec(dllexport) BOOL WINAPI SomethingElse()
{
    return TRUE;
}
#endif
