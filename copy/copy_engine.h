// The copy engine: the work of the copy page. It walks the files of the
// selected groups in disk order, has each disk made available, places plain
// files and archive members through temporary files, replaces older copies
// (at the next start of Windows when they are in use), records every placed
// file in the install log and keeps the page's progress moving.
#pragma once

#include "archive/multi_file.h"
#include "log/install_log.h"
#include "profile/profile_model.h"
#include "system/boot_rename.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

class CInstallApp;

// What the engine shows and asks while it runs: the copy page.
class CCopyView {
public:
    virtual ~CCopyView() = default;
    virtual void ShowSource(const std::string& name) = 0;
    virtual void ShowDestination(const std::string& path) = 0;
    virtual void SetGaugeRange(std::uint32_t lowest, std::uint32_t highest) = 0;
    virtual void SetGaugePosition(std::uint32_t position) = 0;
    virtual bool CancelRequested() const = 0;
    virtual void ClearCancelRequest() = 0;
    virtual bool ConfirmCancel() = 0;
    // The page's successor becomes the failure page.
    virtual void FailTo() = 0;
    virtual int Successor() const = 0;
    virtual void StartBillboards(std::uint32_t total) = 0;
    virtual void ShowBillboardFor(std::uint32_t done) = 0;
    virtual void EndBillboards() = 0;
};

// One file to be placed: an archive member, or a plain file taken as one.
class CInstallEntry : public CMultiFileEntry {
public:
    CGroupFile* source = nullptr;
    std::string destinationPath;
    std::string tempPath;
    bool placedNow = false;
    bool existedBefore = false;
};

class CCopyEngine : public CGroupFileHost {
public:
    CCopyEngine(CInstallApp& app, CCopyView& view) : m_app(app), m_view(view) {}
    CCopyEngine(const CCopyEngine&) = delete;
    CCopyEngine& operator=(const CCopyEngine&) = delete;

    // Copies everything; the next page's id (IDD_PAGE_FAILED when copying
    // stopped).
    int CopyFiles();
    // Makes one record's disk available and copies or extracts it.
    void CopyGroupFile(CGroupFile& record);
    // Places one entry: paths, extraction, replacement, record.
    void InstallEntry(CInstallEntry& entry);
    // After every 4096 bytes read from the current source.
    void ProgressTick() override;
    // The next volume of the archive being read, from the next disk.
    std::string NextVolume(const std::string& name, int disk) override;

    std::uint32_t done() const { return m_done; }

    // The name part of a member's name: what follows its last "\", "/" or
    // ":". Empty when that is empty, "." or "..".
    static std::string NamePart(const std::string& memberName);

private:
    void copyPlainFile(CGroupFile& record, const CFilePart& source);
    void copyArchive(CGroupFile& record, const CFilePart& source);
    void placeEntry(CInstallEntry& entry);
    std::string makeFolder(int destination);
    // Whether a file is at path: in a folder this run made, one this run
    // put there (no lookup, which Wine pays with a read of the whole
    // folder); elsewhere, what the disk says.
    bool isThere(const std::string& path) const;
    // The user gave up (a disk, an error): the run is cancelled, or in quiet
    // mode, where nobody chose to stop, failed.
    void giveUp();
    // The same, raising CUserException to end the record.
    [[noreturn]] void stop();
    // The steps of placing an entry.
    void keepUserFile(CInstallEntry& entry, const std::string& group, const std::string& name,
                      const CFileRecord* earlier);
    // Where nothing can be replaced: straight under the file's own name.
    // An archive member (writeBehind) may come back with its last writes
    // still going on.
    void writeInPlace(CInstallEntry& entry);
    // Waits for an entry's writes and closes it; on a failed write takes
    // the file and its record away and raises the failure.
    void finishWrites(CInstallEntry* entry);
    // The same for the member still being written, if any.
    void completeInFlight();
    // Elsewhere: under a temporary name, an older copy (there) moved aside
    // or the replacement left to the next start of Windows, then the
    // file's name. keepTheirs: the older copy is someone else's, kept for
    // the uninstaller under a name that backup then gives; kept: the file
    // stays when the product goes.
    void placeThroughTemporary(CInstallEntry& entry, const std::string& folder, const std::string& group,
                               const std::string& name, std::string backup, bool there, bool keepTheirs,
                               bool kept);
    void writeTemporary(CInstallEntry& entry, const std::string& folder);
    // Closes an entry kept open after extraction and gives its file the
    // member's attributes.
    void closeEntry(CInstallEntry& entry);
    // Gives the written file its final name; raises the platform's file
    // error when it can't.
    void placeUnderItsName(CInstallEntry& entry);
    void replaceAtRestart(CInstallEntry& entry);
    // Moves an older copy to a fresh name beside it; its new path, or empty
    // when it can't be moved (in use).
    std::string moveAside(const std::string& older, bool keptForUninstall);
    std::string copyTheirs(const std::string& older);
    void removeMovedCopy(const CFileRecord& old, const std::string& name);
    void countShared(const std::string& path, bool existedBefore, bool countedBefore);
    // Earlier runs' operations for the next start of Windows that hit a file
    // this run places: read once, withdrawn when the file is placed.
    void readBootOperations();
    void settleBootOperations(const std::string& path);
    bool deletedAtRestart(const std::string& path) const;
    // Lets window messages through when the last time was long enough ago;
    // true when it did.
    bool pumpNowAndThen();

    CInstallApp& m_app;
    CCopyView& m_view;
    std::uint32_t m_total = 0;
    std::uint32_t m_done = 0;
    CInstallEntry* m_current = nullptr;
    // The member written in place whose last writes go on while the next
    // member is decoded.
    std::unique_ptr<CInstallEntry> m_inFlight;
    std::set<std::string> m_madeFolders;
    // Lower-case paths of the files this run made (asked for in the
    // folders it made).
    std::set<std::string> m_madeFiles;
    // Lower-case paths of the older copies moved into the journal's folders
    // of them.
    std::set<std::string> m_asideNames;
    CInstalledFiles m_installed;
    // By the lower-case long path of the file each replaces or deletes.
    std::multimap<std::string, CBootOperation> m_bootOperations;
    unsigned long m_lastPump = 0;
};
