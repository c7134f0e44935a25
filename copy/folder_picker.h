// "Canviar Carpeta": the classic save dialog reduced to its folder and
// drive lists, used to choose a folder.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Shows the picker starting at folder; on "D'acord" folder becomes the
// chosen address and the result is true. An empty folder only shows string
// 27. With editable false the address is shown read-only.
bool RunPicker(HWND owner, std::string& folder, bool editable);

// The folder itself when it exists, else its nearest existing parent; the
// climb stops at the drive's root, which is returned even when it doesn't
// exist, so a missing drive can't keep it going.
std::string NearestExistingFolder(const std::string& folder,
                                  const std::function<bool(const std::string&)>& exists);
