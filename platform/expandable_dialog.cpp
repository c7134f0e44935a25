#include "platform/expandable_dialog.h"

#include "resources/resource.h"

#include <string>

bool CExpandableDialog::OnInitDialog()
{
    GetWindowRect(m_hwnd, &m_fullWindow);
    Collapse();
    return true;
}

RECT CExpandableDialog::compactClientArea() const
{
    RECT area = {0, 0, 0, 0};
    HWND marker = item(IDC_EXPAND_MARKER);
    if (!marker)
        return area;
    RECT r;
    GetWindowRect(marker, &r);
    POINT corner = {r.right, r.bottom};
    ScreenToClient(m_hwnd, &corner);
    area.right = corner.x;
    area.bottom = corner.y;
    return area;
}

void CExpandableDialog::Collapse()
{
    RECT area = compactClientArea();
    if (area.right <= 0 || area.bottom <= 0)
        return;
    RECT window = area;
    AdjustWindowRectEx(&window, static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(m_hwnd, GWL_EXSTYLE)));
    SetWindowPos(m_hwnd, nullptr, 0, 0, window.right - window.left, window.bottom - window.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Children that don't lie wholly inside the compact area can't be reached.
    m_disabled.clear();
    for (HWND child = GetWindow(m_hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
        bool inside = r.left >= area.left && r.top >= area.top && r.right <= area.right &&
                      r.bottom <= area.bottom;
        if (!inside && IsWindowEnabled(child)) {
            EnableWindow(child, FALSE);
            m_disabled.push_back(child);
        }
    }
    m_expanded = false;
    setToggleText("<<", ">>");
}

void CExpandableDialog::Expand()
{
    SetWindowPos(m_hwnd, nullptr, 0, 0, m_fullWindow.right - m_fullWindow.left,
                 m_fullWindow.bottom - m_fullWindow.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child : m_disabled)
        EnableWindow(child, TRUE);
    m_disabled.clear();
    m_expanded = true;
    setToggleText(">>", "<<");
}

void CExpandableDialog::setToggleText(const char* from, const char* to)
{
    HWND toggle = item(IDC_EXPAND_TOGGLE);
    if (!toggle)
        return;
    char buffer[128] = {};
    GetWindowTextA(toggle, buffer, sizeof buffer);
    std::string text = buffer;
    std::size_t at = text.find(from);
    if (at == std::string::npos)
        return;
    text.replace(at, 2, to);
    SetWindowTextA(toggle, text.c_str());
}

bool CExpandableDialog::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_EXPAND_TOGGLE) {
        if (m_expanded)
            Collapse();
        else
            Expand();
        return true;
    }
    return CDialog::OnCommand(id, code, control);
}
