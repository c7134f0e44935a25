#include "platform/message_pump.h"

#include "platform/dialog.h"

#include <deque>

namespace {

std::function<bool(const MSG&)>& threadMessageHandler()
{
    static std::function<bool(const MSG&)> handler;
    return handler;
}

// The posted messages of a run without windows, and its quit.
struct CWindowlessQueue {
    bool active = false;
    std::deque<MSG> posted;
    bool quit = false;
    int quitCode = 0;

    bool next(MSG& msg)
    {
        if (posted.empty())
            return false;
        msg = posted.front();
        posted.pop_front();
        return true;
    }
};

CWindowlessQueue& windowless()
{
    static CWindowlessQueue queue;
    return queue;
}

} // namespace

void SetThreadMessageHandler(std::function<bool(const MSG&)> handler)
{
    threadMessageHandler() = std::move(handler);
}

void UseWindowlessQueue(bool active)
{
    windowless() = CWindowlessQueue();
    windowless().active = active;
}

void DispatchOneMessage(MSG& msg)
{
    if (!msg.hwnd && threadMessageHandler() && threadMessageHandler()(msg))
        return;
    if (windowless().active)
        return;
    if (CDialog::RouteModelessMessage(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool PostToThread(UINT message, WPARAM wParam, LPARAM lParam)
{
    CWindowlessQueue& queue = windowless();
    if (!queue.active)
        return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam) != FALSE;
    MSG msg = {};
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    queue.posted.push_back(msg);
    return true;
}

void PostQuit(int code)
{
    CWindowlessQueue& queue = windowless();
    if (!queue.active) {
        PostQuitMessage(code);
        return;
    }
    queue.quit = true;
    queue.quitCode = code;
}

int RunMessageLoop()
{
    MSG msg;
    CWindowlessQueue& queue = windowless();
    if (queue.active) {
        // As the system's queue does, the quit comes after what was posted.
        PumpMessages();
        return queue.quit ? queue.quitCode : 0;
    }
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return 1;
        DispatchOneMessage(msg);
    }
}

bool PumpMessages()
{
    MSG msg;
    CWindowlessQueue& queue = windowless();
    if (queue.active) {
        while (queue.next(msg))
            DispatchOneMessage(msg);
        return !queue.quit;
    }
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchOneMessage(msg);
    }
    return true;
}
