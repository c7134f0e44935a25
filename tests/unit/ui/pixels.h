// Pixels of what a window or a drawing function put on screen, read back
// through a 32-bit DIB section.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class CPixels {
public:
    CPixels(int width, int height);
    ~CPixels();
    CPixels(const CPixels&) = delete;
    CPixels& operator=(const CPixels&) = delete;

    // Draws with draw into the pixels, which start as fill.
    static CPixels Render(int width, int height, COLORREF fill,
                          const std::function<void(HDC, const RECT&)>& draw);
    // The client area of a window as it is on screen now.
    static CPixels Capture(HWND window);

    CPixels(CPixels&& other) noexcept;

    int width() const { return m_width; }
    int height() const { return m_height; }
    COLORREF at(int x, int y) const;
    // How many pixels of the rectangle have this colour.
    int count(const RECT& area, COLORREF colour) const;
    HDC dc() const { return m_dc; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
};
