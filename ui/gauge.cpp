#include "ui/gauge.h"

#include "platform/gdi.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kClassName = "OrtavelGauge";
constexpr unsigned long kScaleAbove = 1000000;

} // namespace

bool CGauge::create(DWORD style, int placeholderId, HWND parentDialog)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterWindowClass(wc))
        return false;

    RECT r = {0, 0, 0, 0};
    if (HWND placeholder = GetDlgItem(parentDialog, placeholderId)) {
        GetClientRect(placeholder, &r);
        MapWindowPoints(placeholder, parentDialog, reinterpret_cast<POINT*>(&r), 2);
        DestroyWindow(placeholder);
    }
    return CreateEx(0, kClassName, "Gauge", style, r.left, r.top, r.right - r.left,
                    r.bottom - r.top, parentDialog,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(placeholderId)));
}

void CGauge::setPosition(unsigned long value, bool repaint)
{
    position = value < highest ? value : highest;
    if (position < lowest)
        position = lowest;
    if (!m_hwnd)
        return;
    InvalidateRect(m_hwnd, nullptr, FALSE);
    if (repaint)
        UpdateWindow(m_hwnd);
}

int CGauge::percent() const
{
    if (lowest == highest)
        return -1;
    unsigned long long lo = lowest, hi = highest, pos = position;
    // Large ranges are counted in thousands.
    if (lo > kScaleAbove || hi > kScaleAbove || pos > kScaleAbove) {
        // Unless that leaves no range at all: then the exact values decide.
        if (lo / 1000 != hi / 1000) {
            lo /= 1000;
            hi /= 1000;
            pos /= 1000;
        }
    }
    // The fields are public, so the position may lie outside the range.
    if (pos <= lo)
        return 0;
    if (pos >= hi)
        return 100;
    return static_cast<int>((pos - lo) * 100 / (hi - lo));
}

void CGauge::Paint(HDC dc, const RECT& client) const
{
    int value = percent();
    if (value < 0)
        return;
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", value);
    int length = static_cast<int>(std::strlen(text));

    int width = client.right - client.left;
    int height = client.bottom - client.top;
    RECT filled = {client.left, client.top, client.left + width * value / 100, client.bottom};
    RECT rest = {filled.right, client.top, client.right, client.bottom};
    COLORREF window = GetSysColor(COLOR_WINDOW);
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);

    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text, length, &extent);
    int x = client.left + width / 2;
    int y = client.top + (height - extent.cy) / 2;
    UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_TOP);
    COLORREF oldText = SetTextColor(dc, window);
    COLORREF oldBack = SetBkColor(dc, highlight);
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &filled, text, length, nullptr);
    SetTextColor(dc, highlight);
    SetBkColor(dc, window);
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &rest, text, length, nullptr);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    SetTextAlign(dc, oldAlign);
}

bool CGauge::OnPaint()
{
    CPaintDC paint(m_hwnd);
    Paint(paint.dc(), paint.client());
    return true;
}
