#include "copy/copy_engine.h"

#include "app/install_app.h"
#include "copy/disk_prompt.h"
#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "log/install_log.h"
#include "log/run_journal.h"
#include "platform/message_pump.h"
#include "platform/registry.h"
#include "profile/install_profile.h"
#include "resources/resource.h"
#include "system/boot_rename.h"
#include "system/program_items.h"
#include "system/registry_place.h"
#include "system/shared_dll_count.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <vector>

namespace {

// Paths the platform can't take: a name of 260 characters or more.
constexpr std::size_t kMaxPath = 260;

// Asks whether to go on after the error being handled; true for "Continuar.".
bool askAboutCurrentError(const std::string& fileName)
{
    try {
        throw;
    } catch (const CException& error) {
        return askError(IDS_CANNOT_INSTALL_FROM, error, fileName.c_str());
    } catch (const std::bad_alloc&) {
        return askError(IDS_CANNOT_INSTALL_FROM, CXMemoryException(), fileName.c_str());
    } catch (...) {
        return askError(IDS_CANNOT_INSTALL_FROM, CXException(kXUnknownError), fileName.c_str());
    }
}

[[noreturn]] void throwLastError(const std::string& path)
{
    throw CFileException(CFileException::causeFromOsError(GetLastError()), path);
}

// Window messages are let through at most this often while data is read:
// often enough for the page and its cancel button, without a round trip to
// the window system for every block.
constexpr DWORD kPumpInterval = 25;

} // namespace

std::string CCopyEngine::NamePart(const std::string& memberName)
{
    std::size_t cut = memberName.find_last_of("\\/:");
    std::string name = cut == std::string::npos ? memberName : memberName.substr(cut + 1);
    if (name == "." || name == "..")
        return std::string();
    return name;
}

int CCopyEngine::CopyFiles()
{
    std::int64_t estimate = EstimateSpace(m_app, 0);
    m_total = static_cast<std::uint32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(estimate, 0),
                               std::numeric_limits<std::uint32_t>::max()));
    m_done = 0;
    m_view.SetGaugeRange(1, m_total);
    // What an earlier installation placed: counted once, kept as it was kept.
    m_installed.Read(m_app.logPath.text());
    // What earlier runs left for the next start of Windows.
    readBootOperations();

    m_view.StartBillboards(m_total);
    for (auto& record : m_app.groupFiles) {
        // A "Yes" to the main window's close question stops before the next file.
        if (!m_app.succeeded)
            break;
        if (record->group && record->group->selected) {
            m_view.ShowSource(record->name);
            CopyGroupFile(*record);
        }
        if (!m_app.succeeded)
            break;
    }
    // Every file is in place: the installed targets get their program items.
    if (m_app.succeeded)
        CreateProgramItems(m_app);
    // A stopped copy doesn't leave its billboard over the failure page.
    m_view.EndBillboards();
    // Where the run goes when copying stopped.
    if (!m_app.succeeded)
        return IDD_PAGE_FAILED;
    if (m_app.loggingEnabled)
        WriteBackModel(m_app, m_app.journal);
    return m_view.Successor();
}

std::string CCopyEngine::NextVolume(const std::string& name, int disk)
{
    // A download holds each archive in one volume: a member that runs on
    // is damage, not a disk to ask for.
    if (m_app.download.active())
        throw CFileException(CFileException::endOfFile, m_app.download.path());
    if (!EnsureSourceFile(m_app, name, disk))
        stop();
    return m_app.sourceFolder.folderText() + name;
}

void CCopyEngine::giveUp()
{
    // Unattended, nobody chose to stop: the run failed.
    if (m_app.quietMode)
        m_app.Fail();
    else
        m_app.Cancel();
}

void CCopyEngine::stop()
{
    giveUp();
    throw CUserException();
}

void CCopyEngine::CopyGroupFile(CGroupFile& record)
{
    record.blockSize = 4096;
    // Ticks and volume moves reach this engine only while it copies the record.
    struct CHostScope {
        CGroupFile& record;
        ~CHostScope() { record.host = nullptr; }
    } hostScope{record};
    record.host = this;
    std::string sourcePath;
    try {
        if (!EnsureSourceFile(m_app, record.name, record.disk))
            stop();
        CFilePart source = m_app.SourcePart(record.name);
        sourcePath = source.path;
        record.currentDisk = record.disk;
        if (record.kind == 0 && record.destination == kDestNotInstalled)
            m_done += static_cast<std::uint32_t>(record.size);
        else if (record.kind == 0)
            copyPlainFile(record, source);
        else if (record.kind == 1)
            copyArchive(record, source);
    } catch (const CUserException&) {
        m_app.Fail();
    } catch (const CXUserException&) {
        m_app.Fail();
    } catch (...) {
        m_current = nullptr;
        if (!askAboutCurrentError(CPath(sourcePath.empty() ? record.name : sourcePath).fileName()))
            giveUp();
    }
    m_current = nullptr;
    // After an error, a member still being written is finished (or, when
    // its writes failed too, taken away) before anything else happens.
    try {
        completeInFlight();
    } catch (...) {
    }
    record.abortClose();
}

void CCopyEngine::copyPlainFile(CGroupFile& record, const CFilePart& source)
{
    // The member's name is the file's path on the disk, whose name part is
    // the installed name; a part of the download has only its name.
    const std::string sourcePath = m_app.download.active() ? record.name : source.path;
    CFile::Status status;
    if (!m_app.SourceStatus(record.name, status))
        throw CFileException(CFileException::fileNotFound, sourcePath);
    // Exactly the profile's size is installed: a file of another size is
    // not the one the distribution was made with.
    if (status.size < static_cast<std::uint64_t>(std::max(record.size, 0)))
        throw CFileException(CFileException::endOfFile, sourcePath);
    if (status.size > static_cast<std::uint64_t>(std::max(record.size, 0)))
        throw CFileException(CFileException::invalidFile, sourcePath);

    record.openPlain(source);
    CInstallEntry entry;
    entry.source = &record;
    entry.name = sourcePath;
    EntryHeader& h = entry.header;
    h.setName(sourcePath);
    h.destination = record.destination;
    h.method = EntryHeader::methodStored;
    h.methodParameter = 0;
    h.storedSize = static_cast<std::uint32_t>(record.size);
    h.crc = 0;
    h.continued = 0;
    h.modified = status.modified;
    h.attributes = static_cast<std::uint16_t>(status.attributes & 0xFF);
    h.unpackedSize = static_cast<std::uint32_t>(status.size);

    placeEntry(entry);
}

void CCopyEngine::copyArchive(CGroupFile& record, const CFilePart& source)
{
    record.open(source);
    for (;;) {
        pumpNowAndThen();
        if (!m_app.succeeded)
            break;
        auto entry = std::make_unique<CInstallEntry>();
        entry->source = &record;
        if (!record.nextEntry(*entry))
            break;
        // A member that isn't installed still moves the reader past its data.
        if (entry->header.destination == kDestNotInstalled) {
            record.skip(*entry);
            m_done += entry->header.unpackedSize;
            continue;
        }
        entry->writeBehind = true;
        try {
            placeEntry(*entry);
        } catch (...) {
            // A later step of the placement failed: the file itself is
            // finished all the same, and keeps its record.
            if (entry->writesInFlight())
                try {
                    finishWrites(entry.get());
                } catch (...) {
                }
            throw;
        }
        // A member written in place has its last writes go on while the
        // next one is decoded; the one before it is finished now.
        std::unique_ptr<CInstallEntry> previous = std::move(m_inFlight);
        if (entry->writesInFlight())
            m_inFlight = std::move(entry);
        finishWrites(previous.get());
    }
    completeInFlight();
}

void CCopyEngine::finishWrites(CInstallEntry* entry)
{
    if (!entry)
        return;
    try {
        entry->completeWrites();
        closeEntry(*entry);
    } catch (...) {
        // A write failed after the member was taken as placed: the file and
        // its record go, as when it fails while written.
        entry->abortClose();
        const std::string& path = entry->destinationPath;
        CPath(path).remove();
        m_app.journal.NotPlaced(path);
        m_madeFiles.erase(LowerCase(path));
        m_app.placedBytes -= entry->header.unpackedSize;
        auto target = m_app.targets.find(LowerCase(CPath(path).fileName()));
        if (target != m_app.targets.end() && SamePath(target->second->installedPath.text(), path))
            target->second->installedPath = CPath();
        throw;
    }
}

void CCopyEngine::completeInFlight()
{
    std::unique_ptr<CInstallEntry> entry = std::move(m_inFlight);
    finishWrites(entry.get());
}

void CCopyEngine::placeEntry(CInstallEntry& entry)
{
    m_current = &entry;
    InstallEntry(entry);
    m_current = nullptr;
    m_done += entry.header.unpackedSize;
}

std::string CCopyEngine::makeFolder(int destination)
{
    auto found = m_app.destinations.find(static_cast<std::int16_t>(destination));
    if (found == m_app.destinations.end() || found->second->path.empty())
        throw CFileException(CFileException::badPath, std::to_string(destination));
    std::string folder = WithTrailingBackslash(found->second->path.text());
    // Made once per run; a folder that vanishes meanwhile fails the next file.
    if (m_madeFolders.count(folder))
        return folder;
    if (!m_app.journal.CreateFolders(folder))
        throwLastError(folder);
    m_madeFolders.insert(folder);
    // An uninstallation's removal of the folder at the next start of Windows
    // has nothing to do any more.
    settleBootOperations(folder.substr(0, folder.size() - 1));
    return folder;
}

bool CCopyEngine::isThere(const std::string& path) const
{
    CPath file(path);
    if (!m_app.journal.IsNewFolder(file.folderText()))
        return file.exists();
    return m_madeFiles.count(LowerCase(path)) != 0;
}

namespace {

// Takes back a placement that stopped half-way, whatever stopped it: the
// temporary file goes, an older copy moved aside comes back, a copy made of
// someone else's file goes.
class CPlacementUndo {
public:
    explicit CPlacementUndo(CInstallEntry& entry) : m_entry(entry) {}
    ~CPlacementUndo()
    {
        if (m_done)
            return;
        m_entry.abortClose();
        if (!m_entry.tempPath.empty())
            CPath(m_entry.tempPath).remove();
        if (!m_aside.empty())
            CPath(m_aside).renameTo(m_older);
        if (!m_copy.empty())
            CPath(m_copy).remove();
    }
    CPlacementUndo(const CPlacementUndo&) = delete;
    CPlacementUndo& operator=(const CPlacementUndo&) = delete;

    void movedAside(const std::string& older, const std::string& aside)
    {
        m_older = older;
        m_aside = aside;
    }
    void copied(const std::string& copy) { m_copy = copy; }
    void done() { m_done = true; }

private:
    CInstallEntry& m_entry;
    std::string m_older, m_aside, m_copy;
    bool m_done = false;
};

std::string recordValue(const CFileRecord& r)
{
    return FileRecordValue(r.destination, r.placedNow, r.existedBefore, r.kept, r.backup);
}

// The long form of a path, as the program names files: short forms are
// what wininit.ini and some installers schedule.
std::string longForm(const std::string& path)
{
    char full[MAX_PATH] = {};
    DWORD n = GetLongPathNameA(path.c_str(), full, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : path;
}

} // namespace

void CCopyEngine::readBootOperations()
{
    m_bootOperations.clear();
    for (const CBootOperation& operation : PendingBootOperations()) {
        // A replacement of a file, or its deletion: keyed by the file it hits.
        std::string hit = operation.target.empty() ? operation.source : operation.target;
        m_bootOperations.emplace(LowerCase(longForm(hit)), operation);
    }
}

bool CCopyEngine::deletedAtRestart(const std::string& path) const
{
    auto range = m_bootOperations.equal_range(LowerCase(path));
    for (auto it = range.first; it != range.second; ++it)
        if (it->second.target.empty())
            return true;
    return false;
}

void CCopyEngine::settleBootOperations(const std::string& path)
{
    if (m_bootOperations.empty())
        return;
    auto range = m_bootOperations.equal_range(LowerCase(path));
    for (auto it = range.first; it != range.second; ++it) {
        // An earlier run's: a deletion left by an uninstallation, or a
        // replacement by an older version, would undo this placement when
        // Windows next starts.
        const CBootOperation operation = it->second;
        m_app.journal.Withdrawn(operation.source, operation.target);
        WithdrawBootOperations([&](const CBootOperation& listed) {
            return SamePath(listed.source, operation.source) && SamePath(listed.target, operation.target);
        });
    }
    m_bootOperations.erase(range.first, range.second);
}

void CCopyEngine::InstallEntry(CInstallEntry& entry)
{
    int destination = entry.header.destination;
    if (destination == kDestNotInstalled)
        return;
    std::string folder = makeFolder(destination);

    // Only the name part counts: a member never lands outside its folder.
    std::string name = NamePart(entry.name);
    if (name.empty())
        throw CFileException(CFileException::badPath, entry.name);
    entry.destinationPath = folder + name;
    if (entry.destinationPath.size() >= kMaxPath)
        throw CFileException(CFileException::badPath, entry.destinationPath);
    std::string group = entry.source->group ? entry.source->group->name : std::string();
    const CFileRecord* inGroup = m_installed.FindInGroup(group, name);
    // What an earlier installation recorded of the file where it goes now.
    const CFileRecord* earlier =
        inGroup && inGroup->destination == destination ? inGroup : m_installed.Find(name, destination);
    bool there = isThere(entry.destinationPath);
    if (there && IsUserFile(m_app, name, destination)) {
        keepUserFile(entry, group, name, earlier);
        return;
    }
    // Placed by an earlier installation or earlier in this run, or left by
    // an uninstallation to be deleted at the next start of Windows; anything
    // else that is there belongs to the user or to another program.
    bool ours = earlier || m_madeFiles.count(LowerCase(entry.destinationPath)) ||
                deletedAtRestart(entry.destinationPath);
    bool windowsOwn = destination == kDestWindows || destination == kDestSystem;

    std::string backup = earlier ? earlier->backup : std::string();
    // In a folder this run made nothing can be replaced: the file is
    // written under its own name, written down before its first byte, so
    // that an undo, or the next run after a kill, removes it.
    if (!there && m_app.journal.IsNewFolder(folder)) {
        m_app.journal.Placed(entry.destinationPath, true, group, name,
                             FileRecordValue(destination, true, false, false, backup));
        writeInPlace(entry);
    } else {
        // What is replaced or moved aside must be whole and closed.
        completeInFlight();
        placeThroughTemporary(entry, folder, group, name, backup, there, there && !ours && !windowsOwn,
                              windowsOwn && (earlier ? earlier->kept : there && !ours));
    }
    if (entry.placedNow)
        m_madeFiles.insert(LowerCase(entry.destinationPath));
    if (earlier && lstrcmpiA(earlier->section.c_str(), group.c_str()) != 0)
        m_app.journal.LogEntryGone(earlier->section, name);
    m_app.placedBytes += entry.header.unpackedSize;

    settleBootOperations(entry.destinationPath);
    // A file that an earlier version put into another folder leaves no copy there.
    if (inGroup && inGroup->destination != destination)
        removeMovedCopy(*inGroup, name);
    if (destination == kDestSystem)
        countShared(entry.destinationPath, entry.existedBefore, earlier != nullptr);
    RecordInstalledTarget(m_app, entry.destinationPath);
}

void CCopyEngine::writeInPlace(CInstallEntry& entry)
{
    entry.outputPath = entry.destinationPath;
    entry.keepOpen = true;
    try {
        entry.source->extract(entry);
        // The member before it, whose last writes went on meanwhile, is
        // finished now. When its writes or its checksum fail, this one goes
        // too: an archive stops at the member that failed.
        completeInFlight();
        // Closed when its last writes are done (finishWrites).
        if (!entry.writesInFlight())
            closeEntry(entry);
    } catch (...) {
        // Half written or failing its checksum: it goes, and so does its
        // record, once its own last writes are over.
        try {
            entry.completeWrites();
        } catch (...) {
        }
        entry.abortClose();
        CPath(entry.destinationPath).remove();
        m_app.journal.NotPlaced(entry.destinationPath);
        throw;
    }
    entry.placedNow = true;
}

void CCopyEngine::placeThroughTemporary(CInstallEntry& entry, const std::string& folder, const std::string& group,
                                        const std::string& name, std::string backup, bool there, bool keepTheirs,
                                        bool kept)
{
    int destination = entry.header.destination;
    CPlacementUndo undo(entry);
    writeTemporary(entry, folder);
    // An older copy is moved aside, not deleted, until the run has
    // succeeded; one in use is replaced when Windows next starts. Someone
    // else's file outside Windows' own folders is kept beside ours, for the
    // uninstaller to put back.
    bool replaceNow = true;
    if (there) {
        entry.existedBefore = true;
        std::string aside = moveAside(entry.destinationPath, keepTheirs);
        if (!aside.empty()) {
            undo.movedAside(entry.destinationPath, aside);
        } else {
            if (keepTheirs) {
                aside = copyTheirs(entry.destinationPath);
                undo.copied(aside);
            }
            replaceAtRestart(entry);
            replaceNow = false;
        }
        if (keepTheirs)
            backup = CPath(aside).fileName();
    }

    // The record is written down before the file takes its name, so that a
    // killed run's file is always known to the next run. A file of Windows'
    // own folders that was there before this product first placed it stays
    // when the product goes (kept).
    m_app.journal.Placed(entry.destinationPath, replaceNow, group, name,
                         FileRecordValue(destination, replaceNow, entry.existedBefore, kept, backup));
    if (replaceNow) {
        placeUnderItsName(entry);
        m_app.journal.TempNamed(entry.tempPath);
    }
    undo.done();
}

void CCopyEngine::keepUserFile(CInstallEntry& entry, const std::string& group, const std::string& name,
                               const CFileRecord* earlier)
{
    // The user's own words stay: the shipped copy is not even read out.
    entry.source->skip(entry);
    CFile::Status status;
    if (CFile::getStatus(entry.destinationPath, status))
        m_app.placedBytes += status.size;
    if (!earlier || lstrcmpiA(earlier->section.c_str(), group.c_str()) != 0) {
        CFileRecord record;
        if (earlier)
            record = *earlier;
        else
            record = {true, static_cast<std::int16_t>(entry.header.destination), true, true, false};
        m_app.journal.LogEntry(group, name, recordValue(record));
        if (earlier)
            m_app.journal.LogEntryGone(earlier->section, name);
    }
    RecordInstalledTarget(m_app, entry.destinationPath);
}

void CCopyEngine::writeTemporary(CInstallEntry& entry, const std::string& folder)
{
    CPath destinationPath(entry.destinationPath);
    std::string tempName = destinationPath.freshTempName(
        destinationPath.ext(), [this](const CPath& candidate) { return isThere(candidate.text()); });
    if (tempName.empty())
        throw CFileException(CFileException::accessDenied, entry.destinationPath);
    entry.tempPath = folder + tempName;
    m_madeFiles.insert(LowerCase(entry.tempPath));
    m_app.journal.TempFile(entry.tempPath);
    entry.outputPath = entry.tempPath;
    // Kept open once written and checked: it takes its name through its
    // own handle, and is closed at once, so every write is done first.
    entry.keepOpen = true;
    entry.writeBehind = false;
    entry.source->extract(entry);
}

void CCopyEngine::closeEntry(CInstallEntry& entry)
{
    if (!entry.isOpen())
        return;
    entry.close();
    CFile::setAttributes(entry.path(), entry.header.attributes & 0xFF);
}

void CCopyEngine::placeUnderItsName(CInstallEntry& entry)
{
    // Through the open handle where the system offers it, else by path.
    bool renamed = entry.renameOpen(entry.destinationPath);
    DWORD error = renamed ? 0 : GetLastError();
    closeEntry(entry);
    if (!renamed) {
        renamed = CPath(entry.tempPath).renameTo(entry.destinationPath);
        error = renamed ? 0 : GetLastError();
    }
    if (!renamed) {
        // A file that isn't in place must not be recorded as installed.
        m_app.journal.NotPlaced(entry.destinationPath);
        SetLastError(error);
        throwLastError(entry.destinationPath);
    }
    entry.placedNow = true;
}

void CCopyEngine::replaceAtRestart(CInstallEntry& entry)
{
    closeEntry(entry);
    m_app.journal.BootRename(entry.tempPath, entry.destinationPath);
    if (!ReplaceAtRestart(entry.tempPath, entry.destinationPath))
        throwLastError(entry.destinationPath);
}

std::string CCopyEngine::moveAside(const std::string& older, bool keptForUninstall)
{
    CPath path(older);
    // Our own older copies go under their names into the run's folder of
    // them (one flush of the journal for the folder, not one a file);
    // someone else's is kept beside, under a fresh name.
    std::string aside;
    if (!keptForUninstall) {
        std::string folder = m_app.journal.AsideFolder(path.folderText());
        // Known without a lookup: only this run puts names there.
        if (!folder.empty() && m_asideNames.insert(LowerCase(folder + "\\" + path.fileName())).second)
            aside = folder + "\\" + path.fileName();
    }
    if (aside.empty()) {
        std::string name = path.freshTempName(path.ext());
        if (name.empty())
            return std::string();
        aside = path.folderText() + name;
    }
    m_app.journal.MovedAside(older, aside, keptForUninstall);
    // A program reading it for a moment (a virus scanner, the shell) is
    // waited for; one that keeps it makes it a replacement at restart.
    if (!RetryWhileInUse([&] { return path.renameTo(aside); }))
        return std::string();
    return aside;
}

std::string CCopyEngine::copyTheirs(const std::string& older)
{
    // Held by a program that still lets it be read: a copy is kept, since
    // the replacement at restart takes the file itself.
    CPath path(older);
    std::string name = path.freshTempName(path.ext());
    if (name.empty())
        throw CFileException(CFileException::accessDenied, older);
    std::string copy = path.folderText() + name;
    m_app.journal.NewFile(copy);
    if (!CopyFileA(older.c_str(), copy.c_str(), TRUE))
        throwLastError(older);
    return copy;
}

void CCopyEngine::removeMovedCopy(const CFileRecord& old, const std::string& name)
{
    auto folder = m_app.destinations.find(old.destination);
    if (folder == m_app.destinations.end() || !folder->second || folder->second->path.empty() || old.kept)
        return;
    std::string path = WithTrailingBackslash(folder->second->path.text()) + name;
    if (!CPath(path).exists())
        return;
    if (old.destination == kDestSystem) {
        // Another product may still count on the copy there.
        CSharedDllCount count(path);
        std::uint32_t after = count.count() > 0 ? count.count() - 1 : 0;
        m_app.journal.CountSet(path, count.count(), after);
        count.set(after);
        if (after != 0)
            return;
    }
    if (moveAside(path, false).empty()) {
        m_app.journal.BootRename(path, std::string());
        if (!ReplaceAtRestart(path, std::string()))
            throwLastError(path);
    }
    // What was there before it, the uninstaller would have put back.
    std::string backup = WithTrailingBackslash(folder->second->path.text()) + old.backup;
    if (!old.backup.empty() && CPath(backup).exists()) {
        m_app.journal.Renamed(backup, path);
        CPath(backup).renameTo(path);
    }
}

void CCopyEngine::countShared(const std::string& path, bool existedBefore, bool countedBefore)
{
    CSharedDllCount count(path);
    std::uint32_t added = 0;
    if (!countedBefore) {
        // A copy that was there without a count belongs to someone who
        // didn't count it: it counts as one before ours.
        added = count.count() == 0 && existedBefore ? 2 : 1;
    } else if (count.count() == 0) {
        // This product counts it once however often it is installed; a
        // count that went missing meanwhile is ours again.
        added = 1;
    }
    if (added == 0)
        return;
    // Written down as the value it had: an undo puts that back.
    m_app.journal.CountSet(path, count.count(), count.count() + added);
    count.set(count.count() + added);
}

bool CCopyEngine::pumpNowAndThen()
{
    DWORD now = GetTickCount();
    if (now - m_lastPump < kPumpInterval)
        return false;
    m_lastPump = now;
    PumpMessages();
    return true;
}

void CCopyEngine::ProgressTick()
{
    if (!m_app.succeeded || !m_current)
        return;
    if (pumpNowAndThen() && (!m_app.succeeded || !m_current))
        return;
    if (m_view.CancelRequested()) {
        if (m_view.ConfirmCancel()) {
            m_current->source->abort();
            m_app.Cancel();
            m_view.FailTo();
            return;
        }
        m_view.ClearCancelRequest();
    }
    if (!m_current)
        return;
    std::uint32_t position = m_done + m_current->bytesWritten;
    m_view.SetGaugePosition(position);
    m_view.ShowDestination(m_current->destinationPath);
    m_view.ShowBillboardFor(position);
}
