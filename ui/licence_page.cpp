#include "ui/licence_page.h"

#include "app/install_app.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

#include <vector>

bool CLicencePage::ReadLicence(const std::string& path, std::string& text)
{
    text.clear();
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // A longer file is cut: the last byte of the buffer stays the zero that
    // ends the text.
    std::vector<char> buffer(kBufferSize, '\0');
    DWORD got = 0;
    BOOL ok = ReadFile(file, buffer.data(), static_cast<DWORD>(kBufferSize - 1), &got, nullptr);
    CloseHandle(file);
    if (!ok)
        return false;
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
    if (!ReadLicence(app.sourceFolder.folderText() + "licencia.txt", m_text)) {
        m_text = LoadResourceString(IDS_LICENCE_MISSING);
        app.LogEvent("licencia.txt could not be read from %s", app.sourceFolder.folderText().c_str());
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
