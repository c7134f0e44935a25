#include "ui/billboards.h"

#include "platform/dialog.h"
#include "platform/gdi.h"
#include "resources/resource.h"

#include <algorithm>

namespace {

const int kTemplates[CBillboards::kCount] = {IDD_BILLBOARD_0, IDD_BILLBOARD_1, IDD_BILLBOARD_2};
constexpr int kLayoutDpi = 96;

} // namespace

POINT PlacedPosition(int screenW, int screenH, int w, int h, CScreenSpot centre)
{
    // The halves are those of the negative sizes, rounded toward zero.
    int x = centre.x.of(screenW) + (-w) / 2;
    int y = centre.y.of(screenH) + (-h) / 2;
    x = std::max(std::min(x, screenW - w), 0);
    y = std::max(std::min(y, screenH - h), 0);
    return POINT{x, y};
}

void PlaceOnScreen(HWND window, CScreenSpot centre)
{
    RECT r;
    GetWindowRect(window, &r);
    POINT p = PlacedPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                             r.right - r.left, r.bottom - r.top, centre);
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// One billboard. Billboard 1 is nothing but its bitmap: the window takes the
// bitmap's size and paints it as it is, texts lying on it transparently.
class CBillboard : public CDialog {
public:
    CBillboard(int index, bool batch) : CDialog(kTemplates[index]), m_index(index), m_batch(batch) {}

protected:
    bool OnInitDialog() override
    {
        if (isPicture()) {
            m_bitmap.reset(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BILLBOARD_PICTURE)));
            BITMAP bm = {};
            if (m_bitmap && GetObjectA(m_bitmap.get(), sizeof bm, &bm))
                SetWindowPos(m_hwnd, nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            keepTextsOnPicture();
        }
        PlaceOnScreen(m_hwnd, kBillboardCentre);
        if (m_batch)
            SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
        // The copy page keeps the keyboard: a billboard is only looked at.
        ShowWindow(m_hwnd, SW_SHOWNA);
        return false;
    }

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override
    {
        if (!isPicture())
            return false;
        switch (msg) {
        case WM_CTLCOLORDLG:
            result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            return true;
        case WM_ERASEBKGND:
            result = TRUE;
            return true;
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
            SetTextColor(reinterpret_cast<HDC>(wp), RGB(0, 0, 0));
            result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            return true;
        case WM_PAINT:
            paintPicture();
            result = TRUE;
            return true;
        default:
            return false;
        }
    }

private:
    bool isPicture() const { return m_index == 1; }

    // The picture keeps its pixel size while the template's dialog units
    // grow with the screen's DPI: the texts go back to the pixel places on
    // the picture they were laid out for at 96 DPI; only their letters grow.
    void keepTextsOnPicture()
    {
        HDC dc = GetDC(m_hwnd);
        int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kLayoutDpi;
        if (dc)
            ReleaseDC(m_hwnd, dc);
        if (dpi == kLayoutDpi || dpi <= 0)
            return;
        for (HWND child = GetWindow(m_hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
            SetWindowPos(child, nullptr, MulDiv(r.left, kLayoutDpi, dpi), MulDiv(r.top, kLayoutDpi, dpi),
                         0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    void paintPicture()
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        BITMAP bm = {};
        if (m_bitmap && GetObjectA(m_bitmap.get(), sizeof bm, &bm)) {
            HDC source = CreateCompatibleDC(dc);
            if (source) {
                {
                    CSelectObject selected(source, m_bitmap.get());
                    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
                }
                DeleteDC(source);
            }
        }
        EndPaint(m_hwnd, &ps);
    }

    int m_index;
    bool m_batch;
    CGdiObject<HBITMAP> m_bitmap;
};

CBillboards::CBillboards() = default;

CBillboards::~CBillboards() = default;

void CBillboards::Attach(HWND owner, bool batchMode)
{
    m_owner = owner;
    m_batch = batchMode;
}

int CBillboards::IndexFor(unsigned long done, unsigned long total)
{
    if (total == 0)
        return 0;
    // Wide enough that done x 3 can't wrap on copies above 1.4 GB.
    unsigned long long index = static_cast<unsigned long long>(done) * 3 / total;
    return static_cast<int>(std::min<unsigned long long>(index, kCount - 1));
}

void CBillboards::Start(unsigned long total)
{
    m_total = total;
    ShowFor(0);
}

void CBillboards::ShowFor(unsigned long done)
{
    int index = IndexFor(done, m_total);
    if (index == m_index && m_shown && m_shown->hwnd())
        return;
    auto billboard = std::make_unique<CBillboard>(index, m_batch);
    if (!billboard->Create(m_owner))
        return;
    m_shown = std::move(billboard);
    m_index = index;
    UpdateWindow(m_shown->hwnd());
    if (m_owner)
        UpdateWindow(m_owner);
}

void CBillboards::End()
{
    m_shown.reset();
    m_index = -1;
}

HWND CBillboards::shownWindow() const
{
    return m_shown ? m_shown->hwnd() : nullptr;
}
