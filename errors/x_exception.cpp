#include "errors/x_exception.h"

#include "resources/resource.h"

#include <iterator>

namespace {

const CErrorMessageRow kDefaultRow = {kAnyCode, IDS_ERR_UNKNOWN_TITLE, IDS_ERR_UNKNOWN_TEXT};

const CErrorMessageRow kMemoryRows[] = {
    {kAnyCode, IDS_ERR_MEMORY_TITLE, IDS_ERR_MEMORY_TEXT},
};

const CErrorMessageRow kFileRows[] = {
    {CFileException::fileNotFound, IDS_ERR_NOT_FOUND_TITLE, IDS_ERR_NOT_FOUND_TEXT},
    {CFileException::badPath, IDS_ERR_BAD_PATH_TITLE, IDS_ERR_BAD_PATH_TEXT},
    {CFileException::tooManyOpenFiles, IDS_ERR_TOO_MANY_OPEN_TITLE, IDS_ERR_TOO_MANY_OPEN_TEXT},
    {CFileException::accessDenied, IDS_ERR_ACCESS_DENIED_TITLE, IDS_ERR_ACCESS_DENIED_TEXT},
    {CFileException::invalidFile, IDS_ERR_INVALID_FILE_TITLE, IDS_ERR_FILE_TEXT},
    {CFileException::removeCurrentDir, IDS_ERR_REMOVE_CURRENT_DIR_TITLE, IDS_ERR_FILE_TEXT},
    {CFileException::directoryFull, IDS_ERR_DIRECTORY_FULL_TITLE, IDS_ERR_DIRECTORY_FULL_TEXT},
    {CFileException::badSeek, IDS_ERR_BAD_SEEK_TITLE, IDS_ERR_FILE_TEXT},
    {CFileException::hardIO, IDS_ERR_HARDWARE_TITLE, IDS_ERR_HARDWARE_TEXT},
    {CFileException::sharingViolation, IDS_ERR_SHARING_TITLE, IDS_ERR_SHARING_TEXT},
    {CFileException::lockViolation, IDS_ERR_LOCK_TITLE, IDS_ERR_LOCK_TEXT},
    {CFileException::diskFull, IDS_ERR_DISK_FULL_TITLE, IDS_ERR_DISK_FULL_TEXT},
    {CFileException::endOfFile, IDS_ERR_END_OF_FILE_TITLE, IDS_ERR_FILE_TEXT},
    {kAnyCode, IDS_ERR_FILE_TITLE, IDS_ERR_FILE_TEXT},
};

const CErrorMessageRow kArchiveRows[] = {{kAnyCode, IDS_ERR_ARCHIVE_TITLE, IDS_ERR_ARCHIVE_TEXT}};
const CErrorMessageRow kResourceRows[] = {{kAnyCode, IDS_ERR_RESOURCE_TITLE, IDS_ERR_RESOURCE_TEXT}};
const CErrorMessageRow kUserRows[] = {{kAnyCode, IDS_ERR_USER_TITLE, IDS_ERR_USER_TEXT}};
const CErrorMessageRow kNotSupportedRows[] = {{kAnyCode, IDS_ERR_NOT_SUPPORTED_TITLE, IDS_ERR_NOT_SUPPORTED_TEXT}};
const CErrorMessageRow kProfileRows[] = {{kProfileDamaged, IDS_DISTRIBUTION_DAMAGED_TITLE, IDS_DISTRIBUTION_DAMAGED_TEXT},
                                         {kAnyCode, IDS_PROFILE_ERROR_TITLE, IDS_PROFILE_ERROR_TEXT}};

const CErrorMessageRow kMultiFileRows[] = {
    {kMultiFileNoVolumeHeader, IDS_ERR_NO_VOLUME_TITLE, IDS_ERR_NO_VOLUME_TEXT},
    {kMultiFileNoEntryHeader, IDS_ERR_NO_ENTRY_TITLE, IDS_ERR_NO_ENTRY_TEXT},
    {kMultiFileDamaged, IDS_ERR_DAMAGED_TITLE, IDS_ERR_DAMAGED_TEXT},
    {kMultiFileBadCrc, IDS_ERR_CRC_TITLE, IDS_ERR_CRC_TEXT},
    {kMultiFileUnknownMethod, IDS_ERR_METHOD_TITLE, IDS_ERR_METHOD_TEXT},
};

const CErrorMessageRow kZLibRows[] = {
    {kZLibOtherError, IDS_ERR_ZLIB_TITLE, IDS_ERR_ZLIB_TEXT},
    {kZLibStreamError, IDS_ERR_ZLIB_STREAM_TITLE, IDS_ERR_ZLIB_TEXT},
    {kZLibDataError, IDS_ERR_ZLIB_DATA_TITLE, IDS_ERR_ZLIB_TEXT},
    {kZLibBufferError, IDS_ERR_ZLIB_BUFFER_TITLE, IDS_ERR_ZLIB_TEXT},
};

void fillFrom(const CErrorMessageRow& row, std::string& title, std::string& text)
{
    if (title.empty() && row.titleId != 0)
        title = LoadResourceString(row.titleId);
    if (text.empty() && row.explanationId != 0)
        text = LoadResourceString(row.explanationId);
}

} // namespace

std::string& CXException::sharedTitle()
{
    static std::string title;
    return title;
}

std::string& CXException::sharedExplanation()
{
    static std::string explanation;
    return explanation;
}

void CXException::loadMessage() const
{
    sharedTitle().clear();
    sharedExplanation().clear();
    lookupMessage();
}

void CXException::lookupIn(const CErrorMessageRow* rows, std::size_t count) const
{
    std::string& title = sharedTitle();
    std::string& text = sharedExplanation();
    for (std::size_t i = 0; i < count; ++i) {
        if (rows[i].code == kAnyCode || rows[i].code == code) {
            fillFrom(rows[i], title, text);
            break;
        }
    }
    fillFrom(kDefaultRow, title, text);
}

#define X_LOOKUP(Name, rows) \
    void Name::lookupMessage() const { lookupIn(rows, std::size(rows)); }

X_LOOKUP(CXMemoryException, kMemoryRows)
X_LOOKUP(CXFileException, kFileRows)
X_LOOKUP(CXArchiveException, kArchiveRows)
X_LOOKUP(CXResourceException, kResourceRows)
X_LOOKUP(CXUserException, kUserRows)
X_LOOKUP(CXNotSupportedException, kNotSupportedRows)
X_LOOKUP(CInstallProfileException, kProfileRows)
X_LOOKUP(CMultiFileException, kMultiFileRows)
X_LOOKUP(CZLibException, kZLibRows)

#undef X_LOOKUP

namespace {

template <class T>
std::unique_ptr<CXException> copyAs(const CException& error)
{
    if (auto* e = dynamic_cast<const T*>(&error))
        return std::make_unique<T>(*e);
    return nullptr;
}

} // namespace

std::unique_ptr<CXException> toFamily(const CException& error)
{
    // A family error keeps its own class and code.
    std::unique_ptr<CXException> same;
    if ((same = copyAs<CXMemoryException>(error)) || (same = copyAs<CXFileException>(error)) ||
        (same = copyAs<CXArchiveException>(error)) || (same = copyAs<CXResourceException>(error)) ||
        (same = copyAs<CXUserException>(error)) || (same = copyAs<CXNotSupportedException>(error)) ||
        (same = copyAs<CInstallProfileException>(error)) || (same = copyAs<CMultiFileException>(error)) ||
        (same = copyAs<CZLibException>(error)) || (same = copyAs<CXException>(error)))
        return same;

    if (dynamic_cast<const CMemoryException*>(&error))
        return std::make_unique<CXMemoryException>();
    if (auto* e = dynamic_cast<const CFileException*>(&error))
        return std::make_unique<CXFileException>(e->cause);
    if (auto* e = dynamic_cast<const CArchiveException*>(&error))
        return std::make_unique<CXArchiveException>(e->cause);
    if (dynamic_cast<const CNotSupportedException*>(&error))
        return std::make_unique<CXNotSupportedException>();
    if (dynamic_cast<const CResourceException*>(&error))
        return std::make_unique<CXResourceException>();
    if (dynamic_cast<const CUserException*>(&error))
        return std::make_unique<CXUserException>();
    return std::make_unique<CXException>(kXUnknownError);
}
