// The installation folder as it is chosen on page 104 (or handed down from
// an earlier installation): checked before anything is made on the disk, so
// that a refused or dropped choice leaves nothing behind.
#pragma once

#include <string>

enum class CFolderCheck {
    ok,
    // Not a full folder (drive and root), or a name Windows would change
    // (a trailing blank or dot, a character it refuses, a device name).
    notFull,
    // Too long for a folder that files still go into.
    tooLong,
};

// Looks at the text alone.
CFolderCheck CheckFolderText(const std::string& folder);

// Whether the folder is there or can be made: the missing levels are made
// and taken away again, deepest first.
bool FolderCanBeMade(const std::string& folder);
