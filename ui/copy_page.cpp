#include "ui/copy_page.h"

#include "app/install_app.h"
#include "ui/billboards.h"
#include "ui/main_wnd.h"

#include <algorithm>

bool CCopyPage::OnInitDialog()
{
    m_gauge.create(kGaugeStyle, IDC_GAUGE, m_hwnd);
    return CPage::OnInitDialog();
}

void CCopyPage::PlacePage()
{
    // Below the billboards, which take the upper half of the screen.
    PlaceOnScreen(m_hwnd, kCopyPageCentre);
}

int CCopyPage::DoWork()
{
    CCopyEngine engine(CInstallApp::get(), *this);
    return engine.CopyFiles();
}

void CCopyPage::ShowSource(const std::string& name)
{
    if (name == m_source || !m_hwnd)
        return;
    m_source = name;
    SetDlgItemTextA(m_hwnd, IDC_CURRENT_FILE, name.c_str());
    UpdateWindow(m_hwnd);
}

void CCopyPage::ShowDestination(const std::string& path)
{
    if (path == m_destination || !m_hwnd)
        return;
    // Small files pass by faster than anyone reads; each new text costs a
    // repaint. The name changes at most every kNameInterval ms, always to
    // the file being written then: the engine reports several times a file.
    DWORD now = GetTickCount();
    if (!m_destination.empty() && now - m_destinationShownAt < kNameInterval)
        return;
    m_destination = path;
    m_destinationShownAt = now;
    SetDlgItemTextA(m_hwnd, IDC_DESTINATION_FILE, path.c_str());
}

void CCopyPage::SetGaugeRange(std::uint32_t lowest, std::uint32_t highest)
{
    m_gauge.lowest = lowest;
    m_gauge.highest = highest;
    m_gauge.setPosition(0, false);
    m_shownPercent = m_gauge.percent();
}

void CCopyPage::SetGaugePosition(std::uint32_t position)
{
    unsigned long before = m_gauge.position;
    m_gauge.position = position;
    int percent = m_gauge.percent();
    m_gauge.position = before;
    if (percent == m_shownPercent) {
        // Same figure on screen: keep the value without a repaint.
        m_gauge.position = std::min<unsigned long>(std::max<unsigned long>(position, m_gauge.lowest),
                                                   m_gauge.highest);
        return;
    }
    m_shownPercent = percent;
    m_gauge.setPosition(position, true);
}

void CCopyPage::StartBillboards(std::uint32_t total)
{
    if (CMainWnd* main = CInstallApp::get().mainWnd.get())
        main->StartBillboards(total);
}

void CCopyPage::ShowBillboardFor(std::uint32_t done)
{
    if (CMainWnd* main = CInstallApp::get().mainWnd.get())
        main->ShowBillboardFor(done);
}

void CCopyPage::EndBillboards()
{
    if (CMainWnd* main = CInstallApp::get().mainWnd.get())
        main->EndBillboards();
}
