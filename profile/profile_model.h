// Records of the installation profile, owned by the application object's
// containers. Reading and writing them is the profile reader's work.
#pragma once

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

struct CGroupFile {
    std::string name;
    std::int32_t size = 0;
    std::int16_t kind = 0;   // 0 plain file, 1 archive
    std::int16_t count = 0;
    std::int16_t disk = 0;
    bool lastOnDisk = false;
    std::int16_t destination = 0;
    std::string text;
    CFileGroup* group = nullptr;
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

struct CDisk {
    std::string label;
    std::string extra;
};
