#include "ui/main_wnd.h"

#include "app/install_app.h"
#include "resources/resource.h"
#include "tests/support/dialog_answerer.h"
#include "tests/unit/ui/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <string>

namespace {

const char* const kTitle = "Ortavel 4.0.1 Catal\xE0 ''Demo''";
const char* const kCaption = "Ortavel 4.0 Catal\xE0 Instal\xB7lar";

// Row y of a gradient h rows high, written out component by component.
COLORREF expectedRow(int y, int h)
{
    return RGB(72 + (y * -72) / h, 99 + (y * 6) / h, 120 + (y * 85) / h);
}

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class MainWindow : public ::testing::Test {
protected:
    void TearDown() override { wnd.Destroy(); }

    CInstallApp app;
    CMainWnd wnd;
};

struct Band {
    int left = 1 << 30, right = -1, bottom = -1;
};

// Where the pixels of one colour lie in the top rows of the picture.
Band bandOf(const CPixels& p, COLORREF colour, int rows)
{
    Band b;
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < p.width(); ++x)
            if (p.at(x, y) == colour) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.bottom = std::max(b.bottom, y);
            }
    return b;
}

} // namespace

TEST(MainWindowGradient, ScreenHighClientRunsFromTopToBottomColour)
{
    CMainWnd unshown;  // no title, no palette: the gradient alone
    CPixels p = CPixels::Render(16, 768, RGB(255, 0, 255),
                                [&](HDC dc, const RECT& r) { unshown.Paint(dc, r); });
    EXPECT_EQ(p.at(0, 0), RGB(72, 99, 120));
    EXPECT_EQ(p.at(15, 0), RGB(72, 99, 120));
    EXPECT_EQ(p.at(0, 767), RGB(1, 104, 204));
    EXPECT_EQ(p.at(15, 767), RGB(1, 104, 204));
    for (int y = 0; y < 768; ++y)
        ASSERT_EQ(p.at(7, y), expectedRow(y, 768)) << "row " << y;
}

TEST(MainWindowGradient, EveryRowFollowsTheFormulaForAnyHeight)
{
    CMainWnd unshown;
    for (int h : {1, 37, 300, 601}) {
        CPixels p = CPixels::Render(4, h, RGB(255, 0, 255),
                                    [&](HDC dc, const RECT& r) { unshown.Paint(dc, r); });
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(p.at(2, y), expectedRow(y, h)) << "row " << y << " of " << h;
    }
    // Quotients round toward zero: the last of 300 rows keeps red 1, not 0.
    EXPECT_EQ(CMainWnd::GradientColour(299, 300), RGB(1, 104, 204));
}

TEST(MainWindowGradient, PaletteRelativeWhileActive)
{
    EXPECT_EQ(CMainWnd::GradientColour(0, 768, true), 0x02786348u);
    EXPECT_EQ(CMainWnd::GradientColour(0, 768, false), 0x00786348u);
    EXPECT_EQ(CMainWnd::GradientColour(767, 768, true), 0x02CC6801u);
}

TEST(MainWindowPalette, DefaultEntriesThenTheGradient)
{
    CGdiObject<HPALETTE> palette(CMainWnd::CreateGradientPalette(256));
    ASSERT_TRUE(palette);
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(GetPaletteEntries(palette.get(), 0, 256, entries), 256u);
    PALETTEENTRY defaults[20] = {};
    ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, defaults), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(entries[i].peRed, defaults[i].peRed) << i;
        EXPECT_EQ(entries[i].peGreen, defaults[i].peGreen) << i;
        EXPECT_EQ(entries[i].peBlue, defaults[i].peBlue) << i;
    }
    // n = 236 gradient entries after the 20 of the default palette.
    auto rgb = [&](int k) { return RGB(entries[20 + k].peRed, entries[20 + k].peGreen, entries[20 + k].peBlue); };
    EXPECT_EQ(rgb(0), RGB(72, 99, 120));
    EXPECT_EQ(rgb(118), RGB(36, 102, 162));
    EXPECT_EQ(rgb(235), RGB(1, 104, 204));
    EXPECT_EQ(entries[100].peFlags, 0);
}

TEST(MainWindowPalette, NoPaletteWithoutEntriesBeyondTheDefaults)
{
    EXPECT_EQ(CMainWnd::CreateGradientPalette(0), nullptr);
    EXPECT_EQ(CMainWnd::CreateGradientPalette(20), nullptr);
    CGdiObject<HPALETTE> one(CMainWnd::CreateGradientPalette(21));
    ASSERT_TRUE(one);
    PALETTEENTRY e = {};
    EXPECT_EQ(GetPaletteEntries(one.get(), 20, 1, &e), 1u);
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(72, 99, 120));
}

TEST_F(MainWindow, CoversTheWholeScreen)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    pump();
    EXPECT_TRUE(IsZoomed(wnd.hwnd()));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(wnd.hwnd(), GWL_STYLE)) & 0x018B0000u, 0x018B0000u);
    char caption[128] = {};
    GetWindowTextA(wnd.hwnd(), caption, sizeof caption);
    EXPECT_STREQ(caption, kCaption);

    RECT client;
    GetClientRect(wnd.hwnd(), &client);
    POINT origin = {0, 0};
    ClientToScreen(wnd.hwnd(), &origin);
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    // Only the caption bar lies above the client area.
    EXPECT_LE(origin.x, 0);
    EXPECT_GE(origin.x + client.right, screenW);
    EXPECT_LE(origin.y, GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYDLGFRAME));
    EXPECT_GE(origin.y + client.bottom, screenH);

    // Restoring keeps it full-screen: that is where it was made.
    ShowWindow(wnd.hwnd(), SW_RESTORE);
    RECT window;
    GetWindowRect(wnd.hwnd(), &window);
    EXPECT_LE(window.left, 0);
    EXPECT_GE(window.right, screenW);
}

TEST_F(MainWindow, StartsMinimisedInBatchMode)
{
    ASSERT_TRUE(wnd.Create(kTitle, true));
    EXPECT_TRUE(IsIconic(wnd.hwnd()));
}

TEST_F(MainWindow, PaintsGradientAndShadowedTitleOnScreen)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    pump();
    RedrawWindow(wnd.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CPixels p = CPixels::Capture(wnd.hwnd());
    int h = p.height();
    ASSERT_GT(h, 600);
    // The right edge is clear of the title: every row is the gradient.
    for (int y = 0; y < h; ++y)
        ASSERT_EQ(p.at(p.width() - 2, y), expectedRow(y, h)) << "row " << y;

    // The title: white at (x0, 8), its black shadow 2 frames right and down.
    int titleRows = 80;
    Band white = bandOf(p, RGB(255, 255, 255), titleRows);
    Band black = bandOf(p, RGB(0, 0, 0), titleRows);
    ASSERT_GE(white.right, 0) << "no white title";
    ASSERT_GE(black.right, 0) << "no black shadow";
    int x0 = GetSystemMetrics(SM_CXHTHUMB);
    EXPECT_GE(white.left, x0);
    EXPECT_LE(white.left, x0 + 4);
    EXPECT_EQ(black.right - white.right, 2 * GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(black.bottom - white.bottom, 2 * GetSystemMetrics(SM_CYDLGFRAME));
    // 24 points bold: the title is a good deal wider than tall, and nothing
    // white is drawn below it.
    EXPECT_GT(white.right - white.left, 200);
    RECT below = {0, titleRows, p.width(), h};
    EXPECT_EQ(p.count(below, RGB(255, 255, 255)), 0);
}

TEST_F(MainWindow, PaletteOnlyWhereTheDisplayHasOne)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    HDC dc = GetDC(wnd.hwnd());
    int size = GetDeviceCaps(dc, SIZEPALETTE);
    ReleaseDC(wnd.hwnd(), dc);
    EXPECT_EQ(wnd.palette() != nullptr, size > 20);
    // Realising an empty palette changes nothing and must not fail.
    if (!wnd.palette()) {
        EXPECT_EQ(wnd.RealizePalette(), 0u);
    }
    SendMessageA(wnd.hwnd(), WM_QUERYNEWPALETTE, 0, 0);
    SendMessageA(wnd.hwnd(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(wnd.hwnd()), 0);
    EXPECT_TRUE(IsWindow(wnd.hwnd()));
    wnd.Destroy();
    EXPECT_EQ(wnd.palette(), nullptr);
}

TEST_F(MainWindow, ActivationIsRemembered)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    SendMessageA(wnd.hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(wnd.active());
    SendMessageA(wnd.hwnd(), WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(wnd.active());
    SendMessageA(wnd.hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(wnd.active());
}

TEST_F(MainWindow, CloseAnsweredNoLeavesTheRunAlone)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    app.succeeded = true;
    CDialogAnswerer answerer({CDialogAnswerer::Press(IDNO)});
    SendMessageA(wnd.hwnd(), WM_CLOSE, 0, 0);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].caption, kCaption);
    EXPECT_NE(answerer.seen()[0].allText().find(
                  "Ortavel 4.0 Catal\xE0 no s'ha instal\xB7lat. Voleu sortir?"),
              std::string::npos);
    EXPECT_TRUE(app.succeeded);
    EXPECT_TRUE(IsWindow(wnd.hwnd()));
}

TEST_F(MainWindow, CloseAnsweredYesOnlyClearsSucceeded)
{
    ASSERT_TRUE(wnd.Create(kTitle, false));
    app.succeeded = true;
    {
        CDialogAnswerer answerer({CDialogAnswerer::Press(IDYES)});
        SendMessageA(wnd.hwnd(), WM_CLOSE, 0, 0);
        ASSERT_EQ(answerer.seen().size(), 1u);
    }
    EXPECT_FALSE(app.succeeded);
    pump();
    EXPECT_TRUE(IsWindow(wnd.hwnd()));
    EXPECT_TRUE(IsWindowVisible(wnd.hwnd()));
}
