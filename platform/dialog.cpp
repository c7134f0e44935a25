#include "platform/dialog.h"

#include "platform/win_app.h"

#include <algorithm>
#include <vector>

namespace {

// The modeless dialogs that are alive, for keyboard navigation.
std::vector<HWND>& modelessDialogs()
{
    static std::vector<HWND> list;
    return list;
}

struct DialogColours {
    bool set = false;
    COLORREF background = 0;
    COLORREF text = 0;
    HBRUSH brush = nullptr;
};

DialogColours& colours()
{
    static DialogColours c;
    return c;
}

HINSTANCE resourceModule()
{
    CWinApp* app = CWinApp::instance();
    return app && app->resourceInstance() ? app->resourceInstance() : GetModuleHandleA(nullptr);
}

} // namespace

CDialog::~CDialog()
{
    Destroy();
}

INT_PTR CDialog::DoModal(HWND owner)
{
    m_modal = true;
    INT_PTR result = DialogBoxParamA(resourceModule(), MAKEINTRESOURCEA(m_templateId), owner,
                                     &CDialog::Thunk, reinterpret_cast<LPARAM>(this));
    m_modal = false;
    return result;
}

bool CDialog::Create(HWND owner)
{
    m_modal = false;
    HWND hwnd = CreateDialogParamA(resourceModule(), MAKEINTRESOURCEA(m_templateId), owner,
                                   &CDialog::Thunk, reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return false;
    modelessDialogs().push_back(hwnd);
    return true;
}

void CDialog::Destroy()
{
    if (m_hwnd && IsWindow(m_hwnd) && !m_modal)
        DestroyWindow(m_hwnd);
}

void CDialog::EndOrDestroy(INT_PTR result)
{
    if (m_modal)
        EndDialog(m_hwnd, result);
    else
        DestroyWindow(m_hwnd);
}

std::string WindowText(HWND window)
{
    int length = window ? GetWindowTextLengthA(window) : 0;
    std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
    if (window)
        GetWindowTextA(window, text.data(), length + 1);
    return text.data();
}

void CentreWindowOnOwner(HWND window)
{
    RECT r, area;
    GetWindowRect(window, &r);
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || IsIconic(owner) || !GetWindowRect(owner, &area))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int x = area.left + (area.right - area.left - (r.right - r.left)) / 2;
    int y = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
    SetWindowPos(window, nullptr, x > 0 ? x : 0, y > 0 ? y : 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialog::RouteModelessMessage(MSG& msg)
{
    for (HWND dlg : modelessDialogs()) {
        if (IsWindow(dlg) && (msg.hwnd == dlg || IsChild(dlg, msg.hwnd)))
            return IsDialogMessageA(dlg, &msg) != FALSE;
    }
    return false;
}

void CDialog::SetColours(COLORREF background, COLORREF text)
{
    DialogColours& c = colours();
    if (c.brush)
        DeleteObject(c.brush);
    c.background = background;
    c.text = text;
    // Made when a control first asks: a run without windows never loads
    // the graphics library for it.
    c.brush = nullptr;
    c.set = true;
}

INT_PTR CDialog::ColourControl(UINT msg, HDC dc, HWND control)
{
    DialogColours& c = colours();
    if (c.set && !c.brush)
        c.brush = CreateSolidBrush(c.background);
    if (!c.set || !c.brush)
        return FALSE;
    // Edit fields and list boxes keep the window colours.
    if (msg == WM_CTLCOLORSTATIC && control) {
        char cls[16] = {};
        GetClassNameA(control, cls, sizeof cls);
        if (lstrcmpiA(cls, "Edit") == 0)
            return FALSE;
    }
    SetTextColor(dc, c.text);
    SetBkColor(dc, c.background);
    return reinterpret_cast<INT_PTR>(c.brush);
}

bool CDialog::OnCommand(int id, int code, HWND control)
{
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    case WM_ACTIVATEAPP:
        return OnActivateApp(wp != 0) ? TRUE : FALSE;
    default: {
        INT_PTR result = 0;
        if (OnMessage(msg, wp, lp, result))
            return result;
        if (msg == WM_CTLCOLORDLG || msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN)
            return ColourControl(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        return FALSE;
    }
    }
}

INT_PTR CALLBACK CDialog::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        self->m_hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return FALSE;

    INT_PTR result = RunHandler([&] { return self->Dispatch(msg, wp, lp); }, INT_PTR(TRUE));
    if (msg == WM_NCDESTROY) {
        auto& list = modelessDialogs();
        list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}
