// Records of the installation profile, owned by the application object's
// containers. Reading and writing them is the profile reader's work.
#pragma once

#include "archive/multi_file.h"
#include "platform/path.h"

#include <cstdint>
#include <string>

// Predefined destination ids.
enum : std::int16_t {
    kDestInstallFolder = 0,
    kDestNotInstalled = -1,
    kDestWindows = -2,
    kDestSystem = -3,
    kDestTemp = -4,
};

struct CDestination {
    std::int16_t id = 0;
    std::string name;
    std::int16_t parent = -1;
    CPath path;  // empty until resolved
    // The path was derived from the parent's, and is derived again when
    // the installation folder changes.
    bool derived = false;
};

struct CFileGroup {
    std::string name;
    std::string title;
    std::string description;
    bool inMinimum = false;
    bool inTypical = false;
    bool selectable = false;
    bool selected = false;
    bool checked = false;
};

// What a file record asks of whoever copies it (the copy engine) while its
// source is read.
class CGroupFileHost {
public:
    virtual ~CGroupFileHost() = default;
    // Makes the volume of that name on that disk available and gives its
    // full path; raises CUserException when the user gives up.
    virtual std::string NextVolume(const std::string& name, int disk) = 0;
    // After every blockSize bytes read.
    virtual void ProgressTick() = 0;
};

// A file of a group, and the reader of its source file while it is copied:
// its reader hooks ask the host for the next disk and move the progress on.
class CGroupFile : public CMultiFile {
public:
    std::string name;
    std::int32_t size = 0;
    std::int16_t kind = 0;   // 0 plain file, 1 archive
    std::int16_t count = 0;
    std::int16_t disk = 0;
    bool lastOnDisk = false;
    std::int16_t destination = 0;
    std::string text;
    CFileGroup* group = nullptr;

    // The disk of the volume being read; moves on with each volume.
    int currentDisk = 0;
    // Set while the record is copied; without one a member ends with its volume.
    CGroupFileHost* host = nullptr;

    bool endOfVolume() override;
    void blockDone() override;
};

struct CTarget {
    std::string name;
    std::int16_t iconIndex = 0;
    std::int16_t reserved = 0;
    bool minimised = false;
    std::string title;
    std::string arguments;
    std::string iconFile;
    CPath installedPath;
};

// What the distribution says of the product for the list of installed
// software (the profile's [product]); empty where it says nothing.
struct CProductInfo {
    std::string version;
    std::string publisher;
    std::string urlInfoAbout;
    std::string helpLink;
};

struct CDisk {
    std::string label;
    std::string extra;
};
