#include "errors/x_exception.h"

#include "resources/resource.h"

#include <iterator>

namespace {

const CErrorMessageRow kDefaultRow = {-1, IDS_ERR_UNKNOWN_TITLE, IDS_ERR_UNKNOWN_TEXT};

const CErrorMessageRow kMemoryRows[] = {
    {-1, IDS_ERR_MEMORY_TITLE, IDS_ERR_MEMORY_TEXT},
};

const CErrorMessageRow kFileRows[] = {
    {2, 24590, 24591}, {3, 24592, 24593}, {4, 24594, 24595}, {5, 24596, 24597},
    {6, 24598, 24581}, {7, 24599, 24581}, {8, 24600, 24601}, {9, 24602, 24581},
    {10, 24603, 24604}, {11, 24605, 24606}, {12, 24607, 24608}, {13, 24609, 24610},
    {14, 24611, 24581}, {-1, 24580, 24581},
};

const CErrorMessageRow kArchiveRows[] = {{-1, 24582, 24583}};
const CErrorMessageRow kResourceRows[] = {{-1, 24584, 24585}};
const CErrorMessageRow kUserRows[] = {{-1, 24586, 24587}};
const CErrorMessageRow kNotSupportedRows[] = {{-1, 24588, 24589}};
const CErrorMessageRow kProfileRows[] = {{-1, IDS_PROFILE_ERROR_TITLE, IDS_PROFILE_ERROR_TEXT}};

const CErrorMessageRow kMultiFileRows[] = {
    {2, 27650, 27651}, {3, 27652, 27653}, {4, 27654, 27655}, {5, 27656, 27657}, {1, 27648, 27649},
};

const CErrorMessageRow kZLibRows[] = {
    {1, 27658, 27659}, {2, 27660, 27659}, {3, 27661, 27659}, {4, 27662, 27659},
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
        if (rows[i].code == -1 || rows[i].code == code) {
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
    return std::make_unique<CXException>(1);
}
