// The program's error family. Every failure a user must see is one of these;
// each class turns its code into a title and an explanation from the string
// table through its own message table, with the default row filling the gaps.
#pragma once

#include "platform/exception.h"
#include "platform/resource_string.h"

#include <cstddef>
#include <memory>
#include <string>

// One row of a message table: code (-1 matches any), string ids (0: none).
struct CErrorMessageRow {
    int code;
    unsigned titleId;
    unsigned explanationId;
};

class CXException : public CException {
public:
    explicit CXException(int code = 0) : code(code) {}
    const char* className() const override { return "CXException"; }

    // Empties the shared title and explanation, then looks this error up.
    void loadMessage() const;

    // The shared texts, valid from loadMessage() until the next one.
    static std::string& sharedTitle();
    static std::string& sharedExplanation();

    int code;

protected:
    // Fills the shared texts from this class's table, then the default row.
    virtual void lookupMessage() const { lookupIn(nullptr, 0); }
    void lookupIn(const CErrorMessageRow* rows, std::size_t count) const;
};

#define X_EXCEPTION_CLASS(Name)                                              \
    class Name : public CXException {                                        \
    public:                                                                  \
        explicit Name(int code = 0) : CXException(code) {}                  \
        const char* className() const override { return #Name; }            \
    protected:                                                               \
        void lookupMessage() const override;                                 \
    };

X_EXCEPTION_CLASS(CXMemoryException)
X_EXCEPTION_CLASS(CXFileException)
X_EXCEPTION_CLASS(CXArchiveException)
X_EXCEPTION_CLASS(CXResourceException)
X_EXCEPTION_CLASS(CXUserException)
X_EXCEPTION_CLASS(CXNotSupportedException)
// Incomplete installation profile (code 0 or 1).
X_EXCEPTION_CLASS(CInstallProfileException)
// Archive format: 1 unknown method, 2 volume header, 3 entry header, 4 damaged, 5 CRC.
X_EXCEPTION_CLASS(CMultiFileException)
// zlib codec: 1 other result, 2 stream error, 3 data error, 4 buffer error.
X_EXCEPTION_CLASS(CZLibException)

#undef X_EXCEPTION_CLASS

// Converts a platform error into the family; a family error is copied as it
// is. The caller owns the result.
std::unique_ptr<CXException> toFamily(const CException& error);
