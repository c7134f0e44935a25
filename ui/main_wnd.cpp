#include "ui/main_wnd.h"

#include "app/install_app.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

namespace {

constexpr const char* kClassName = "OrtavelSetupMain";
constexpr DWORD kStyle = WS_MAXIMIZE | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

int component(int top, int bottom, int y, int h)
{
    return top + y * (bottom - top) / h;
}

} // namespace

bool CMainWnd::Create(const std::string& title, bool batchMode)
{
    m_title = title;
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(IDI_PRODUCT));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kClassName;
    if (!RegisterWindowClass(wc))
        return false;
    std::string caption = LoadResourceString(IDS_CAPTION);
    if (!CreateEx(0, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr))
        return false;
    ShowWindow(m_hwnd, batchMode ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED);
    UpdateWindow(m_hwnd);
    return true;
}

COLORREF CMainWnd::GradientColour(int y, int h)
{
    return RGB(component(GetRValue(kTopColour), GetRValue(kBottomColour), y, h),
               component(GetGValue(kTopColour), GetGValue(kBottomColour), y, h),
               component(GetBValue(kTopColour), GetBValue(kBottomColour), y, h));
}

void CMainWnd::paintGradient(HDC dc, const RECT& client) const
{
    int h = client.bottom - client.top;
    for (int y = 0; y < h; ++y) {
        CGdiObject<HBRUSH> brush(CreateSolidBrush(GradientColour(y, h)));
        RECT row = {client.left, y, client.right, y + 1};
        FillRect(dc, &row, brush.get());
    }
}

void CMainWnd::paintTitle(HDC dc) const
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(24, GetDeviceCaps(dc, LOGPIXELSY), 72);
    lf.lfWeight = FW_BOLD;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    CGdiObject<HFONT> font(CreateFontIndirectA(&lf));
    CSelectObject selected(dc, font.get());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, RGB(0, 0, 0));
    int x0 = GetSystemMetrics(SM_CXHTHUMB);
    int length = static_cast<int>(m_title.size());
    TextOutA(dc, x0 + 2 * GetSystemMetrics(SM_CXDLGFRAME), 8 + 2 * GetSystemMetrics(SM_CYDLGFRAME),
             m_title.c_str(), length);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x0, 8, m_title.c_str(), length);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

bool CMainWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client;
    GetClientRect(m_hwnd, &client);
    paintGradient(dc, client);
    paintTitle(dc);
    EndPaint(m_hwnd, &ps);
    return true;
}

bool CMainWnd::OnClose()
{
    // Closing from the task bar only asks; the page sequence ends the run.
    std::string question = LoadResourceString(IDS_CONFIRM_EXIT);
    std::string caption = LoadResourceString(IDS_CAPTION);
    if (MessageBoxA(m_hwnd, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
        CInstallApp::get().succeeded = false;
    return true;
}

bool CMainWnd::OnActivateApp(bool active)
{
    m_active = active;
    return false;
}
