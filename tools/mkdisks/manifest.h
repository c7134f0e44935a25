// The download's manifest for the Windows package manager: the three files
// of its community repository's multi-file form, version 1.6.0.
#pragma once

#include "layout.h"

#include <string>

// Writes <package>.yaml, <package>.locale.<locale>.yaml and
// <package>.installer.yaml into folder (made when missing), with the hash
// of the download as it is now: a download signed after mkdisks made it
// needs its manifest written again. LayoutError when the layout has no
// [download] or the file is not a whole download.
void writeManifest(const Layout& layout, const std::string& download, const std::string& folder);
