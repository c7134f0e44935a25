// A path value: drive (without its colon), folder (with its trailing
// backslash), name and extension (without its dot), rebuilt on demand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The System folder where the shared libraries of 32-bit programs live, and
// so the product's (the word processors and the checker are 32-bit): the
// 32-bit System folder (SysWOW64) on 64-bit Windows, else the one System
// folder. GetSystemDirectoryA's contract: the length, 0 on failure.
UINT SharedSystemFolder(char* buffer, UINT size);

// The text in lower case as Windows folds names (CharLowerBuff): the key of
// a name compared without regard to case.
std::string LowerCase(std::string text);

// A failure because another program has the file open (or, for a running
// program or loaded library, mapped).
bool IsInUseError(DWORD error);

// Runs attempt until it succeeds, fails for another reason than the file
// being in use (IsInUseError of GetLastError), or a second has
// passed: a virus scanner or the shell reading a file lets go within
// moments, a word processor that has loaded a library does not. Window
// messages run while it waits. What the last attempt returned.
bool RetryWhileInUse(const std::function<bool()>& attempt);

class CPath {
public:
    // systemFolder is SharedSystemFolder's.
    enum Special { currentFolder = 0, windowsFolder = 1, systemFolder = 2, programFolder = 3,
                   tempFolder = 4 };

    CPath() = default;
    explicit CPath(const std::string& text) { set(text); }

    void set(const std::string& text);
    std::string text() const;
    bool empty() const { return m_drive.empty() && m_folder.empty() && m_name.empty() && m_ext.empty(); }

    const std::string& drive() const { return m_drive; }
    const std::string& folder() const { return m_folder; }
    const std::string& name() const { return m_name; }
    const std::string& ext() const { return m_ext; }
    // Drive and folder: "C:\DIR\".
    std::string folderText() const;
    // Name and extension: "FILE.EXT".
    std::string fileName() const;

    void setDrive(const std::string& drive) { m_drive = drive; }
    // Keeps the trailing backslash that folder texts carry.
    void setFolder(const std::string& folder);
    void setName(const std::string& name) { m_name = name; }
    void setExt(const std::string& ext) { m_ext = ext; }
    void setFileName(const std::string& fileName);

    // Drive and folder become those of a special folder; name and extension stay.
    void setSpecial(int which);
    // The running program's own file.
    void setProgramFile();

    // Something of that name is there (folders count too).
    bool exists() const;
    bool isFolder() const;
    // Clears the read-only attribute, then deletes; a missing file is no error.
    bool remove() const;
    bool renameTo(const std::string& newPath) const;
    // Creates the folder of this path with every missing parent.
    bool createFolders() const;
    // Free bytes of the drive, counted in 64 bits.
    std::uint64_t freeBytes() const;
    // Bytes per cluster of the drive; 0 when unknown.
    std::uint32_t clusterSize() const;
    // GetDriveType of the drive's root.
    UINT driveType() const;
    // A name of 8 lowercase hex digits with the given extension that doesn't
    // exist yet in this path's folder; empty after maxDraws names that all
    // exist.
    std::string freshTempName(const std::string& ext, int maxDraws = 1000) const;
    // The same, with taken saying whether a candidate is already there (for
    // a caller that knows the folder's names without asking the disk).
    std::string freshTempName(const std::string& ext, const std::function<bool(const CPath&)>& taken,
                              int maxDraws = 1000) const;

    // The short (8.3) form of the path; the path itself when there is none.
    std::string shortText() const;

private:
    std::string rootText() const;
    // GetFileAttributesA of the path; INVALID_FILE_ATTRIBUTES when absent.
    DWORD attributes() const;

    std::string m_drive;
    std::string m_folder;
    std::string m_name;
    std::string m_ext;
};

// Whether the file name of path is one of freshTempName's: 8 lowercase
// hexadecimal digits and an extension.
bool IsTemporaryName(const std::string& path);

// "C:\DIR" -> "C:\DIR\"; an empty text stays empty.
std::string WithTrailingBackslash(const std::string& folder);
