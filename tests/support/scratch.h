// Helpers of the Windows tests: scratch folders, whole files, registry
// trees and bounded waits.
#pragma once

#include "tests/support/scratch_folder.h"

#include <windows.h>

#include <string>

// Reads a whole file; empty when it can't be read.
std::string ReadWholeFile(const std::string& path);

// Deletes a folder and everything below it.
void RemoveTree(const std::string& folder);

// Deletes a registry key with all its subkeys, in the given view of the
// registry (0: the program's own).
void RemoveRegistryTree(HKEY root, const std::string& subKey, REGSAM view = 0);

// The Windows form (Z:\...) of a Unix path inside the Wine prefix's view.
std::string WindowsPathOf(const std::string& unixPath);

// Polls a condition until it holds or the time runs out.
template <class Condition>
bool WaitUntil(DWORD milliseconds, Condition condition)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        Sleep(20);
    }
}
