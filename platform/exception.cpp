#include "platform/exception.h"

#include <cerrno>

int CFileException::causeFromErrno(int err)
{
    switch (err) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case EINVAL: return badPath;
    case EMFILE: case ENFILE: return tooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EEXIST: case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: return sharingViolation;
    case ENOSPC: case EFBIG: return diskFull;
    case EIO: return hardIO;
    case ESPIPE: return badSeek;
    default: return generic;
    }
}

// Win32 error codes, written out so this file stays free of Windows headers.
int CFileException::causeFromOsError(unsigned long err)
{
    switch (err) {
    case 0: return none;                                   // NO_ERROR
    case 2: case 15: return fileNotFound;                  // FILE_NOT_FOUND, INVALID_DRIVE
    case 3: case 123: case 161: case 206: return badPath;  // PATH_NOT_FOUND, INVALID_NAME, BAD_PATHNAME, FILENAME_EXCED_RANGE
    case 4: return tooManyOpenFiles;                       // TOO_MANY_OPEN_FILES
    case 5: case 19: case 80: case 183: return accessDenied; // ACCESS_DENIED, WRITE_PROTECT, FILE_EXISTS, ALREADY_EXISTS
    case 6: return invalidFile;                            // INVALID_HANDLE
    case 16: return removeCurrentDir;                      // CURRENT_DIRECTORY
    case 18: return directoryFull;                         // NO_MORE_FILES
    case 25: case 131: return badSeek;                     // SEEK, NEGATIVE_SEEK
    case 21: case 23: case 27: case 29: case 30: case 31: return hardIO; // NOT_READY, CRC, SECTOR_NOT_FOUND, WRITE_FAULT, READ_FAULT, GEN_FAILURE
    case 32: return sharingViolation;                      // SHARING_VIOLATION
    case 33: return lockViolation;                         // LOCK_VIOLATION
    case 39: case 112: return diskFull;                    // HANDLE_DISK_FULL, DISK_FULL
    case 38: return endOfFile;                             // HANDLE_EOF
    default: return generic;
    }
}
