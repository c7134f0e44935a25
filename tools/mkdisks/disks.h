// Turning a layout into distribution disks: members encoded with the
// archive's own codecs, volumes split at the disk capacity, files placed disk
// by disk, and the installation profile computed from what was placed.
#pragma once

#include "layout.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One piece of a volume: a member's entry header, or a range of its data.
struct VolumePiece {
    std::size_t member;
    bool header;
    std::uint32_t from = 0, to = 0;   // data range
};
using VolumePlan = std::vector<VolumePiece>;

// Splits members of the given stored sizes into volumes: the first has
// firstRoom bytes for members, the others fullRoom. A volume only ever ends
// inside a member's data, with at least one byte of it on each side, because
// the reader ends the member list where a volume ends. nullopt when the
// archive can't start in firstRoom; throws LayoutError when no split exists.
std::optional<std::vector<VolumePlan>> splitArchive(const std::vector<std::uint32_t>& storedSizes,
                                                    std::uint64_t firstRoom, std::uint64_t fullRoom);

struct BuildOptions {
    std::string installer;   // overrides the layout's
    std::string licence;
    bool quiet = false;
};

// Writes DISK01, DISK02, ... into outputFolder. Returns the number of disks.
int buildDisks(const Layout& layout, const std::string& outputFolder, const BuildOptions& options);
