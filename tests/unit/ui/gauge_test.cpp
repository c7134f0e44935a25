#include "ui/gauge.h"

#include "resources/resource.h"
#include "tests/unit/ui/pixels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr COLORREF kMarker = RGB(255, 0, 255);
constexpr int kWidth = 200;
constexpr int kHeight = 24;

CPixels draw(const CGauge& gauge)
{
    return CPixels::Render(kWidth, kHeight, kMarker,
                           [&](HDC dc, const RECT& r) { gauge.Paint(dc, r); });
}

COLORREF window() { return GetSysColor(COLOR_WINDOW); }
COLORREF highlight() { return GetSysColor(COLOR_HIGHLIGHT); }

RECT rows(int top, int bottom, int left = 0, int right = kWidth)
{
    return RECT{left, top, right, bottom};
}

// The band of rows that holds the centred digits.
RECT textBand(const CPixels& p)
{
    int top = kHeight, bottom = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            COLORREF c = p.at(x, y);
            bool digitPixel = (x < kWidth / 2 && c != highlight()) || (x >= kWidth / 2 && c != window());
            if (digitPixel) {
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
    return rows(top, bottom);
}

// A parent with a frame placeholder where the copy page has its gauge.
class GaugeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = CreateWindowExA(0, "STATIC", "parent", WS_POPUP | WS_VISIBLE, 100, 100, 300, 120,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
        placeholder = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 20, 30,
                                      220, 22, parent, reinterpret_cast<HMENU>(IDC_GAUGE),
                                      GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(placeholder, nullptr);
    }
    void TearDown() override
    {
        gauge.Destroy();
        DestroyWindow(parent);
    }

    HWND parent = nullptr;
    HWND placeholder = nullptr;
    CGauge gauge;
};

} // namespace

TEST(GaugeDrawing, BlankWhenTheRangeIsEmpty)
{
    CGauge gauge;
    gauge.lowest = 1;
    gauge.highest = 1;
    gauge.position = 1;
    EXPECT_EQ(gauge.percent(), -1);
    CPixels p = draw(gauge);
    EXPECT_EQ(p.count(rows(0, kHeight), kMarker), kWidth * kHeight);
}

TEST(GaugeDrawing, LargeRangesAreCountedInThousands)
{
    CGauge gauge;
    gauge.lowest = 1;
    gauge.highest = 2000000;
    gauge.position = 1000001;
    EXPECT_EQ(gauge.percent(), 50);

    CPixels p = draw(gauge);
    EXPECT_EQ(p.count(rows(0, kHeight), kMarker), 0);
    RECT band = textBand(p);
    ASSERT_LT(band.top, band.bottom) << "no percentage drawn";
    // Above and below the digits: filled up to the middle, empty after it.
    for (int y : {0, kHeight - 1}) {
        EXPECT_EQ(p.count(rows(y, y + 1, 0, kWidth / 2), highlight()), kWidth / 2) << "row " << y;
        EXPECT_EQ(p.count(rows(y, y + 1, kWidth / 2, kWidth), window()), kWidth / 2) << "row " << y;
    }
    // "50%" straddles the end of the bar: its left part in the window colour
    // on the bar, its right part in the bar's colour on the rest.
    EXPECT_GT(p.count(rows(band.top, band.bottom, 0, kWidth / 2), window()), 0);
    EXPECT_GT(p.count(rows(band.top, band.bottom, kWidth / 2, kWidth), highlight()), 0);
    // Centred: the digits reach as far left of the middle as right of it.
    int first = kWidth, last = -1;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (p.at(x, y) == (x < kWidth / 2 ? window() : highlight())) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_LE(std::abs((first + last + 1) / 2 - kWidth / 2), 2) << first << ".." << last;
}

TEST(GaugeDrawing, FullGaugeHasNoRestPart)
{
    CGauge gauge;
    gauge.setPosition(99, false);
    EXPECT_EQ(gauge.percent(), 100);
    CPixels p = draw(gauge);
    EXPECT_EQ(p.count(rows(0, kHeight), kMarker), 0);
    RECT band = textBand(p);
    EXPECT_EQ(p.count(rows(0, band.top), highlight()), kWidth * band.top);
    EXPECT_EQ(p.count(rows(band.bottom, kHeight), highlight()), kWidth * (kHeight - band.bottom));
    // "100%" in the window colour on the bar, and nothing on a rest part.
    EXPECT_GT(p.count(rows(band.top, band.bottom), window()), 0);
}

TEST(GaugeDrawing, EmptyGaugeShowsZeroOnTheRest)
{
    CGauge gauge;
    CPixels p = draw(gauge);
    EXPECT_EQ(gauge.percent(), 0);
    EXPECT_EQ(p.count(rows(0, 1), window()), kWidth);
    EXPECT_EQ(p.count(rows(0, kHeight), kMarker), 0);
    EXPECT_GT(p.count(rows(0, kHeight), highlight()), 0) << "no 0% text";
}

TEST(GaugePosition, KeptWithinTheRange)
{
    CGauge gauge;
    EXPECT_EQ(gauge.lowest, 0u);
    EXPECT_EQ(gauge.highest, 99u);
    EXPECT_EQ(gauge.position, 0u);
    gauge.lowest = 10;
    gauge.highest = 20;
    gauge.setPosition(3, false);
    EXPECT_EQ(gauge.position, 10u);
    EXPECT_EQ(gauge.percent(), 0);
    gauge.setPosition(50, false);
    EXPECT_EQ(gauge.position, 20u);
    EXPECT_EQ(gauge.percent(), 100);
    gauge.setPosition(15, false);
    EXPECT_EQ(gauge.percent(), 50);
}

TEST(GaugePosition, RangeWrittenAfterThePositionStillDrawsSensibly)
{
    CGauge gauge;
    gauge.position = 0;
    gauge.lowest = 1;  // the copy engine's range, position not set again yet
    gauge.highest = 5000;
    EXPECT_EQ(gauge.percent(), 0);
    gauge.position = 9000;
    EXPECT_EQ(gauge.percent(), 100);
    // Scaled to thousands the range would vanish: the exact values decide.
    gauge.lowest = 1000001;
    gauge.highest = 1000999;
    gauge.position = 1000999;
    EXPECT_EQ(gauge.percent(), 100);
    gauge.position = 1000400;
    EXPECT_EQ(gauge.percent(), 39);
}

TEST_F(GaugeWindow, TakesThePlaceholdersPlaceAndId)
{
    RECT expected;
    GetClientRect(placeholder, &expected);
    MapWindowPoints(placeholder, parent, reinterpret_cast<POINT*>(&expected), 2);
    ASSERT_TRUE(gauge.create(0x50800000, IDC_GAUGE, parent));
    EXPECT_FALSE(IsWindow(placeholder));
    EXPECT_EQ(GetDlgItem(parent, IDC_GAUGE), gauge.hwnd());
    char text[32] = {};
    GetWindowTextA(gauge.hwnd(), text, sizeof text);
    EXPECT_STREQ(text, "Gauge");
    RECT r;
    GetWindowRect(gauge.hwnd(), &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_TRUE(EqualRect(&r, &expected));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(gauge.hwnd(), GWL_STYLE)) & 0x50800000u, 0x50800000u);
}

TEST_F(GaugeWindow, RepaintsOnlyWhenAskedOrAtTheNextPaint)
{
    ASSERT_TRUE(gauge.create(0x50800000, IDC_GAUGE, parent));
    UpdateWindow(gauge.hwnd());
    RECT client;
    GetClientRect(gauge.hwnd(), &client);
    int quarter = client.right / 4;
    auto barAtQuarter = [&] { return CPixels::Capture(gauge.hwnd()).at(quarter, 0) == highlight(); };
    ASSERT_FALSE(barAtQuarter());

    gauge.setPosition(60, false);
    EXPECT_FALSE(barAtQuarter()) << "drawn without the repaint flag";
    UpdateWindow(gauge.hwnd());
    EXPECT_TRUE(barAtQuarter());

    gauge.setPosition(0, true);
    EXPECT_FALSE(barAtQuarter());
    gauge.setPosition(99, true);
    CPixels p = CPixels::Capture(gauge.hwnd());
    EXPECT_EQ(p.count(rows(0, 1, 0, p.width()), highlight()), p.width());
}
