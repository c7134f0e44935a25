// A wizard page: a modeless dialog over the main window that knows its
// successor, remembers where it was reached from, and runs its work once
// after it has appeared.
#pragma once

#include "platform/dialog.h"
#include "resources/resource.h"

#include <functional>
#include <memory>

class CButtonBar;

// The message a page posts itself to run its work once it is on screen.
constexpr UINT kPageWorkMessage = WM_USER + 201;

// Page ids are the ids of the pages' dialog templates (IDD_PAGE_...), and
// two that are no page: shown, the one ends the run and the other leaves
// the run where it is. A page without a neighbour on one side has kNoPage.
constexpr int kEndOfRun = -1;
constexpr int kNoPage = 0;

class CPage : public CDialog {
public:
    CPage(int pageId, int next, bool hasBar);
    ~CPage() override;

    int pageId;
    int next;
    int prev = kNoPage;
    bool left = false;
    int barId;

    virtual bool ShouldShow() { return true; }
    // Whether "Seguent >" (and the page's own default button) may go on.
    virtual bool NextAllowed() const { return next != kNoPage; }
    // Whether "< Enrere" may go back.
    virtual bool BackAllowed() const { return prev != kNoPage; }
    // The page's work; the next page's id, or kNoPage to stay.
    virtual int DoWork() { return kNoPage; }
    // Runs the work once the page is there, then goes on as it says (in
    // batch mode also when it says to stay).
    void RunWork();
    virtual void OnNext();
    virtual void OnBack();
    virtual void OnPageCancel();
    virtual bool ConfirmCancel();
    void MarkFailed();
    // The run failed here: the failure page comes next.
    void FailRun();

    // Shows the window, creating it the first time; false when the
    // template can't be made into a window. Unattended (/Q) no page gets a
    // window: it prepares what it would show and posts its work to the
    // thread.
    bool Present();
    void Hide();

    // Runs a page action; an error it raises is reported and leads to the
    // failure page, as an error of the page's work does.
    void Guarded(const std::function<void()>& action);

    // Enables or disables "< Enrere" and "Seguent >" of the bar.
    void EnableNavigation(bool enable);
    CButtonBar* bar() const { return m_bar.get(); }

protected:
    bool OnInitDialog() override;
    void OnOK() override
    {
        if (NextAllowed())
            Guarded([this] { OnNext(); });
    }
    void OnCancel() override { Guarded([this] { OnPageCancel(); }); }
    bool OnActivateApp(bool active) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

    // What the page decides before it is shown, without its controls: also
    // all it does before its work when it has no window.
    virtual void Prepare() {}
    // Centres the page on its owner; the copy page places itself instead.
    virtual void PlacePage();
    // Moves the page out of sight in batch mode and shows it.
    void ShowForRun();

private:
    std::unique_ptr<CButtonBar> m_bar;
    bool m_working = false;
};

// The bar under a page: cancel, "< Enrere", "Seguent >" and a hidden
// "Ajuda", forwarding to its page.
class CButtonBar : public CDialog {
public:
    explicit CButtonBar(CPage& page) : CDialog(IDD_BUTTON_BAR), m_page(page) {}

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    CPage& m_page;
};
