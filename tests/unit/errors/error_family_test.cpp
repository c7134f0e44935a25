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
        {CXException(), "CXException", 24576, 24577},
        {CXMemoryException(), "CXMemoryException", 24578, 24579},
        {CXFileException(2), "CXFileException", 24590, 24591},
        {CXFileException(13), "CXFileException", 24609, 24610},
        {CXFileException(14), "CXFileException", 24611, 24581},
        {CXArchiveException(3), "CXArchiveException", 24582, 24583},
        {CXResourceException(), "CXResourceException", 24584, 24585},
        {CXUserException(), "CXUserException", 24586, 24587},
        {CXNotSupportedException(), "CXNotSupportedException", 24588, 24589},
        {CInstallProfileException(0), "CInstallProfileException", 10, 13},
        {CInstallProfileException(1), "CInstallProfileException", 10, 13},
        {CMultiFileException(1), "CMultiFileException", 27648, 27649},
        {CMultiFileException(5), "CMultiFileException", 27656, 27657},
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
        EXPECT_EQ(t.explanation, str(24581)) << cause;
    }
}

TEST(ErrorFamily, UnknownCodesShowTheDefaultTexts)
{
    for (int code : {0, 6, -1, 1000}) {
        Texts t = lookup(CMultiFileException(code));
        EXPECT_EQ(t.title, "S'ha produ\xEFt una errada desconeguda.") << code;
        EXPECT_EQ(t.explanation, str(24577)) << code;
    }
    // zlib codes share their explanation; an unknown code gets the default pair.
    for (int code = 1; code <= 4; ++code)
        EXPECT_EQ(lookup(CZLibException(code)).explanation, str(27659));
    EXPECT_EQ(lookup(CZLibException(1)).title, str(27658));
    EXPECT_EQ(lookup(CZLibException(4)).title, "Errada 1012:\nL'arxiu s'ha fet malb\xE9 (errada en buffer).");
    EXPECT_EQ(lookup(CZLibException(9)).title, str(24576));
}

TEST(ErrorFamily, StringTableTextsAsTheUserReadsThem)
{
    // The profile error's title has its line break like every other title.
    EXPECT_EQ(str(10), "Errada 1060:\nInformaci\xF3 incompleta per tal de continuar la instal\xB7laci\xF3.");
    EXPECT_EQ(str(17), "No es poden instal\xB7lar els arxius des de  '%s':");
    EXPECT_EQ(str(7), "Errada 1040:\nNo s'ha pogut crear la carpeta. Es recomana fer \xFAs de la carpeta "
                      "que s'instal\xB7la per defecte: \"C:\\OVCA40\"");
    EXPECT_EQ(str(24604).rfind("S'ha produ\xEFt una errada de hardware, accedint el seu arxiu del sistema. "
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
        {CFileException(CFileException::accessDenied), "CXFileException", 5},
        {CArchiveException(CArchiveException::endOfFile), "CXArchiveException", 3},
        {CNotSupportedException(), "CXNotSupportedException", 0},
        {CResourceException(), "CXResourceException", 0},
        {CUserException(), "CXUserException", 0},
        {CException(), "CXException", 1},
        {CZLibException(3), "CZLibException", 3},
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
    CErrorTexts texts = ErrorTexts(17, CFileException(CFileException::fileNotFound), formatted);
    EXPECT_EQ(texts.reference, "17.2 (CXFileException)");
    EXPECT_EQ(texts.message, "No es poden instal\xB7lar els arxius des de  'DATA.MF1':");
    EXPECT_EQ(texts.title, "Errada 1003:\nL'arxiu no s'ha trobat.");
    EXPECT_EQ(texts.explanation, str(24591));

    EXPECT_EQ(ErrorTexts(9, CException(), "").reference, "9.1 (CXException)");
    EXPECT_EQ(ErrorTexts(9, CZLibException(2), "").reference, "9.2 (CZLibException)");
}
