// Keeps a file in use for the end-to-end tests, the way a running program
// holds its own executable: it is opened for reading and shared for reading
// only, so neither a delete nor a write can get through.
//   holdfile PATH READY GO [SECONDS]
// Writes the file READY once PATH is held, then keeps it until the file GO
// appears or SECONDS (120 unless told) have passed. Exit code 0 when GO came,
// 2 when PATH could not be opened, 3 when the wait ran out.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: holdfile PATH READY GO [SECONDS]\n");
        return 1;
    }
    const char* path = argv[1];
    const char* ready = argv[2];
    const char* go = argv[3];
    DWORD seconds = argc > 4 ? static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10)) : 120;

    HANDLE held = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "holdfile: cannot open %s (error %lu)\n", path, GetLastError());
        return 2;
    }

    // Said only once the handle is open, so the caller never races the open.
    HANDLE signal = CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (signal != INVALID_HANDLE_VALUE)
        CloseHandle(signal);

    int rc = 3;
    for (DWORD waited = 0; waited < seconds * 10; ++waited) {
        if (GetFileAttributesA(go) != INVALID_FILE_ATTRIBUTES) {
            rc = 0;
            break;
        }
        Sleep(100);
    }
    CloseHandle(held);
    return rc;
}
