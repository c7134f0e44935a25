// Owning wrappers for GDI objects and device contexts.
#pragma once

#include <windows.h>

// Deletes its GDI object (pen, brush, font, bitmap, palette) when destroyed.
template <class T>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(T handle) : m_handle(handle) {}
    ~CGdiObject() { reset(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    void reset(T handle = nullptr)
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    T get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    T m_handle = nullptr;
};

// Selects an object into a context and puts the previous one back.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
    ~CSelectObject() { SelectObject(m_dc, m_old); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// The paint context of a window for the WM_PAINT it is handling.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_ps))
    {
        GetClientRect(window, &m_client);
    }
    ~CPaintDC() { EndPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC dc() const { return m_dc; }
    const RECT& client() const { return m_client; }

private:
    HWND m_window;
    PAINTSTRUCT m_ps;
    HDC m_dc;
    RECT m_client;
};

// A font of the given size in points at the resolution of the window's screen.
HFONT CreatePointFont(HWND window, const char* face, int points, int weight);
