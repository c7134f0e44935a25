#include "platform/message_pump.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(MessagePump, AWindowlessQueueKeepsThePostedWorkInOrderAndQuitsAfterIt)
{
    std::vector<LPARAM> handled;
    SetThreadMessageHandler([&](const MSG& msg) {
        if (msg.message != WM_USER + 9)
            return false;
        handled.push_back(msg.lParam);
        // Work posted while work runs comes after what was posted before.
        if (msg.lParam == 1)
            PostToThread(WM_USER + 9, 0, 3);
        return true;
    });
    UseWindowlessQueue();
    PostToThread(WM_USER + 9, 0, 1);
    PostToThread(WM_USER + 9, 0, 2);
    EXPECT_TRUE(PumpMessages());
    EXPECT_EQ(handled, (std::vector<LPARAM>{1, 2, 3}));

    // The quit waits for what was posted before it, and stays for the loop.
    PostToThread(WM_USER + 9, 0, 4);
    PostQuit(7);
    EXPECT_FALSE(PumpMessages());
    EXPECT_EQ(handled.back(), 4);
    EXPECT_EQ(RunMessageLoop(), 7);

    // Nothing reached the system's queue; a queue run dry ends the loop
    // rather than waiting for ever.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    UseWindowlessQueue();
    EXPECT_EQ(RunMessageLoop(), 0);

    UseWindowlessQueue(false);
    SetThreadMessageHandler(nullptr);
}
