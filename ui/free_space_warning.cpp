#include "ui/free_space_warning.h"

#include "platform/resource_string.h"
#include "resources/resource.h"

#include <cinttypes>
#include <cstdio>

std::string CFreeSpaceWarning::DriveOf(const std::string& folder)
{
    if (folder.size() >= 2 && folder[1] == ':')
        return folder.substr(0, 2);
    return folder;
}

bool CFreeSpaceWarning::OnInitDialog()
{
    std::string text = FormatResourceString(512, IDS_SPACE_WARNING, DriveOf(m_folder).c_str());
    SetDlgItemTextA(m_hwnd, IDC_SPACE_TEXT, text.c_str());
    // Counted in 64 bits: today's disks hold more than a 32-bit count.
    char number[32];
    std::snprintf(number, sizeof number, "%" PRId64, m_needed);
    SetDlgItemTextA(m_hwnd, IDC_SPACE_NEEDED, number);
    std::snprintf(number, sizeof number, "%" PRIu64, m_available);
    SetDlgItemTextA(m_hwnd, IDC_SPACE_AVAILABLE, number);

    CentreOnOwner();
    // Cancel is the default: going on needs a deliberate choice.
    SetFocus(item(IDCANCEL));
    return false;
}
