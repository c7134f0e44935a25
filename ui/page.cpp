#include "ui/page.h"

#include "app/install_app.h"
#include "errors/error_dialog.h"
#include "platform/message_pump.h"
#include "platform/resource_string.h"
#include "resources/resource.h"
#include "ui/main_wnd.h"
#include "ui/page_framework.h"

#include <algorithm>

namespace {

bool batchMode()
{
    return CInstallApp::get().batchMode;
}

HWND mainWindow()
{
    CInstallApp& app = CInstallApp::get();
    return app.MainWindow();
}

} // namespace

CPage::CPage(int pageId, int next, bool hasBar)
    : CDialog(pageId), pageId(pageId), next(next), barId(hasBar ? IDD_BUTTON_BAR : 0)
{
}

CPage::~CPage() = default;

bool CPage::Present()
{
    if (hwnd()) {
        ShowWindow(hwnd(), SW_SHOW);
        return true;
    }
    // Nobody sees an unattended run, and a window there would only cost:
    // under Wine the first one waits for the desktop to start.
    if (CInstallApp::get().quietMode) {
        Prepare();
        return PostToThread(kPageWorkMessage, 0, pageId);
    }
    if (!Create(mainWindow()))
        return false;
    UpdateWindow(hwnd());
    return true;
}

void CPage::Hide()
{
    if (hwnd())
        ShowWindow(hwnd(), SW_HIDE);
}

bool CPage::OnInitDialog()
{
    if (barId != 0) {
        m_bar = std::make_unique<CButtonBar>(*this);
        if (!m_bar->Create(m_hwnd))
            m_bar.reset();
    }
    PlacePage();
    ShowForRun();
    PostMessageA(m_hwnd, kPageWorkMessage, 0, 0);
    // The bar's "Seguent >" takes the focus, as the default button.
    if (m_bar && m_bar->hwnd()) {
        SetFocus(m_bar->item(IDC_NEXT));
        return false;
    }
    return true;
}

void CPage::PlacePage()
{
    CentreOnOwner();
}

void CPage::ShowForRun()
{
    // An unattended run shows no page: it is moved away and sized to nothing.
    if (batchMode())
        SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(m_hwnd, SW_SHOW);
}

bool CPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
{
    if (msg == kPageWorkMessage) {
        RunWork();
        result = TRUE;
        return true;
    }
    return false;
}

void CPage::RunWork()
{
    // While the work lets messages through, a click on the bar must not
    // start the next page's work in the middle of this one.
    EnableNavigation(false);
    int result = IDD_PAGE_FAILED;
    try {
        result = DoWork();
    } catch (...) {
        ShowCurrentError(IDS_CANNOT_CONTINUE);
        MarkFailed();
        result = IDD_PAGE_FAILED;
    }
    EnableNavigation(true);
    if (result != kNoPage)
        Guarded([result] { ShowPage(result, false); });
    else if (batchMode())
        Guarded([this] { OnNext(); });
}

void CPage::Guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (...) {
        ShowCurrentError(IDS_CANNOT_CONTINUE);
        MarkFailed();
        try {
            if (pageId == IDD_PAGE_FAILED)
                ShowPage(kEndOfRun, false);
            else
                ShowPage(IDD_PAGE_FAILED, false);
        } catch (...) {
            // Not even the failure page can be shown: end the run.
            ShowPage(kEndOfRun, false);
        }
    }
}

void CPage::EnableNavigation(bool enable)
{
    if (!m_bar || !m_bar->hwnd())
        return;
    EnableWindow(m_bar->item(IDC_BACK), enable && BackAllowed());
    EnableWindow(m_bar->item(IDC_NEXT), enable && NextAllowed());
}

void CPage::OnNext()
{
    ShowPage(next, false);
}

void CPage::OnBack()
{
    ShowPage(prev, true);
}

void CPage::OnPageCancel()
{
    if (next == kEndOfRun) {
        OnNext();
        return;
    }
    if (ConfirmCancel()) {
        CInstallApp::get().Cancel();
        FailRun();
    }
}

bool CPage::ConfirmCancel()
{
    std::string question = LoadResourceString(IDS_CONFIRM_EXIT);
    std::string caption = LoadResourceString(IDS_CAPTION);
    return MessageBoxA(m_hwnd, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
           IDYES;
}

void CPage::FailRun()
{
    MarkFailed();
    ShowPage(IDD_PAGE_FAILED, false);
}

void CPage::MarkFailed()
{
    next = IDD_PAGE_FAILED;
    CInstallApp::get().Fail();
}

bool CPage::OnActivateApp(bool active)
{
    // The gradient keeps its colours under the page.
    CInstallApp& app = CInstallApp::get();
    if (app.mainWnd && app.mainWnd->exists()) {
        app.mainWnd->RealizePalette();
        InvalidateRect(app.mainWnd->hwnd(), nullptr, FALSE);
    }
    return false;
}

bool CButtonBar::OnInitDialog()
{
    HWND page = m_page.hwnd();
    RECT client, barRect, pageRect;
    GetClientRect(page, &client);
    GetWindowRect(m_hwnd, &barRect);
    GetWindowRect(page, &pageRect);
    int barWidth = barRect.right - barRect.left, barHeight = barRect.bottom - barRect.top;

    // The page grows to hold the bar under its own controls.
    int width = std::max<int>(client.right, barWidth);
    int growX = width - client.right;
    SetWindowPos(page, nullptr, 0, 0, pageRect.right - pageRect.left + growX,
                 pageRect.bottom - pageRect.top + barHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_hwnd, nullptr, (width - barWidth) / 2, client.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    EnableWindow(item(IDC_BACK), m_page.BackAllowed());
    EnableWindow(item(IDC_NEXT), m_page.NextAllowed());
    ShowWindow(item(IDHELP), SW_HIDE);
    return false;
}

bool CButtonBar::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDC_NEXT:
        if (m_page.NextAllowed())
            m_page.Guarded([this] { m_page.OnNext(); });
        return true;
    case IDC_BACK:
        if (m_page.BackAllowed())
            m_page.Guarded([this] { m_page.OnBack(); });
        return true;
    case IDCANCEL:
        m_page.Guarded([this] { m_page.OnPageCancel(); });
        return true;
    default:
        return false;
    }
}
