// The program's error family. Every failure a user must see is one of these;
// each class turns its code into a title and an explanation from the string
// table through its own message table, with the default row filling the gaps.
#pragma once

#include "platform/exception.h"
#include "platform/resource_string.h"

#include <cstddef>
#include <memory>
#include <string>

// A message table row's code that matches any code.
constexpr int kAnyCode = -1;

// One row of a message table: code (or kAnyCode), string ids (0: none).
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

// The code of a CXException made from an error that is no CException, or
// of no class the family knows.
constexpr int kXUnknownError = 1;

X_EXCEPTION_CLASS(CXMemoryException)
X_EXCEPTION_CLASS(CXFileException)
X_EXCEPTION_CLASS(CXArchiveException)
X_EXCEPTION_CLASS(CXResourceException)
X_EXCEPTION_CLASS(CXUserException)
X_EXCEPTION_CLASS(CXNotSupportedException)
// Incomplete installation profile.
X_EXCEPTION_CLASS(CInstallProfileException)
constexpr int kProfileNoDestinations = 0;   // the profile names no destination
constexpr int kProfileUnresolvedFolder = 1; // a destination's folder can't be derived
constexpr int kProfileDamaged = 2;          // not the profile the distribution was made with

// Archive format.
X_EXCEPTION_CLASS(CMultiFileException)
constexpr int kMultiFileUnknownMethod = 1;  // a compression method of no codec
constexpr int kMultiFileNoVolumeHeader = 2; // no volume header: not a volume
constexpr int kMultiFileNoEntryHeader = 3;  // no entry header where one must start
constexpr int kMultiFileDamaged = 4;        // decoded length differs from the header's
constexpr int kMultiFileBadCrc = 5;         // checksum mismatch

// zlib codec.
X_EXCEPTION_CLASS(CZLibException)
constexpr int kZLibOtherError = 1;          // any other result
constexpr int kZLibStreamError = 2;
constexpr int kZLibDataError = 3;
constexpr int kZLibBufferError = 4;

#undef X_EXCEPTION_CLASS

// Converts a platform error into the family; a family error is copied as it
// is. The caller owns the result.
std::unique_ptr<CXException> toFamily(const CException& error);
