// Scratch areas for Windows tests: a fresh folder under the temporary folder
// and a registry key, both removed again with everything in them.
#pragma once

#include <windows.h>

#include <string>

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder with its trailing backslash.
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

    // Writes a file with these bytes, creating missing folders.
    void write(const std::string& relative, const std::string& bytes) const;

private:
    std::string m_path;
};

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
