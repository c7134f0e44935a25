#include "ui/copy_page.h"

#include "ui/billboards.h"

bool CCopyPage::OnInitDialog()
{
    m_gauge.create(kGaugeStyle, kGaugePlaceholder, m_hwnd);
    return CPage::OnInitDialog();
}

void CCopyPage::PlacePage()
{
    // Below the billboards, which take the upper half of the screen.
    PlaceOnScreen(m_hwnd, 1, 2, 3, 4);
}

void CCopyPage::ShowFiles(const std::string& source, const std::string& destination)
{
    if (source != m_source) {
        m_source = source;
        SetDlgItemTextA(m_hwnd, kSourceField, source.c_str());
    }
    if (destination != m_destination) {
        m_destination = destination;
        SetDlgItemTextA(m_hwnd, kDestinationField, destination.c_str());
    }
}

int CCopyPage::DoWork()
{
    return 0;
}
