#include "disks.h"

#include "manifest.h"

#include "archive/archive_crc.h"
#include "archive/bundle.h"
#include "archive/codec.h"
#include "archive/entry_header.h"
#include "archive/multi_file.h"
#include "archive/span_file.h"
#include "platform/exception.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<unsigned char>;

const std::uint64_t kHeader = EntryHeader::size;
// The download's "disk": everything fits, so every archive is one volume.
const std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max() / 4;
// Files on a disk carry the archive bit.
const std::uint32_t kArchiveBit = 0x20;

bool legalFrom(const std::vector<std::uint32_t>& sizes, const std::vector<std::uint64_t>& suffix,
               std::size_t i, std::uint64_t room)
{
    if (i == sizes.size() || suffix[i] <= room)
        return true;
    // Otherwise this volume must end inside the first member that has data to
    // split, after its header and one byte of data.
    std::uint64_t prefix = 0;
    for (std::size_t j = i; j < sizes.size(); ++j) {
        if (sizes[j] >= 2)
            return prefix + kHeader + 1 <= room;
        prefix += kHeader + sizes[j];
        if (prefix > room)
            return false;
    }
    return false;
}

} // namespace

std::optional<std::vector<VolumePlan>> splitArchive(const std::vector<std::uint32_t>& sizes,
                                                    std::uint64_t firstRoom, std::uint64_t fullRoom)
{
    std::vector<std::uint64_t> suffix(sizes.size() + 1, 0);
    for (std::size_t i = sizes.size(); i-- > 0;)
        suffix[i] = suffix[i + 1] + kHeader + sizes[i];
    if (!legalFrom(sizes, suffix, 0, firstRoom))
        return std::nullopt;

    std::vector<VolumePlan> volumes(1);
    std::uint64_t room = firstRoom;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        volumes.back().push_back({i, true});
        room -= kHeader;
        std::uint32_t offset = 0;
        std::uint32_t remaining = sizes[i];
        for (;;) {
            if (remaining <= room && legalFrom(sizes, suffix, i + 1, room - remaining)) {
                if (remaining != 0)
                    volumes.back().push_back({i, false, offset, offset + remaining});
                room -= remaining;
                break;
            }
            std::uint64_t part = std::min<std::uint64_t>(room, remaining - 1);
            if (remaining < 2 || part == 0)
                throw LayoutError("the disk capacity is too small to split this archive");
            volumes.back().push_back({i, false, offset, offset + static_cast<std::uint32_t>(part)});
            offset += static_cast<std::uint32_t>(part);
            remaining -= static_cast<std::uint32_t>(part);
            volumes.emplace_back();
            room = fullRoom;
        }
    }
    return volumes;
}

namespace {

struct EncodedMember {
    EntryHeader header;
    std::vector<unsigned char> data;
};

struct PlacedVolume {
    int disk;
    std::string fileName;
    VolumePlan plan;
};

struct PlacedItem {
    const LayoutItem* item;
    int disk = 0;
    bool lastOnDisk = false;
    std::uint64_t size = 0;                 // plain: the file; archive: all members unpacked
    std::vector<EncodedMember> members;     // archives
    std::vector<PlacedVolume> volumes;      // archives
};

std::string diskFolder(int disk)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "DISK%02d", disk);
    return buf;
}

std::string upper(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// A character a volume name may end in on a FAT disk.
bool goodNameCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || std::string("!#$%&'()-@^_`{}~").find(c) != std::string::npos;
}

bool goodFileName(const std::string& name)
{
    if (name.empty() || name.back() == '.' || name.back() == ' ')
        return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || std::string("<>:\"/\\|?*").find(c) != std::string::npos)
            return false;
    return true;
}

// The name a member or plain file is installed under: what follows its
// last separator, as the installer takes it.
std::string installedName(const std::string& name)
{
    std::size_t cut = name.find_last_of("\\/:");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

// Why the install log could not keep a record of a file of that name (its
// key), or why Windows would give the file another name; empty when it can.
std::string unloggableName(const std::string& name)
{
    if (!goodFileName(name) || name == "." || name == "..")
        return "is no file name Windows keeps as it is";
    if (name.front() == ' ')
        return "starts with a blank, which the install log would drop";
    if (name.front() == '[' || name.front() == ';')
        return "starts with '" + name.substr(0, 1) + "', which the install log reads as a section or a comment";
    if (name.find('=') != std::string::npos)
        return "holds '=', which ends a key of the install log";
    std::string stem = upper(name.substr(0, name.find('.')));
    static const std::set<std::string> devices = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
    if (devices.count(stem) ||
        (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
         stem[3] <= '9'))
        return "is the name of a device";
    return std::string();
}

Bytes readFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        throw LayoutError("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

class Builder {
public:
    Builder(const Layout& layout, const BuildOptions& options)
        : m_layout(layout), m_options(options), m_capacity(layout.capacity), m_cluster(layout.cluster)
    {
    }
    int run(const std::string& outputFolder);

private:
    std::string sourcePath(const std::string& relative) const
    {
        return (fs::path(m_layout.sources) / relative).string();
    }
    // A source path, where the layout's installer stands for the one given
    // on the command line.
    std::string sourceOf(const std::string& relative) const;
    std::uint32_t timeOf(std::optional<std::uint32_t> own, const std::string& source) const;
    void check() const;
    EncodedMember encode(const LayoutItem& item, const LayoutMember& member, const std::string& work);
    std::uint64_t rounded(std::uint64_t size) const
    {
        std::uint64_t c = m_cluster;
        return (size + c - 1) / c * c;
    }
    std::uint64_t freeOn(int disk) const
    {
        std::uint64_t used = disk < static_cast<int>(m_used.size()) ? m_used[disk] : 0;
        std::uint64_t left = m_capacity > used ? m_capacity - used : 0;
        return left / m_cluster * m_cluster;
    }
    void use(int disk, std::uint64_t bytes)
    {
        if (disk > 99)
            throw LayoutError("the distribution needs more than 99 disks");
        if (static_cast<int>(m_used.size()) <= disk)
            m_used.resize(disk + 1, 0);
        m_used[disk] += rounded(bytes);
    }
    void checkInstalledNames() const;
    void place(std::uint64_t firstDiskReserve);
    void placeArchive(PlacedItem& p, int& disk);
    std::string settle(std::uint64_t fixed, std::uint64_t& reserve);
    std::string profile() const;
    void write(const std::string& outputFolder, const std::string& ini) const;
    Bytes volumeBytes(const PlacedItem& p, const PlacedVolume& v) const;
    void writeDownload(const std::string& path, const std::string& ini) const;

    const Layout& m_layout;
    const BuildOptions& m_options;
    // Placement: the disks' own, or the download's without limits.
    std::uint64_t m_capacity;
    std::uint32_t m_cluster;
    std::string m_installer, m_licence;
    std::string m_layoutInstaller;   // the layout's installer, resolved
    std::vector<PlacedItem> m_items;
    std::vector<std::uint64_t> m_used;
    int m_disks = 1;
};

std::string Builder::sourceOf(const std::string& relative) const
{
    std::string path = sourcePath(relative);
    if (m_layoutInstaller.empty())
        return path;
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    return !ec && resolved == m_layoutInstaller ? m_options.installer : path;
}

std::uint32_t Builder::timeOf(std::optional<std::uint32_t> own, const std::string& source) const
{
    if (own)
        return *own;
    if (m_layout.time)
        return *m_layout.time;
    CFile::Status st;
    return CFile::getStatus(source, st) ? st.modified : 0;
}

void Builder::check() const
{
    std::set<std::string> groups;
    for (const auto& g : m_layout.groups) {
        static const std::set<std::string> reserved = {"DESTINATIONS", "GROUPS", "TARGETS", "DISKETTES", "LICENSE", "EVENTS", "USERDATA", "PRODUCT", "CHECK"};
        if (reserved.count(upper(g.name)))
            throw LayoutError(m_layout.file + ": group '" + g.name + "' would share its section with the profile's own [" + g.name + "]");
        groups.insert(g.name);
    }
    std::set<int> destinations = {0, -1, -2, -3, -4};
    for (const auto& d : m_layout.destinations)
        destinations.insert(d.id);
    std::set<std::string> names = {"INSTALL.EXE", "INSTALL.INI", "LICENCIA.TXT"};
    auto where = [&](int line) { return m_layout.file + ":" + std::to_string(line) + ": "; };
    for (const auto& item : m_layout.items) {
        if (!goodFileName(item.name))
            throw LayoutError(where(item.line) + "'" + item.name + "' is no file name for a disk");
        if (m_layout.download && item.name.size() >= CBundlePart::nameSize)
            throw LayoutError(where(item.line) + "'" + item.name + "' is longer than the " +
                              std::to_string(CBundlePart::nameSize - 1) + " characters of a name in the download");
        if (!names.insert(upper(item.name)).second)
            throw LayoutError(where(item.line) + "a second file named '" + item.name + "' on the disks");
        if (!groups.count(item.group))
            throw LayoutError(where(item.line) + "'" + item.name + "' needs 'group =' naming one of the [group] sections");
        if (item.isArchive && item.members.empty())
            throw LayoutError(where(item.line) + "archive '" + item.name + "' has no members");
        if (!item.isArchive && !destinations.count(item.destination))
            throw LayoutError(where(item.line) + "destination " + std::to_string(item.destination) + " is not described");
        for (const auto& m : item.members)
            if (!destinations.count(m.destination))
                throw LayoutError(where(m.line) + "destination " + std::to_string(m.destination) + " is not described");
    }
    checkInstalledNames();
    for (const auto& d : m_layout.destinations)
        if (d.parent != -1 && !destinations.count(d.parent))
            throw LayoutError(m_layout.file + ": destination " + std::to_string(d.id) + " has an undescribed parent");
}

void Builder::checkInstalledNames() const
{
    // The install log keys a file by its group and name: two files of one
    // group with one name would share a record, and one of them would never
    // be uninstalled.
    std::map<std::string, int> inGroup;
    std::map<std::string, int> userData;
    auto look = [&](const LayoutItem& item, const std::string& header, int destination, bool user, int line) {
        if (destination == -1)
            return;
        std::string where = m_layout.file + ":" + std::to_string(line) + ": ";
        std::string name = installedName(header);
        std::string problem = unloggableName(name);
        if (!problem.empty())
            throw LayoutError(where + "the installed name '" + name + "' " + problem);
        if (!inGroup.emplace(item.group + "|" + upper(name), line).second)
            throw LayoutError(where + "group " + item.group + " installs a second file named '" + name + "' (line " +
                              std::to_string(inGroup[item.group + "|" + upper(name)]) + ")");
        if (user) {
            auto known = userData.emplace(upper(name), destination);
            if (!known.second && known.first->second != destination)
                throw LayoutError(where + "'" + name + "' is user data in two folders");
        }
    };
    for (const auto& item : m_layout.items) {
        if (item.isArchive)
            for (const auto& m : item.members)
                look(item, m.name, m.destination, m.userData, m.line);
        else
            look(item, item.name, item.destination, item.userData, item.line);
    }
}

EncodedMember Builder::encode(const LayoutItem& item, const LayoutMember& member, const std::string& work)
{
    std::string source = sourceOf(member.source);
    CFile::Status st;
    if (!CFile::getStatus(source, st))
        throw LayoutError(m_layout.file + ":" + std::to_string(member.line) + ": source file " + source + " not found");
    if (st.size > 0xFFFFFFFFull)
        throw LayoutError(source + " is larger than an archive member can be (4 GiB)");
    std::string packed = work + "/member";
    std::uint32_t method = member.method != 0 ? member.method : EntryHeader::methodZLib;
    CSpanFile in, out;
    for (;;) {
        in.open(source, CFile::modeRead);
        in.bytesRead = 0;
        in.crc = 0;
        out.open(packed, CFile::modeWrite);
        out.bytesWritten = 0;
        createCodec(method, 0)->encodeRun(in, out);
        if (in.bytesRead != st.size)
            throw LayoutError(source + " changed while it was read");
        out.close();
        // Left to choose, a member that zlib can't shrink is stored.
        if (member.method != 0 || method == EntryHeader::methodStored || out.bytesWritten < in.bytesRead)
            break;
        method = EntryHeader::methodStored;
    }

    EncodedMember e;
    e.header.setName(member.name);
    e.header.modified = timeOf(member.time ? member.time : item.time, source);
    e.header.unpackedSize = in.bytesRead;
    e.header.storedSize = out.bytesWritten;
    e.header.crc = in.crc;
    e.header.method = method;
    e.header.destination = static_cast<std::int16_t>(member.destination);
    e.header.attributes = static_cast<std::uint16_t>(member.attributes & 0xFF);
    std::ifstream f(packed, std::ios::binary);
    e.data.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (e.data.size() != e.header.storedSize)
        throw LayoutError("could not read back " + packed);
    return e;
}

void Builder::placeArchive(PlacedItem& p, int& disk)
{
    std::vector<std::uint32_t> sizes;
    for (const auto& m : p.members)
        sizes.push_back(m.header.storedSize);
    const std::uint64_t full = m_capacity / m_cluster * m_cluster - VolumeHeader::size;
    std::uint64_t avail = freeOn(disk);
    auto plan = avail > VolumeHeader::size ? splitArchive(sizes, avail - VolumeHeader::size, full) : std::nullopt;
    if (!plan) {
        ++disk;
        plan = splitArchive(sizes, full, full);
        if (!plan)
            throw LayoutError("archive " + p.item->name + " can't start even on an empty disk");
    }
    p.disk = disk;
    p.lastOnDisk = plan->size() > 1;
    std::string name = p.item->name;
    for (std::size_t k = 0; k < plan->size(); ++k) {
        if (k > 0) {
            name = CMultiFile::nextVolumeName(name);
            if (!goodNameCharacter(name.back()))
                throw LayoutError("archive " + p.item->name + " needs a volume named '" + name +
                                  "', which no disk can hold; give the first volume a name ending in A or 1");
            if (m_layout.items.end() != std::find_if(m_layout.items.begin(), m_layout.items.end(),
                                                     [&](const LayoutItem& i) { return upper(i.name) == upper(name); }))
                throw LayoutError("volume " + name + " of " + p.item->name + " has the name of another file");
        }
        std::uint64_t bytes = VolumeHeader::size;
        for (const auto& piece : (*plan)[k])
            bytes += piece.header ? kHeader : piece.to - piece.from;
        use(disk + static_cast<int>(k), bytes);
        p.volumes.push_back({disk + static_cast<int>(k), name, (*plan)[k]});
    }
    disk += static_cast<int>(plan->size()) - 1;
}

void Builder::place(std::uint64_t firstDiskReserve)
{
    m_used.assign(2, 0);
    m_used[1] = firstDiskReserve;
    m_disks = 1;
    int disk = 1;
    for (auto& p : m_items) {
        p.volumes.clear();
        if (p.item->isArchive) {
            placeArchive(p, disk);
        } else {
            if (rounded(p.size) > m_capacity)
                throw LayoutError(p.item->name + " is larger than a disk");
            if (rounded(p.size) > freeOn(disk))
                ++disk;
            use(disk, p.size);
            p.disk = disk;
        }
        m_disks = std::max(m_disks, disk);
    }
}

std::string Builder::profile() const
{
    std::ostringstream ini;
    const char* nl = "\r\n";
    ini << "[destinations]" << nl;
    bool hasZero = false;
    for (const auto& d : m_layout.destinations) {
        ini << d.id << '=' << d.name << '|' << d.parent << '|' << d.path << nl;
        hasZero = hasZero || d.id == 0;
    }
    if (!hasZero)
        ini << "0=|-1|" << nl;   // the installation folder, chosen by the user
    ini << nl << "[groups]" << nl;
    for (const auto& g : m_layout.groups)
        ini << g.name << '=' << g.title << '|' << g.description << '|' << g.minimum << '|' << g.typical << '|'
            << g.selectable << nl;
    for (const auto& g : m_layout.groups) {
        ini << nl << '[' << g.name << ']' << nl;
        for (const auto& p : m_items) {
            if (p.item->group != g.name)
                continue;
            int count = p.item->isArchive ? static_cast<int>(p.members.size()) : 1;
            int disk = p.lastOnDisk ? -p.disk : p.disk;
            int destination = p.item->isArchive ? 0 : p.item->destination;
            ini << p.item->name << '=' << p.size << '|' << (p.item->isArchive ? 1 : 0) << '|' << count << '|' << disk
                << '|' << destination << '|' << p.item->text << nl;
        }
    }
    ini << nl << "[targets]" << nl;
    for (const auto& t : m_layout.targets)
        ini << t.name << '=' << t.iconIndex << "|0|" << t.minimised << '|' << t.title << '|' << t.arguments << '|'
            << t.iconFile << '|' << nl;
    // What the list of installed software shows; only what the layout gives.
    const std::pair<const char*, const std::string*> product[] = {
        {"version", &m_layout.version}, {"publisher", &m_layout.publisher},
        {"urlinfo", &m_layout.urlInfoAbout}, {"helplink", &m_layout.helpLink}};
    bool anyProduct = false;
    for (const auto& p : product) {
        if (p.second->empty())
            continue;
        ini << (anyProduct ? "" : "\r\n[product]\r\n") << p.first << '=' << *p.second << nl;
        anyProduct = true;
    }
    // The files the user changes after installation, by installed name.
    std::set<std::string> userData;
    for (const auto& item : m_layout.items) {
        if (!item.isArchive && item.userData && userData.insert(upper(item.name)).second)
            ini << (userData.size() == 1 ? "\r\n[userdata]\r\n" : "") << item.name << '=' << item.destination << nl;
        for (const auto& m : item.members)
            if (m.userData && userData.insert(upper(installedName(m.name))).second)
                ini << (userData.size() == 1 ? "\r\n[userdata]\r\n" : "") << installedName(m.name) << '='
                    << m.destination << nl;
    }
    ini << nl << "[diskettes]" << nl;
    for (int d = 1; d <= m_disks; ++d) {
        auto it = m_layout.disks.find(d);
        ini << d << '=' << (it != m_layout.disks.end() ? it->second.label + "|" + it->second.extra : "|") << nl;
    }
    if (!m_layout.license.empty()) {
        ini << nl << "[license]" << nl;
        for (const auto& kv : m_layout.license)
            ini << kv.first << '=' << kv.second << nl;
    }
    // Sealed: the installer refuses a profile that is not the one made
    // here (a disk that lost its end, a byte changed) before it acts on it.
    std::string body = ini.str();
    char seal[32];
    std::snprintf(seal, sizeof seal, "[check]\r\ncrc=%08X\r\n", ArchiveCrc::of(body.data(), body.size()));
    return seal + body;
}

Bytes Builder::volumeBytes(const PlacedItem& p, const PlacedVolume& v) const
{
    Bytes out(VolumeHeader::size);
    VolumeHeader::write(out.data());
    for (const auto& piece : v.plan) {
        const EncodedMember& m = p.members[piece.member];
        if (piece.header) {
            EntryHeader h = m.header;
            // Continued when any of its data lies in a later volume than its header.
            h.continued = 0;
            for (const auto& later : p.volumes)
                if (later.disk > v.disk)
                    for (const auto& q : later.plan)
                        if (q.member == piece.member && !q.header)
                            h.continued = 1;
            unsigned char raw[EntryHeader::size];
            h.serialize(raw);
            out.insert(out.end(), raw, raw + sizeof raw);
        } else {
            out.insert(out.end(), m.data.begin() + piece.from, m.data.begin() + piece.to);
        }
    }
    return out;
}

void copyFile(const std::string& from, const std::string& to)
{
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw LayoutError("cannot copy " + from + " to " + to + ": " + ec.message());
}

void Builder::write(const std::string& outputFolder, const std::string& ini) const
{
    fs::create_directories(outputFolder);
    for (const auto& e : fs::directory_iterator(outputFolder)) {
        std::string n = e.path().filename().string();
        if (e.is_directory() && n.size() == 6 && n.compare(0, 4, "DISK") == 0 && std::isdigit(static_cast<unsigned char>(n[4])) &&
            std::isdigit(static_cast<unsigned char>(n[5])))
            fs::remove_all(e.path());
    }
    for (int d = 1; d <= m_disks; ++d)
        fs::create_directory(fs::path(outputFolder) / diskFolder(d));
    auto on = [&](int disk, const std::string& name) { return (fs::path(outputFolder) / diskFolder(disk) / name).string(); };

    copyFile(m_installer, on(1, "install.exe"));
    copyFile(m_licence, on(1, "licencia.txt"));
    {
        std::ofstream f(on(1, "install.ini"), std::ios::binary);
        f << ini;
        if (!f)
            throw LayoutError("cannot write install.ini");
    }
    for (const auto& p : m_items) {
        if (p.item->isArchive) {
            for (const auto& v : p.volumes) {
                Bytes bytes = volumeBytes(p, v);
                CFile f(on(v.disk, v.fileName), CFile::modeCreateNew);
                f.write(bytes.data(), bytes.size());
                f.close();
            }
        } else {
            // The copy engine takes a plain file's time and attributes from the disk.
            std::string source = sourceOf(p.item->source);
            std::string target = on(p.disk, p.item->name);
            copyFile(source, target);
            CFile::setTimeAndAttributes(target, timeOf(p.item->time, source), p.item->attributes);
        }
    }
}

void Builder::writeDownload(const std::string& path, const std::string& ini) const
{
    // The parts made here get the distribution's time, so the same input
    // makes the same download.
    const std::uint32_t when = timeOf(std::nullopt, m_licence);
    std::unique_ptr<CBundleWriter> writer;
    try {
        writer = std::make_unique<CBundleWriter>(path, m_installer);
    } catch (const CFileException& e) {
        if (e.cause != CFileException::invalidFile)
            throw;
        throw LayoutError("installer " + m_installer + " is no Windows program a download can start with");
    }
    CBundleWriter& download = *writer;
    download.Add("install.ini", ini.data(), ini.size(), when, kArchiveBit);
    Bytes licence = readFile(m_licence);
    download.Add("licencia.txt", licence.data(), licence.size(), when, kArchiveBit);
    for (const auto& p : m_items) {
        if (p.item->isArchive) {
            Bytes volume = volumeBytes(p, p.volumes.front());
            download.Add(p.item->name, volume.data(), volume.size(), when, kArchiveBit);
        } else {
            // As the disk's copy: the copy engine takes time and attributes from the part.
            std::string source = sourceOf(p.item->source);
            Bytes bytes = readFile(source);
            download.Add(p.item->name, bytes.data(), bytes.size(), timeOf(p.item->time, source), p.item->attributes);
        }
    }
    download.Finish();
}

std::string Builder::settle(std::uint64_t fixed, std::uint64_t& reserve)
{
    // The profile shares disk 1 with what it describes: place with a guess
    // of its size until the guess holds.
    reserve = rounded(1);
    for (int round = 0;; ++round) {
        place(fixed + reserve);
        std::string ini = profile();
        if (rounded(ini.size()) <= reserve)
            return ini;
        if (round == 8)
            throw LayoutError("the profile's size does not settle");
        reserve = rounded(ini.size());
    }
}

int Builder::run(const std::string& outputFolder)
{
    check();
    m_installer = !m_options.installer.empty() ? m_options.installer : sourcePath(m_layout.installer);
    m_licence = !m_options.licence.empty() ? m_options.licence : sourcePath(m_layout.licence);
    CFile::Status installer, licence;
    if (m_options.installer.empty() && m_layout.installer.empty())
        throw LayoutError(m_layout.file + ": [distribution] needs 'installer =' (or pass --installer)");
    if (!CFile::getStatus(m_installer, installer))
        throw LayoutError("installer " + m_installer + " not found");
    if (!CFile::getStatus(m_licence, licence))
        throw LayoutError("licence text " + m_licence + " not found (set 'licence =' in [distribution])");
    if (!m_options.installer.empty() && !m_layout.installer.empty())
        m_layoutInstaller = fs::weakly_canonical(sourcePath(m_layout.installer)).string();

    fs::path work = fs::path(outputFolder) / ".mkdisks-work";
    fs::create_directories(work);
    struct Cleanup {
        fs::path p;
        ~Cleanup() { std::error_code ec; fs::remove_all(p, ec); }
    } cleanup{work};

    for (const auto& item : m_layout.items) {
        PlacedItem p;
        p.item = &item;
        if (item.isArchive) {
            for (const auto& m : item.members) {
                p.members.push_back(encode(item, m, work.string()));
                p.size += p.members.back().header.unpackedSize;
            }
        } else {
            CFile::Status st;
            if (!CFile::getStatus(sourceOf(item.source), st))
                throw LayoutError(m_layout.file + ":" + std::to_string(item.line) + ": source file " + sourceOf(item.source) + " not found");
            if (st.size > 0x7FFFFFFF)
                throw LayoutError(item.name + " is too large for the profile's size field");
            p.size = st.size;
        }
        if (p.size > 0x7FFFFFFF)
            throw LayoutError(item.name + " unpacks to more than the profile's size field holds");
        m_items.push_back(std::move(p));
    }

    const std::uint64_t fixed = rounded(installer.size) + rounded(licence.size);
    std::uint64_t reserve = 0;
    std::string ini = settle(fixed, reserve);
    if (fixed + reserve > m_layout.capacity)
        throw LayoutError("install.exe, licencia.txt and install.ini alone fill the first disk");
    write(outputFolder, ini);
    const int disks = m_disks;
    if (!m_options.quiet)
        for (int d = 1; d <= disks; ++d)
            std::cout << diskFolder(d) << ": " << m_used[d] << " of " << m_layout.capacity << " bytes\n";

    if (m_layout.download) {
        // The same files placed again on one disk without limits: the
        // profile of the download, and each archive in a single volume.
        m_capacity = kUnlimited;
        m_cluster = 1;
        ini = settle(installer.size + licence.size, reserve);
        fs::path written = work / "download";
        writeDownload(written.string(), ini);
        fs::path download = fs::path(outputFolder) / m_layout.download->file;
        fs::rename(written, download);
        writeManifest(m_layout, download.string(), (fs::path(outputFolder) / "manifest").string());
        if (!m_options.quiet)
            std::cout << m_layout.download->file << ": " << fs::file_size(download) << " bytes, and its manifest\n";
    }
    return disks;
}

} // namespace

int buildDisks(const Layout& layout, const std::string& outputFolder, const BuildOptions& options)
{
    return Builder(layout, options).run(outputFolder);
}
