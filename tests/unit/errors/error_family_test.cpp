#include "errors/error_dialog.h"
#include "errors/x_exception.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <new>

namespace {

struct Texts {
    std::string title;
    std::string explanation;
};

Texts lookup(const CXException& e)
{
    e.loadMessage();
    return {CXException::sharedTitle(), CXException::sharedExplanation()};
}

std::string str(unsigned id)
{
    return LoadResourceString(id);
}

} // namespace

TEST(ErrorFamily, EveryClassNamesItselfAndFindsItsTexts)
{
    struct Case {
        const CXException& error;
        const char* name;
        unsigned title;
        unsigned explanation;
    };
    const Case cases[] = {
        {CXException(), "CXException", IDS_ERR_UNKNOWN_TITLE, IDS_ERR_UNKNOWN_TEXT},
        {CXMemoryException(), "CXMemoryException", IDS_ERR_MEMORY_TITLE, IDS_ERR_MEMORY_TEXT},
        {CXFileException(CFileException::fileNotFound), "CXFileException", IDS_ERR_NOT_FOUND_TITLE,
         IDS_ERR_NOT_FOUND_TEXT},
        {CXFileException(CFileException::diskFull), "CXFileException", IDS_ERR_DISK_FULL_TITLE,
         IDS_ERR_DISK_FULL_TEXT},
        {CXFileException(CFileException::endOfFile), "CXFileException", IDS_ERR_END_OF_FILE_TITLE,
         IDS_ERR_FILE_TEXT},
        {CXArchiveException(CArchiveException::endOfFile), "CXArchiveException", IDS_ERR_ARCHIVE_TITLE,
         IDS_ERR_ARCHIVE_TEXT},
        {CXResourceException(), "CXResourceException", IDS_ERR_RESOURCE_TITLE, IDS_ERR_RESOURCE_TEXT},
        {CXUserException(), "CXUserException", IDS_ERR_USER_TITLE, IDS_ERR_USER_TEXT},
        {CXNotSupportedException(), "CXNotSupportedException", IDS_ERR_NOT_SUPPORTED_TITLE,
         IDS_ERR_NOT_SUPPORTED_TEXT},
        {CInstallProfileException(kProfileNoDestinations), "CInstallProfileException",
         IDS_PROFILE_ERROR_TITLE, IDS_PROFILE_ERROR_TEXT},
        {CInstallProfileException(kProfileUnresolvedFolder), "CInstallProfileException",
         IDS_PROFILE_ERROR_TITLE, IDS_PROFILE_ERROR_TEXT},
        {CMultiFileException(kMultiFileUnknownMethod), "CMultiFileException", IDS_ERR_METHOD_TITLE,
         IDS_ERR_METHOD_TEXT},
        {CMultiFileException(kMultiFileBadCrc), "CMultiFileException", IDS_ERR_CRC_TITLE, IDS_ERR_CRC_TEXT},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.error.className(), c.name);
        Texts t = lookup(c.error);
        EXPECT_EQ(t.title, str(c.title)) << c.name << " " << c.error.code;
        EXPECT_EQ(t.explanation, str(c.explanation)) << c.name << " " << c.error.code;
        EXPECT_FALSE(t.title.empty());
        EXPECT_FALSE(t.explanation.empty());
    }
}

TEST(ErrorFamily, FileCausesZeroAndOneFallToTheGeneralRow)
{
    for (int cause : {0, 1, 15, -7}) {
        Texts t = lookup(CXFileException(cause));
        EXPECT_EQ(t.title.rfind("Errada 1001:\n", 0), 0u) << cause;
        EXPECT_EQ(t.explanation, str(IDS_ERR_FILE_TEXT)) << cause;
    }
}

TEST(ErrorFamily, UnknownCodesShowTheDefaultTexts)
{
    for (int code : {0, 6, -1, 1000}) {
        Texts t = lookup(CMultiFileException(code));
        EXPECT_EQ(t.title, "S'ha produ\xEFt una errada desconeguda.") << code;
        EXPECT_EQ(t.explanation, str(IDS_ERR_UNKNOWN_TEXT)) << code;
    }
    // zlib codes share their explanation; an unknown code gets the default pair.
    for (int code = kZLibOtherError; code <= kZLibBufferError; ++code)
        EXPECT_EQ(lookup(CZLibException(code)).explanation, str(IDS_ERR_ZLIB_TEXT));
    EXPECT_EQ(lookup(CZLibException(kZLibOtherError)).title, str(IDS_ERR_ZLIB_TITLE));
    EXPECT_EQ(lookup(CZLibException(kZLibBufferError)).title, "Errada 1012:\nL'arxiu s'ha fet malb\xE9 (errada en buffer).");
    EXPECT_EQ(lookup(CZLibException(9)).title, str(IDS_ERR_UNKNOWN_TITLE));
}

TEST(ErrorFamily, StringTableTextsAsTheUserReadsThem)
{
    // The profile error's title has its line break like every other title.
    EXPECT_EQ(str(IDS_PROFILE_ERROR_TITLE), "Errada 1060:\nInformaci\xF3 incompleta per tal de continuar la instal\xB7laci\xF3.");
    EXPECT_EQ(str(IDS_CANNOT_INSTALL_FROM), "No es poden instal\xB7lar els arxius des de  '%s':");
    EXPECT_EQ(str(IDS_FOLDER_NOT_CREATED), "Errada 1040:\nNo s'ha pogut crear la carpeta. Es recomana fer \xFAs de la "
                                       "carpeta que s'instal\xB7la per defecte: \"C:\\OVCA40\"");
    EXPECT_EQ(str(IDS_ERR_HARDWARE_TEXT).rfind("S'ha produ\xEFt una errada de hardware, accedint el seu arxiu del sistema. "
                               "Possibles causes\r:\n- versions  de manipuladors", 0), 0u);
    EXPECT_EQ(str(IDS_STATUS_DONE), "Instal\xB7laci\xF3 finalitzada.");
    EXPECT_EQ(str(IDS_UNINSTALL_TITLE), "");
}

TEST(ErrorFamily, PlatformErrorsConvertToTheFamily)
{
    struct Case {
        const CException& error;
        const char* name;
        int code;
    };
    const Case cases[] = {
        {CMemoryException(), "CXMemoryException", 0},
        {CFileException(CFileException::accessDenied), "CXFileException", CFileException::accessDenied},
        {CArchiveException(CArchiveException::endOfFile), "CXArchiveException", CArchiveException::endOfFile},
        {CNotSupportedException(), "CXNotSupportedException", 0},
        {CResourceException(), "CXResourceException", 0},
        {CUserException(), "CXUserException", 0},
        {CException(), "CXException", kXUnknownError},
        {CZLibException(kZLibDataError), "CZLibException", kZLibDataError},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CXException> converted = toFamily(c.error);
        ASSERT_TRUE(converted);
        EXPECT_STREQ(converted->className(), c.name);
        EXPECT_EQ(converted->code, c.code) << c.name;
    }
}

TEST(ErrorFamily, ReferenceLineAndMessageOfADiskEntryFailure)
{
    std::string message = LoadResourceString(IDS_CANNOT_INSTALL_FROM);
    char formatted[512];
    std::snprintf(formatted, sizeof formatted, message.c_str(), "DATA.MF1");
    CErrorTexts texts = ErrorTexts(IDS_CANNOT_INSTALL_FROM, CFileException(CFileException::fileNotFound), formatted);
    EXPECT_EQ(texts.reference, "17.2 (CXFileException)");
    EXPECT_EQ(texts.message, "No es poden instal\xB7lar els arxius des de  'DATA.MF1':");
    EXPECT_EQ(texts.title, "Errada 1003:\nL'arxiu no s'ha trobat.");
    EXPECT_EQ(texts.explanation, str(IDS_ERR_NOT_FOUND_TEXT));

    EXPECT_EQ(ErrorTexts(IDS_CANNOT_CONTINUE, CException(), "").reference, "9.1 (CXException)");
    EXPECT_EQ(ErrorTexts(IDS_CANNOT_CONTINUE, CZLibException(kZLibStreamError), "").reference,
              "9.2 (CZLibException)");
}
