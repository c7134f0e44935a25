// The framework's exception base and the platform-level errors that the
// program's error family converts before showing them. Portable: no Windows
// headers, so the archive core can throw and catch these on Linux too.
#pragma once

#include <string>

// Each class names itself through className(), the run-time class name the
// error dialog prints in its reference line.
class CException {
public:
    virtual ~CException() = default;
    virtual const char* className() const { return "CException"; }
};

class CMemoryException : public CException {
public:
    const char* className() const override { return "CMemoryException"; }
};

class CNotSupportedException : public CException {
public:
    const char* className() const override { return "CNotSupportedException"; }
};

class CResourceException : public CException {
public:
    const char* className() const override { return "CResourceException"; }
};

// The user-cancel error: raised by the copy engine and the disk prompts and
// caught by the engine itself.
class CUserException : public CException {
public:
    const char* className() const override { return "CUserException"; }
};

// File-layer failure with its cause (0 none ... 14 end of file).
class CFileException : public CException {
public:
    enum Cause {
        none = 0, generic = 1, fileNotFound = 2, badPath = 3, tooManyOpenFiles = 4,
        accessDenied = 5, invalidFile = 6, removeCurrentDir = 7, directoryFull = 8,
        badSeek = 9, hardIO = 10, sharingViolation = 11, lockViolation = 12,
        diskFull = 13, endOfFile = 14
    };
    explicit CFileException(int cause = generic, std::string fileName = std::string())
        : cause(cause), fileName(std::move(fileName)) {}
    const char* className() const override { return "CFileException"; }

    // Cause for an errno value of the POSIX backend.
    static int causeFromErrno(int err);
    // Cause for a Win32 error code (GetLastError) of the Win32 backend.
    static int causeFromOsError(unsigned long err);

    int cause;
    std::string fileName;
};

// Serialisation (load/store) failure with its cause.
class CArchiveException : public CException {
public:
    enum Cause { none = 0, generic = 1, readOnly = 2, endOfFile = 3, writeOnly = 4,
                 badIndex = 5, badClass = 6, badSchema = 7 };
    explicit CArchiveException(int cause = generic) : cause(cause) {}
    const char* className() const override { return "CArchiveException"; }
    int cause;
};
