#include "platform/message_pump.h"

#include "platform/dialog.h"

namespace {

std::function<bool(const MSG&)>& threadMessageHandler()
{
    static std::function<bool(const MSG&)> handler;
    return handler;
}

} // namespace

void SetThreadMessageHandler(std::function<bool(const MSG&)> handler)
{
    threadMessageHandler() = std::move(handler);
}

void DispatchOneMessage(MSG& msg)
{
    if (!msg.hwnd && threadMessageHandler() && threadMessageHandler()(msg))
        return;
    if (CDialog::RouteModelessMessage(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        DispatchOneMessage(msg);
    }
    return true;
}
