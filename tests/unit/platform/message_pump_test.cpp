#include "platform/message_pump.h"

#include <gtest/gtest.h>

namespace {
int g_dispatched = 0;
LRESULT CALLBACK countingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER + 5)
        ++g_dispatched;
    return DefWindowProcA(hwnd, msg, wp, lp);
}
} // namespace

TEST(MessagePump, DrainsTheQueueAndPostsAQuitAgain)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PumpTestWindow";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("PumpTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);

    g_dispatched = 0;
    PostMessageA(hwnd, WM_USER + 5, 0, 0);
    PostMessageA(hwnd, WM_USER + 5, 0, 0);
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(g_dispatched, 2);

    PostQuitMessage(42);
    EXPECT_FALSE(PumpMessages());
    // The quit message is still there for the main loop, with its code.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 42u);
    DestroyWindow(hwnd);
}
