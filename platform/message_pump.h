// Draining the message queue while long work runs on the one thread.
#pragma once

#include <windows.h>

#include <functional>

// Gives a message posted to the thread itself (no window) to the handler,
// else a message to the modeless dialog it belongs to, or translates and
// dispatches it.
void DispatchOneMessage(MSG& msg);

// Who takes the messages posted to the thread rather than to a window;
// true when it took one.
void SetThreadMessageHandler(std::function<bool(const MSG&)> handler);

// Peeks, translates and dispatches until the queue is empty. A quit message
// that arrives meanwhile is posted again, so the main loop still sees it,
// and ends the draining. Returns false when it met a quit message.
bool PumpMessages();
