#include "platform/wnd.h"

#include "platform/win_app.h"

CWnd::~CWnd()
{
    Destroy();
}

bool CWnd::RegisterWindowClass(WNDCLASSA wc)
{
    wc.lpfnWndProc = &CWnd::Thunk;
    if (RegisterClassA(&wc))
        return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId)
{
    HWND hwnd = CreateWindowExA(exStyle, className, text, style, x, y, width, height, parent,
                                menuOrId, GetModuleHandleA(nullptr), this);
    if (!hwnd)
        m_hwnd = nullptr;
    return hwnd != nullptr;
}

void CWnd::Destroy()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    return reinterpret_cast<CWnd*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CWnd::Default(UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(m_hwnd, msg, wp, lp);
}

LRESULT CWnd::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        if (!OnCreate(reinterpret_cast<CREATESTRUCTA*>(lp)))
            return -1;
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_PAINT:
        if (OnPaint())
            return 0;
        break;
    case WM_CLOSE:
        if (OnClose())
            return 0;
        break;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)))
            return 0;
        break;
    case WM_ACTIVATEAPP:
        if (OnActivateApp(wp != 0))
            return 0;
        break;
    default: {
        LRESULT result = 0;
        if (OnMessage(msg, wp, lp, result))
            return result;
        break;
    }
    }
    return Default(msg, wp, lp);
}

LRESULT CALLBACK CWnd::Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        if (self) {
            self->m_hwnd = hwnd;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);

    LRESULT result = RunHandler([&] { return self->Dispatch(msg, wp, lp); }, LRESULT(0));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}

void CFrameWnd::OnDestroy()
{
    CWinApp* app = CWinApp::instance();
    if (app && app->mainWindow() == this)
        PostQuitMessage(0);
}
