#include "copy/copy_engine.h"

#include "app/install_app.h"
#include "copy/disk_prompt.h"
#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "platform/message_pump.h"
#include "profile/install_profile.h"
#include "resources/resource.h"
#include "system/boot_rename.h"
#include "system/program_items.h"
#include "system/shared_dll_count.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

CCopyEngine* g_running = nullptr;

// Marks the engine as the running copy for as long as it copies.
struct CRunningGuard {
    explicit CRunningGuard(CCopyEngine* engine) { g_running = engine; }
    ~CRunningGuard() { g_running = nullptr; }
};

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

// Whether anything of that name is there: one call, where a directory
// search would cost several for every file placed.
bool present(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Window messages are let through at most this often while data is read:
// often enough for the page and its cancel button, without a round trip to
// the window system for every block.
constexpr DWORD kPumpInterval = 25;

} // namespace

CCopyEngine::~CCopyEngine()
{
    if (g_running == this)
        g_running = nullptr;
}

CCopyEngine* CCopyEngine::running()
{
    return g_running;
}

std::string CCopyEngine::NamePart(const std::string& memberName)
{
    std::size_t cut = memberName.find_last_of("\\/:");
    std::string name = cut == std::string::npos ? memberName : memberName.substr(cut + 1);
    if (name == "." || name == "..")
        return std::string();
    return name;
}

std::string CCopyEngine::TempPathFor(const std::string& destinationPath, int maxDraws)
{
    CPath path(destinationPath);
    for (int draw = 0; draw < maxDraws; ++draw) {
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.4x%.4x%.4x%.4x%.4x", std::rand() & 0x7FFF,
                      std::rand() & 0x7FFF, std::rand() & 0x7FFF, std::rand() & 0x7FFF,
                      std::rand() & 0x7FFF);
        CPath candidate(path);
        candidate.setName(std::string(digits, 8));
        if (!present(candidate.text()))
            return candidate.text();
    }
    return std::string();
}

int CCopyEngine::CopyFiles()
{
    std::int64_t estimate = EstimateSpace(m_app, 0);
    m_total = static_cast<std::uint32_t>(
        std::min<std::int64_t>(std::max<std::int64_t>(estimate, 0),
                               std::numeric_limits<std::uint32_t>::max()));
    m_done = 0;
    m_view.SetGaugeRange(1, m_total);

    CRunningGuard guard(this);
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
        WriteBackModel(m_app, m_app.logPath.text());
    return m_view.Successor();
}

void CCopyEngine::CopyGroupFile(CGroupFile& record)
{
    record.blockSize = 4096;
    std::string sourcePath;
    try {
        if (!EnsureSourceFile(m_app, record.name, record.disk)) {
            m_app.succeeded = false;
            throw CUserException();
        }
        sourcePath = m_app.sourceFolder.folderText() + record.name;
        record.currentDisk = record.disk;
        if (record.kind == 0 && record.destination == kDestNotInstalled)
            m_done += static_cast<std::uint32_t>(record.size);
        else if (record.kind == 0)
            copyPlainFile(record, sourcePath);
        else if (record.kind == 1)
            copyArchive(record, sourcePath);
    } catch (const CUserException&) {
        m_app.succeeded = false;
    } catch (const CXUserException&) {
        m_app.succeeded = false;
    } catch (...) {
        m_current = nullptr;
        if (!askAboutCurrentError(CPath(sourcePath.empty() ? record.name : sourcePath).fileName()))
            m_app.succeeded = false;
    }
    m_current = nullptr;
    record.abortClose();
}

void CCopyEngine::copyPlainFile(CGroupFile& record, const std::string& sourcePath)
{
    CFile::Status status;
    if (!CFile::getStatus(sourcePath, status))
        throw CFileException(CFileException::fileNotFound, sourcePath);
    // Exactly the profile's size is installed: a file of another size is
    // not the one the distribution was made with.
    if (status.size < static_cast<std::uint64_t>(std::max(record.size, 0)))
        throw CFileException(CFileException::endOfFile, sourcePath);
    if (status.size > static_cast<std::uint64_t>(std::max(record.size, 0)))
        throw CFileException(CFileException::invalidFile, sourcePath);

    record.openPlain(sourcePath);
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

void CCopyEngine::copyArchive(CGroupFile& record, const std::string& sourcePath)
{
    record.open(sourcePath);
    for (;;) {
        pumpNowAndThen();
        if (!m_app.succeeded)
            return;
        CInstallEntry entry;
        entry.source = &record;
        if (!record.nextEntry(entry))
            return;
        // A member that isn't installed still moves the reader past its data.
        if (entry.header.destination == kDestNotInstalled) {
            record.skip(entry);
            m_done += entry.header.unpackedSize;
            continue;
        }
        placeEntry(entry);
    }
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
    if (!CPath(folder).createFolders())
        throwLastError(folder);
    m_madeFolders.insert(folder);
    return folder;
}

std::string CCopyEngine::olderCopy(const CInstallEntry& entry) const
{
    int destination = entry.header.destination;
    if (destination != kDestWindows && destination != kDestSystem)
        return present(entry.destinationPath) ? entry.destinationPath : std::string();
    std::string name = CPath(entry.destinationPath).fileName();
    for (int special : {CPath::windowsFolder, CPath::systemFolder}) {
        CPath candidate;
        candidate.setSpecial(special);
        candidate.setFileName(name);
        if (present(candidate.text()))
            return candidate.text();
    }
    return std::string();
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
    entry.tempPath = TempPathFor(entry.destinationPath);
    if (entry.tempPath.empty())
        throw CFileException(CFileException::accessDenied, entry.destinationPath);

    entry.outputPath = entry.tempPath;
    try {
        entry.source->extract(entry);
    } catch (...) {
        // A member that failed or was cancelled leaves nothing behind.
        CPath(entry.tempPath).remove();
        throw;
    }

    std::string older = olderCopy(entry);
    bool replaceNow = true;
    if (!older.empty()) {
        entry.existedBefore = true;
        if (!CPath(older).remove()) {
            try {
                ReplaceAtRestart(entry.tempPath, older);
            } catch (...) {
                CPath(entry.tempPath).remove();
                throw;
            }
            m_app.restartNeeded = true;
            replaceNow = false;
        }
    }
    if (replaceNow) {
        if (!MoveFileA(entry.tempPath.c_str(), entry.destinationPath.c_str())) {
            // A file that isn't in place must not be recorded as installed.
            DWORD error = GetLastError();
            CPath(entry.tempPath).remove();
            SetLastError(error);
            throwLastError(entry.destinationPath);
        }
        entry.placedNow = true;
    }

    const std::string& group = entry.source->group ? entry.source->group->name : std::string();
    WriteFileRecord(m_app.logPath.text(), group, CPath(entry.destinationPath).fileName(),
                    destination, entry.placedNow, entry.existedBefore);
    if (destination == kDestSystem)
        CSharedDllCount(entry.destinationPath).increment();
    RecordInstalledTarget(m_app, entry.destinationPath);
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
            m_app.succeeded = false;
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

bool CGroupFile::endOfVolume()
{
    std::string name = CPath(path()).fileName();
    close();
    const EntryHeader* member = activeMember();
    if (!member || !member->continued)
        return true;
    CInstallApp& app = CInstallApp::get();
    name = nextVolumeName(name);
    ++currentDisk;
    if (!EnsureSourceFile(app, name, currentDisk)) {
        app.succeeded = false;
        throw CUserException();
    }
    open(app.sourceFolder.folderText() + name);
    return false;
}

void CGroupFile::blockDone()
{
    if (CCopyEngine* engine = CCopyEngine::running())
        engine->ProgressTick();
}
