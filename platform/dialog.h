// Dialogs from resource templates, modal or modeless, served by one thunk
// that stores the object in the window's user data.
#pragma once

#include <windows.h>

#include <string>

// Centres a window over its owner, or over the work area when the owner is
// missing or minimised.
void CentreWindowOnOwner(HWND window);

// The whole text of a window, however long.
std::string WindowText(HWND window);

class CDialog {
public:
    explicit CDialog(int templateId) : m_templateId(templateId) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; the value given to EndDialog, or -1 when the
    // template can't be made into a window.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless; false when the template can't be created.
    bool Create(HWND owner);
    void Destroy();

    HWND hwnd() const { return m_hwnd; }
    HWND item(int id) const { return GetDlgItem(m_hwnd, id); }
    std::string itemText(int id) const { return WindowText(item(id)); }
    void CentreOnOwner() { CentreWindowOnOwner(m_hwnd); }

    // Gives a queued message to the modeless dialog it belongs to.
    static bool RouteModelessMessage(MSG& msg);

    // Background and text colour of every dialog of the run.
    static void SetColours(COLORREF background, COLORREF text);

protected:
    virtual bool OnInitDialog() { return true; }
    virtual bool OnCommand(int id, int code, HWND control);
    virtual void OnOK() { EndOrDestroy(IDOK); }
    virtual void OnCancel() { EndOrDestroy(IDCANCEL); }
    virtual void OnDestroy() {}
    virtual bool OnActivateApp(bool active) { return false; }
    // Any other message; set result and return true when handled.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) { return false; }

    void EndOrDestroy(INT_PTR result);

    HWND m_hwnd = nullptr;

private:
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR ColourControl(UINT msg, HDC dc, HWND control);
    static INT_PTR CALLBACK Thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    int m_templateId;
    bool m_modal = false;
};
