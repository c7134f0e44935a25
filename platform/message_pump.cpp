#include "platform/message_pump.h"

#include "platform/dialog.h"

void DispatchOneMessage(MSG& msg)
{
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
