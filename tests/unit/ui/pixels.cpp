#include "tests/unit/ui/pixels.h"

CPixels::CPixels(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
}

CPixels::CPixels(CPixels&& other) noexcept
    : m_width(other.m_width), m_height(other.m_height), m_dc(other.m_dc),
      m_bitmap(other.m_bitmap), m_old(other.m_old), m_bits(other.m_bits)
{
    other.m_dc = nullptr;
    other.m_bitmap = nullptr;
    other.m_bits = nullptr;
}

CPixels::~CPixels()
{
    if (m_dc) {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

CPixels CPixels::Render(int width, int height, COLORREF fill,
                        const std::function<void(HDC, const RECT&)>& draw)
{
    CPixels p(width, height);
    RECT r = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(p.m_dc, &r, brush);
    DeleteObject(brush);
    draw(p.m_dc, r);
    GdiFlush();
    return p;
}

CPixels CPixels::Capture(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    CPixels p(r.right, r.bottom);
    HDC source = GetDC(window);
    BitBlt(p.m_dc, 0, 0, r.right, r.bottom, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    GdiFlush();
    return p;
}

COLORREF CPixels::at(int x, int y) const
{
    DWORD v = m_bits[y * m_width + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int CPixels::count(const RECT& area, COLORREF colour) const
{
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += at(x, y) == colour;
    return n;
}
