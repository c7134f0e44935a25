// Page 102: the licence terms, read from licencia.txt beside the program.
#pragma once

#include "platform/file.h"
#include "ui/page.h"

#include <string>

class CLicencePage : public CPage {
public:
    // The licence is read into a buffer of this size, its last byte a zero.
    static constexpr std::size_t kBufferSize = 16384;

    CLicencePage() : CPage(IDD_PAGE_LICENCE, IDD_PAGE_READING, true) {}

    // The text to show for a licence file: its bytes up to the buffer's
    // size less one, line breaks made CR LF for the edit control; empty
    // when the file can't be read.
    static bool ReadLicence(const CFilePart& source, std::string& text);

protected:
    // Reads the licence; a missing one is logged and its notice shown.
    void Prepare() override;
    bool OnInitDialog() override;

private:
    std::string m_text;
};
