#include "ui/billboards.h"

#include "resources/resource.h"
#include "tests/unit/ui/pixels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string controlText(HWND dialog, int id)
{
    char text[512] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string caption(HWND window)
{
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT windowRect(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return r;
}

// A stand-in for the main window: the billboards' owner.
class Billboards : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner, nullptr);
        boards.Attach(owner, false);
    }
    void TearDown() override
    {
        boards.End();
        DestroyWindow(owner);
    }

    HWND owner = nullptr;
    CBillboards boards;
};

} // namespace

TEST(PlaceOnScreen, CentreAtTheFractionOfTheScreen)
{
    POINT p = PlacedPosition(1024, 768, 200, 100, kBillboardCentre);
    EXPECT_EQ(p.x, 412);
    EXPECT_EQ(p.y, 206);
    // The copy page's place: below the billboards.
    p = PlacedPosition(1024, 768, 300, 200, kCopyPageCentre);
    EXPECT_EQ(p.x, 362);
    EXPECT_EQ(p.y, 476);
    // Odd sizes: half of -201 is -100.
    p = PlacedPosition(1024, 768, 201, 101, kBillboardCentre);
    EXPECT_EQ(p.x, 412);
    EXPECT_EQ(p.y, 206);
}

TEST(PlaceOnScreen, KeptOnTheScreen)
{
    // Would run off the bottom: pulled up to H - h.
    POINT p = PlacedPosition(640, 480, 600, 400, kCopyPageCentre);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, 80);
    // Would run off the right: pulled left to W - w.
    p = PlacedPosition(640, 480, 200, 100, {{9, 10}, {1, 2}});
    EXPECT_EQ(p.x, 440);
    EXPECT_EQ(p.y, 190);
    // Larger than the screen: the top-left corner stays visible.
    p = PlacedPosition(640, 480, 800, 600, kBillboardCentre);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(PlaceOnScreen, MovesTheRealWindowWithoutResizingIt)
{
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 5, 5, 120, 60, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    PlaceOnScreen(w, kBillboardCentre);
    RECT r = windowRect(w);
    POINT expected = PlacedPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    120, 60, kBillboardCentre);
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(r.right - r.left, 120);
    EXPECT_EQ(r.bottom - r.top, 60);
    DestroyWindow(w);
}

TEST(BillboardIndex, ThirdsOfTheCopy)
{
    EXPECT_EQ(CBillboards::IndexFor(0, 0), 0);
    EXPECT_EQ(CBillboards::IndexFor(12345, 0), 0);
    EXPECT_EQ(CBillboards::IndexFor(0, 300), 0);
    EXPECT_EQ(CBillboards::IndexFor(99, 300), 0);
    EXPECT_EQ(CBillboards::IndexFor(100, 300), 1);
    EXPECT_EQ(CBillboards::IndexFor(199, 300), 1);
    EXPECT_EQ(CBillboards::IndexFor(200, 300), 2);
    EXPECT_EQ(CBillboards::IndexFor(300, 300), 2);
    EXPECT_EQ(CBillboards::IndexFor(5000, 300), 2);
}

TEST(BillboardIndex, LargeCopiesDoNotWrap)
{
    // 2,000,000,000 x 3 does not fit in 32 bits.
    EXPECT_EQ(CBillboards::IndexFor(2000000000ul, 3000000000ul), 2);
    EXPECT_EQ(CBillboards::IndexFor(1500000000ul, 3000000000ul), 1);
    EXPECT_EQ(CBillboards::IndexFor(4000000000ul, 4000000000ul), 2);
}

TEST_F(Billboards, FollowTheCopyAndAreNotRemadeForTheSameIndex)
{
    EXPECT_EQ(boards.shownIndex(), -1);
    boards.Start(300);
    ASSERT_EQ(boards.shownIndex(), 0);
    HWND first = boards.shownWindow();
    ASSERT_TRUE(IsWindow(first));
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_EQ(GetWindow(first, GW_OWNER), owner);

    boards.ShowFor(99);
    EXPECT_EQ(boards.shownWindow(), first);

    boards.ShowFor(150);
    EXPECT_EQ(boards.shownIndex(), 1);
    HWND second = boards.shownWindow();
    EXPECT_NE(second, first);
    EXPECT_FALSE(IsWindow(first));

    boards.ShowFor(299);
    EXPECT_EQ(boards.shownIndex(), 2);
    EXPECT_FALSE(IsWindow(second));
    HWND third = boards.shownWindow();
    boards.ShowFor(300);
    EXPECT_EQ(boards.shownWindow(), third);

    boards.End();
    EXPECT_EQ(boards.shownIndex(), -1);
    EXPECT_FALSE(IsWindow(third));
}

TEST_F(Billboards, NothingToCopyKeepsTheFirst)
{
    boards.Start(0);
    EXPECT_EQ(boards.shownIndex(), 0);
    HWND first = boards.shownWindow();
    boards.ShowFor(1000000);
    EXPECT_EQ(boards.shownIndex(), 0);
    EXPECT_EQ(boards.shownWindow(), first);
}

TEST_F(Billboards, TextsOfTheFirstAndLast)
{
    boards.Start(3);
    HWND b0 = boards.shownWindow();
    EXPECT_EQ(caption(b0), "Informaci\xF3");
    EXPECT_EQ(controlText(b0, IDC_BILLBOARD_HEADING), "Ortavel 4.0 Catal\xE0");
    EXPECT_EQ(controlText(b0, IDC_BILLBOARD_TEXT),
              "El Ortavel 4.0 s'ha desenvolupat amb els suggeriments i demandes del nostres usuaris.");
    HBITMAP art = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(b0, IDC_BILLBOARD_ART, STM_GETIMAGE, IMAGE_BITMAP, 0));
    EXPECT_NE(art, nullptr) << "bitmap IDB_BILLBOARD_SIDE missing";

    boards.ShowFor(2);
    HWND b2 = boards.shownWindow();
    EXPECT_EQ(caption(b2), "");
    EXPECT_EQ(controlText(b2, IDC_BILLBOARD_HEADING), "Ortavel 4.0 Catal\xE0");
    EXPECT_EQ(controlText(b2, IDC_BILLBOARD_TEXT),
              "L'equip desenvolupador del Ortavel us agraeix la vostra col\xB7laboraci\xF3 i la "
              "confian\xE7" "a depositada en nosaltres. I, esperem els vostres suggeriments per tal "
              "de millorar el Ortavel.");
    HICON icon = reinterpret_cast<HICON>(
        SendDlgItemMessageA(b2, IDC_BILLBOARD_ART, STM_GETICON, 0, 0));
    EXPECT_NE(icon, nullptr) << "icon IDI_BILLBOARD missing";
}

TEST_F(Billboards, PlacedAtTheMiddleOfTheUpperThird)
{
    boards.Start(3);
    for (unsigned long done : {0ul, 1ul, 2ul}) {
        boards.ShowFor(done);
        RECT r = windowRect(boards.shownWindow());
        POINT expected = PlacedPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                        r.right - r.left, r.bottom - r.top, kBillboardCentre);
        EXPECT_EQ(r.left, expected.x) << "billboard " << done;
        EXPECT_EQ(r.top, expected.y) << "billboard " << done;
    }
}

TEST_F(Billboards, PictureBillboardIsItsBitmapUnchanged)
{
    boards.Start(3);
    boards.ShowFor(1);
    HWND b1 = boards.shownWindow();
    ASSERT_EQ(boards.shownIndex(), 1);

    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_BILLBOARD_PICTURE));
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    RECT r = windowRect(b1);
    EXPECT_EQ(r.right - r.left, bm.bmWidth);
    EXPECT_EQ(r.bottom - r.top, bm.bmHeight);

    CPixels expected = CPixels::Render(bm.bmWidth, bm.bmHeight, RGB(255, 0, 255), [&](HDC dc, const RECT&) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    });
    DeleteObject(bitmap);
    RedrawWindow(b1, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CPixels shown = CPixels::Capture(b1);

    // Where the name lies on the picture, the picture shows between the
    // letters; everywhere else it is the bitmap pixel for pixel.
    HWND name = GetDlgItem(b1, IDC_BILLBOARD_HEADING);
    ASSERT_NE(name, nullptr);
    RECT text;
    GetWindowRect(name, &text);
    MapWindowPoints(nullptr, b1, reinterpret_cast<POINT*>(&text), 2);
    int differentOutside = 0, sameInside = 0, differentInside = 0;
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) {
            bool same = shown.at(x, y) == expected.at(x, y);
            POINT pt = {x, y};
            if (PtInRect(&text, pt))
                (same ? sameInside : differentInside)++;
            else
                differentOutside += !same;
        }
    EXPECT_EQ(differentOutside, 0);
    int area = (text.right - text.left) * (text.bottom - text.top);
    EXPECT_GT(differentInside, 0) << "the name is not drawn";
    EXPECT_GT(sameInside, area / 2) << "the name's background hides the picture";
}

TEST_F(Billboards, BatchModeShowsThemAtNoSize)
{
    boards.Attach(owner, true);
    boards.Start(3);
    for (unsigned long done : {0ul, 1ul, 2ul}) {
        boards.ShowFor(done);
        RECT r = windowRect(boards.shownWindow());
        EXPECT_EQ(r.left, 0);
        EXPECT_EQ(r.top, 0);
        EXPECT_EQ(r.right, 0) << "billboard " << done;
        EXPECT_EQ(r.bottom, 0) << "billboard " << done;
    }
}
