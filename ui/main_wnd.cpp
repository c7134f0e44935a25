#include "ui/main_wnd.h"

#include "app/install_app.h"
#include "platform/resource_string.h"
#include "ui/page.h"
#include "ui/page_framework.h"
#include "resources/resource.h"

#include <vector>

namespace {

constexpr const char* kClassName = "OrtavelSetupMain";
constexpr DWORD kStyle = WS_MAXIMIZE | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

int component(int top, int bottom, int y, int h)
{
    return top + y * (bottom - top) / h;
}

COLORREF gradientRgb(int y, int h)
{
    return RGB(component(GetRValue(CMainWnd::kTopColour), GetRValue(CMainWnd::kBottomColour), y, h),
               component(GetGValue(CMainWnd::kTopColour), GetGValue(CMainWnd::kBottomColour), y, h),
               component(GetBValue(CMainWnd::kTopColour), GetBValue(CMainWnd::kBottomColour), y, h));
}

// The rectangle a maximised window of our style takes on the primary
// monitor: the work area with the side frame pushed off the edges.
RECT maximisedRect()
{
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        SetRect(&work, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    // Windows gives every overlapped window a caption, hence WS_CAPTION.
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, kStyle | WS_CAPTION, FALSE, 0);
    InflateRect(&work, -frame.left, -frame.left);
    return work;
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
    // The normal position is the maximised one rather than CW_USEDEFAULT:
    // where maximising is left to a window manager and none answers (Wine
    // with managed windows under Xvfb), the window keeps its normal size,
    // which CW_USEDEFAULT makes three quarters of the screen.
    RECT r = maximisedRect();
    if (!CreateEx(0, kClassName, caption.c_str(), kStyle, r.left, r.top, r.right - r.left,
                  r.bottom - r.top, nullptr, nullptr))
        return false;
    m_billboards.Attach(m_hwnd, batchMode);
    ShowWindow(m_hwnd, batchMode ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED);
    UpdateWindow(m_hwnd);
    return true;
}

COLORREF CMainWnd::GradientColour(int y, int h, bool paletteRelative)
{
    COLORREF rgb = gradientRgb(y, h);
    return paletteRelative ? (0x02000000 | rgb) : rgb;
}

HPALETTE CMainWnd::CreateGradientPalette(int devicePaletteSize)
{
    HPALETTE stock = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    WORD defaultCount = 0;
    GetObjectA(stock, sizeof defaultCount, &defaultCount);
    int n = devicePaletteSize - defaultCount;
    if (n <= 0)
        return nullptr;

    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + (defaultCount + n) * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buffer.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(defaultCount + n);
    GetPaletteEntries(stock, 0, defaultCount, lp->palPalEntry);
    for (int k = 0; k < n; ++k) {
        PALETTEENTRY& e = lp->palPalEntry[defaultCount + k];
        e.peRed = static_cast<BYTE>(component(GetRValue(kTopColour), GetRValue(kBottomColour), k, n));
        e.peGreen = static_cast<BYTE>(component(GetGValue(kTopColour), GetGValue(kBottomColour), k, n));
        e.peBlue = static_cast<BYTE>(component(GetBValue(kTopColour), GetBValue(kBottomColour), k, n));
        e.peFlags = 0;
    }
    return CreatePalette(lp);
}

bool CMainWnd::OnCreate(CREATESTRUCTA* cs)
{
    HDC dc = GetDC(m_hwnd);
    int size = dc ? GetDeviceCaps(dc, SIZEPALETTE) : 0;
    if (dc)
        ReleaseDC(m_hwnd, dc);
    // A true-colour display has no palette: the object stays empty.
    m_palette.reset(CreateGradientPalette(size));
    return true;
}

void CMainWnd::OnDestroy()
{
    m_billboards.End();
    m_palette.reset();
    CFrameWnd::OnDestroy();
}

void CMainWnd::paintGradient(HDC dc, const RECT& client) const
{
    int h = client.bottom - client.top;
    for (int y = 0; y < h; ++y) {
        CGdiObject<HBRUSH> brush(CreateSolidBrush(GradientColour(y, h, m_active)));
        RECT row = {client.left, client.top + y, client.right, client.top + y + 1};
        FillRect(dc, &row, brush.get());
    }
}

void CMainWnd::paintTitle(HDC dc) const
{
    LOGFONTA lf = {};
    lf.lfHeight = -MulDiv(kTitlePoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
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

void CMainWnd::Paint(HDC dc, const RECT& client) const
{
    HPALETTE oldPalette = nullptr;
    if (m_palette) {
        oldPalette = SelectPalette(dc, m_palette.get(), FALSE);
        ::RealizePalette(dc);
    }
    paintGradient(dc, client);
    paintTitle(dc);
    if (oldPalette)
        SelectPalette(dc, oldPalette, FALSE);
}

bool CMainWnd::OnPaint()
{
    CPaintDC paint(m_hwnd);
    Paint(paint.dc(), paint.client());
    return true;
}

UINT CMainWnd::RealizePalette()
{
    if (!m_palette || !m_hwnd)
        return 0;
    HDC dc = GetDC(m_hwnd);
    if (!dc)
        return 0;
    HPALETTE old = SelectPalette(dc, m_palette.get(), FALSE);
    UINT changed = ::RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(m_hwnd, dc);
    return changed;
}

void CMainWnd::realizeAndRefresh()
{
    if (RealizePalette() > 0)
        InvalidateRect(m_hwnd, nullptr, FALSE);
}

bool CMainWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    // Both then take the default handling.
    if (msg == WM_QUERYNEWPALETTE)
        realizeAndRefresh();
    else if (msg == WM_PALETTECHANGED && reinterpret_cast<HWND>(wp) != m_hwnd)
        realizeAndRefresh();
    return false;
}

bool CMainWnd::OnClose()
{
    // The work is over (a last page is showing): closing ends the run with
    // what the work returned.
    CPage* page = CurrentPage();
    if (page && page->next == kEndOfRun) {
        ShowPage(kEndOfRun, false);
        return true;
    }
    // Closing from the task bar only asks; the page sequence ends the run.
    std::string question = LoadResourceString(IDS_CONFIRM_EXIT);
    std::string caption = LoadResourceString(IDS_CAPTION);
    if (MessageBoxA(m_hwnd, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES)
        CInstallApp::get().Cancel();
    return true;
}

bool CMainWnd::OnActivateApp(bool active)
{
    m_active = active;
    return false;
}
