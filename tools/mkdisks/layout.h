// The layout file: the product described once, for people to read and edit.
// See README.md for the format.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A mistake in the layout or its sources, with the place to look.
class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LayoutDestination {
    int id = 0;
    std::string name;
    int parent = -1;
    std::string path;
};

struct LayoutGroup {
    std::string name;
    std::string title;
    std::string description;
    bool minimum = false;
    bool typical = true;
    bool selectable = false;
};

struct LayoutMember {
    std::string source;          // path below the sources folder
    std::string name;            // name in the header (Windows-1252)
    int destination = 0;
    unsigned attributes = 0x20;  // archive bit, as files copied to a disk carry
    std::uint32_t method = 0;    // 0: zlib unless that makes it larger, then stored
    std::optional<std::uint32_t> time;
    // The user changes it after installation: never replaced when there.
    bool userData = false;
    int line = 0;
};

// One file on the disks: a plain file or a multi-file archive.
struct LayoutItem {
    bool isArchive = false;
    std::string name;            // its file name on the disk
    std::string group;
    std::string text;
    // plain files
    std::string source;
    int destination = 0;
    unsigned attributes = 0x20;
    std::optional<std::uint32_t> time;
    bool userData = false;
    // archives
    std::uint32_t method = 0;
    std::vector<LayoutMember> members;
    int line = 0;
};

struct LayoutTarget {
    std::string name;
    int iconIndex = 0;
    bool minimised = false;
    std::string title;
    std::string arguments;
    std::string iconFile;
};

struct LayoutDisk {
    std::string label;
    std::string extra;
};

// The one-file download and what the Windows package manager is told of
// it. Its texts stay UTF-8: they go to the manifest, not to the profile.
struct LayoutDownload {
    std::string file;            // the download's file name
    std::string url;             // where the vendor publishes it
    std::string package;         // Publisher.Name
    std::string name;            // the uninstall entry's key: the installer's display name
    std::string license;
    std::string description;
    std::string locale = "ca-ES";
    std::string architecture = "x64";
    int line = 0;
};

struct Layout {
    std::string file;            // the layout's own path, for messages
    std::string sources;         // folder the source paths are relative to
    std::uint32_t capacity = 1457664;
    std::uint32_t cluster = 512;
    std::string installer;       // copied to DISK01 as install.exe
    std::string licence;         // copied to DISK01 as licencia.txt
    std::optional<std::uint32_t> time;
    std::vector<LayoutDestination> destinations;
    std::vector<LayoutGroup> groups;
    std::vector<LayoutItem> items;
    std::vector<LayoutTarget> targets;
    std::map<int, LayoutDisk> disks;
    std::vector<std::pair<std::string, std::string>> license;   // name, company, date
    // What the list of installed software shows of the product.
    std::string version;         // "4.0.1": DisplayVersion, and its first two numbers
    std::string publisher;
    std::string urlInfoAbout;
    std::string helpLink;
    std::optional<LayoutDownload> download;
};

// Reads and checks a layout; paths in it are taken relative to its folder.
Layout readLayout(const std::string& path);

// "YYYY-MM-DD HH:MM:SS" (UTC) or a count of seconds since 1970.
std::optional<std::uint32_t> parseTime(const std::string& text);
// UTF-8 to the Windows-1252 code page the installer reads; nullopt when a
// character has no place there.
std::optional<std::string> toWindows1252(const std::string& utf8);
// And back, for the texts that also go to the UTF-8 manifest.
std::string fromWindows1252(const std::string& text);
