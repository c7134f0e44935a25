#include "ui/licence_page.h"

#include "app/install_app.h"
#include "platform/exception.h"
#include "platform/file.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

#include <vector>

bool CLicencePage::ReadLicence(const CFilePart& source, std::string& text)
{
    text.clear();
    // A longer file is cut: the last byte of the buffer stays the zero that
    // ends the text.
    std::vector<char> buffer(kBufferSize, '\0');
    std::size_t got = 0;
    try {
        CFile file;
        file.open(source);
        got = file.read(buffer.data(), kBufferSize - 1);
    } catch (const CFileException&) {
        return false;
    }
    std::string raw(buffer.data(), got);
    // Bytes after a zero are not shown, as the control reads up to it.
    raw.resize(std::string(raw.c_str()).size());
    text.reserve(raw.size() + raw.size() / 16);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r'))
            text += '\r';
        text += raw[i];
    }
    return true;
}

void CLicencePage::Prepare()
{
    CInstallApp& app = CInstallApp::get();
    bool read = false;
    try {
        read = ReadLicence(app.SourcePart("licencia.txt"), m_text);
    } catch (const CFileException&) {
    }
    if (!read) {
        m_text = LoadResourceString(IDS_LICENCE_MISSING);
        app.LogEvent("licencia.txt could not be read from %s",
                     (app.download.active() ? app.download.path() : app.sourceFolder.folderText()).c_str());
    }
}

bool CLicencePage::OnInitDialog()
{
    Prepare();
    SetDlgItemTextA(m_hwnd, IDC_LICENCE_TEXT, m_text.c_str());
    bool result = CPage::OnInitDialog();
    // The reader starts at the top of the terms.
    SendDlgItemMessageA(m_hwnd, IDC_LICENCE_TEXT, EM_SETSEL, 0, 0);
    SendDlgItemMessageA(m_hwnd, IDC_LICENCE_TEXT, EM_SCROLLCARET, 0, 0);
    return result;
}
