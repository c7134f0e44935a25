// Window objects: one thunk stores the object in the window's user data and
// dispatches each message to a small virtual handler.
#pragma once

#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND hwnd() const { return m_hwnd; }
    bool exists() const { return m_hwnd != nullptr && IsWindow(m_hwnd); }

    // Registers a class whose windows are served by this framework.
    static bool RegisterWindowClass(WNDCLASSA wc);
    // Creates the window; false when the platform refuses.
    bool CreateEx(DWORD exStyle, const char* className, const char* text, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId);
    void Destroy();

    static CWnd* FromHandle(HWND hwnd);

protected:
    // Handlers; each returns whether it handled the message.
    virtual bool OnCreate(CREATESTRUCTA*) { return true; }
    virtual void OnDestroy() {}
    virtual bool OnPaint() { return false; }
    virtual bool OnClose() { return false; }
    virtual bool OnCommand(int id, int code, HWND control) { return false; }
    virtual bool OnActivateApp(bool active) { return false; }
    // Any other message; set result and return true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) { return false; }

    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hwnd = nullptr;

private:
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// A top-level frame; when it is the application's main window its
// destruction ends the message loop.
class CFrameWnd : public CWnd {
protected:
    void OnDestroy() override;
};
