#include "profile/install_profile.h"

#include "app/install_app.h"
#include "archive/archive_crc.h"
#include "errors/x_exception.h"
#include "platform/message_pump.h"
#include "profile/profile_access.h"
#include "profile/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

namespace {

// Visits every key of a section with its value read.
template <class Visit>
void forEachEntry(const CProfileFile& file, const std::string& section, Visit visit)
{
    CProfileSection keys(section, file);
    CProfileEntry entry;
    for (bool more = keys.First(entry); more; more = keys.Next(entry)) {
        entry.value.clear();
        entry.Read(file);
        visit(entry);
    }
}

std::string field(const std::string& text, int n)
{
    std::string out;
    ExtractField(out, text, n);
    return out;
}

std::int16_t field16(const std::string& text, int n, std::int16_t missing = 0)
{
    std::int16_t out = missing;
    FieldAsInt16(out, text, n);
    return out;
}

bool fieldBool(const std::string& text, int n)
{
    bool out = false;
    FieldAsBool(out, text, n);
    return out;
}

void readDestinations(CInstallApp& app, const CProfileFile& file)
{
    bool any = false;
    forEachEntry(file, "destinations", [&](const CProfileEntry& e) {
        any = true;
        std::int16_t id = static_cast<std::int16_t>(
            static_cast<std::uint16_t>(static_cast<std::uint32_t>(ParseDecimal(e.key))));
        auto& slot = app.destinations[id];
        if (!slot) {
            slot = std::make_unique<CDestination>();
            slot->id = id;
        }
        slot->name = field(e.value, 0);
        slot->parent = field16(e.value, 1, -1);
        slot->path.set(field(e.value, 2));
    });
    if (!any)
        throw CInstallProfileException(kProfileNoDestinations);
}

void readGroups(CInstallApp& app, const CProfileFile& file)
{
    forEachEntry(file, "groups", [&](const CProfileEntry& e) {
        auto group = std::make_unique<CFileGroup>();
        group->name = e.key;
        group->title = field(e.value, 0);
        group->description = field(e.value, 1);
        group->inMinimum = fieldBool(e.value, 2);
        group->inTypical = fieldBool(e.value, 3);
        group->selectable = fieldBool(e.value, 4);
        app.groups[e.key] = std::move(group);
    });
}

void readTargets(CInstallApp& app, const CProfileFile& file)
{
    forEachEntry(file, "targets", [&](const CProfileEntry& e) {
        auto target = std::make_unique<CTarget>();
        target->name = e.key;
        target->iconIndex = field16(e.value, 0);
        target->reserved = field16(e.value, 1);
        target->minimised = fieldBool(e.value, 2);
        target->title = field(e.value, 3);
        target->arguments = field(e.value, 4);
        target->iconFile = field(e.value, 5);
        target->installedPath.set(field(e.value, 6));
        app.targets[LowerCase(e.key)] = std::move(target);
    });
}

// Ordered by disk, within a disk the ordinary entries before the lastOnDisk
// ones, otherwise in reading order: inserting each record in front of the
// first one that sorts after it amounts to a stable sort on that key.
bool diskOrder(const std::unique_ptr<CGroupFile>& a, const std::unique_ptr<CGroupFile>& b)
{
    if (a->disk != b->disk)
        return a->disk < b->disk;
    return !a->lastOnDisk && b->lastOnDisk;
}

void readGroupFiles(CInstallApp& app, const CProfileFile& file)
{
    std::vector<std::unique_ptr<CGroupFile>> records;
    for (auto& existing : app.groupFiles)
        records.push_back(std::move(existing));
    app.groupFiles.clear();

    for (auto& entry : app.groups) {
        CFileGroup* group = entry.second.get();
        // A key repeated in one section is one file: the platform reads the
        // first value for both.
        std::set<std::string> seen;
        forEachEntry(file, group->name, [&](const CProfileEntry& e) {
            if (!seen.insert(LowerCase(e.key)).second)
                return;
            auto record = std::make_unique<CGroupFile>();
            record->name = e.key;
            FieldAsInt32(record->size, e.value, 0);
            record->kind = field16(e.value, 1);
            record->count = field16(e.value, 2);
            record->disk = field16(e.value, 3);
            record->destination = field16(e.value, 4);
            record->text = field(e.value, 5);
            record->group = group;
            if (record->disk < 0) {
                // -32768 has no positive counterpart in 16 bits.
                record->disk = record->disk == INT16_MIN ? INT16_MAX : -record->disk;
                record->lastOnDisk = true;
            }
            records.push_back(std::move(record));
        });
    }
    std::stable_sort(records.begin(), records.end(), diskOrder);
    for (auto& record : records)
        app.groupFiles.push_back(std::move(record));
}

void readDisks(CInstallApp& app, const CProfileFile& file)
{
    forEachEntry(file, "diskettes", [&](const CProfileEntry& e) {
        std::int32_t number = ParseDecimal(e.key);
        // A nonsensical disk number would make a huge table; such a disk is
        // named by its number in the prompt instead.
        if (number < 0 || number > kMaxDiskNumber)
            return;
        if (app.disks.size() <= static_cast<std::size_t>(number))
            app.disks.resize(static_cast<std::size_t>(number) + 1);
        CDisk& disk = app.disks[static_cast<std::size_t>(number)];
        disk.label = field(e.value, 0);
        disk.extra = field(e.value, 1);
    });
}

void readProduct(CInstallApp& app, const CProfileFile& file)
{
    app.product = CProductInfo();
    file.value("product", "version", app.product.version);
    file.value("product", "publisher", app.product.publisher);
    file.value("product", "urlinfo", app.product.urlInfoAbout);
    file.value("product", "helplink", app.product.helpLink);
}

void readUserFiles(CInstallApp& app, const CProfileFile& file)
{
    app.userFiles.clear();
    forEachEntry(file, "userdata", [&](const CProfileEntry& e) {
        app.userFiles.insert(UserFileKey(e.key, static_cast<std::int16_t>(ParseDecimal(e.value))));
    });
    // Distributions made before the section was known hold these two.
    if (app.userFiles.empty())
        for (const char* dictionary : {"ovusuca4.dbc", "ovsalca4.dbc"})
            app.userFiles.insert(UserFileKey(dictionary, kDestInstallFolder));
}

} // namespace

std::string UserFileKey(const std::string& name, int destination)
{
    return std::to_string(destination) + "|" + LowerCase(name);
}

bool IsUserFile(const CInstallApp& app, const std::string& name, int destination)
{
    return app.userFiles.count(UserFileKey(name, destination)) != 0;
}

bool ProfileIsWhole(const std::string& bytes)
{
    const std::string head = "[check]\r\ncrc=";
    if (bytes.compare(0, head.size(), head) != 0)
        return true;
    std::size_t end = head.size() + 8;
    if (bytes.size() < end + 2 || bytes.compare(end, 2, "\r\n") != 0)
        return false;
    std::uint32_t sealed = 0;
    for (std::size_t i = head.size(); i < end; ++i) {
        char c = bytes[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0)
            return false;
        sealed = sealed << 4 | static_cast<std::uint32_t>(digit);
    }
    return ArchiveCrc::of(bytes.data() + end + 2, bytes.size() - end - 2) == sealed;
}

void LoadInstallProfile(const CInstallApp& app, const std::string& path, CProfileFile& file)
{
    if (app.uninstallMode || !app.download.active()) {
        file.load(path);
        return;
    }
    const CBundlePart* part = app.download.Find("install.ini");
    // A download without its profile was not made whole.
    if (!part)
        throw CInstallProfileException(kProfileDamaged);
    file.readText(app.download.ReadPart(*part));
}

void ReadProfile(CInstallApp& app, const std::string& path)
{
    // One read of the file answers every key and value as the platform would.
    CProfileFile file;
    LoadInstallProfile(app, path, file);
    // A damaged distribution is refused before it is acted on.
    if (!app.uninstallMode && !ProfileIsWhole(file.raw()))
        throw CInstallProfileException(kProfileDamaged);
    readDestinations(app, file);
    PumpMessages();
    readGroups(app, file);
    PumpMessages();
    readTargets(app, file);
    PumpMessages();
    // The uninstall profile's group sections hold per-file records instead.
    if (!app.uninstallMode) {
        readGroupFiles(app, file);
        readUserFiles(app, file);
        readProduct(app, file);
        PumpMessages();
    }
    readDisks(app, file);
}

void SelectGroups(CInstallApp& app)
{
    for (auto& entry : app.groups)
        entry.second->selected = entry.second->inTypical;
}

void ResolveDestinations(CInstallApp& app)
{
    for (auto& entry : app.destinations) {
        if (entry.second->derived) {
            entry.second->path = CPath();
            entry.second->derived = false;
        }
    }
    std::size_t passes = app.destinations.size();
    for (std::size_t pass = 0; pass < passes; ++pass) {
        bool allResolved = true;
        for (auto& entry : app.destinations) {
            CDestination& d = *entry.second;
            if (d.parent == -1 || !d.path.empty())
                continue;
            auto parent = app.destinations.find(d.parent);
            if (parent != app.destinations.end() && !parent->second->path.empty()) {
                d.path.set(WithTrailingBackslash(parent->second->path.text() + d.name));
                d.derived = true;
            } else {
                allResolved = false;
            }
        }
        if (allResolved)
            return;
    }
    if (!app.destinations.empty())
        throw CInstallProfileException(kProfileUnresolvedFolder);
}

std::int64_t EstimateSpace(const CInstallApp& app, std::int64_t clusterBytes)
{
    std::int64_t total = 0;
    for (const auto& record : app.groupFiles) {
        if (!record->group || !record->group->selected)
            continue;
        std::int64_t size = record->size;
        if (record->count > 1)
            total += size + clusterBytes * record->count / 2;
        else if (clusterBytes > 0)
            total += (size + clusterBytes - 1) / clusterBytes * clusterBytes;
        else
            total += size;
    }
    return total;
}

void RecordInstalledTarget(CInstallApp& app, const std::string& placedPath)
{
    auto target = app.targets.find(LowerCase(CPath(placedPath).fileName()));
    if (target != app.targets.end())
        target->second->installedPath.set(placedPath);
}
