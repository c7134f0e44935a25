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

// A font of the given size in points at the resolution of the window's screen.
HFONT CreatePointFont(HWND window, const char* face, int points, int weight);
