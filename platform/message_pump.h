// The thread's message queue: draining it while long work runs on the one
// thread, and the work a window-less run posts to itself.
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

// A run that opens no window keeps its thread's posted messages in the
// program, so that the window system is never loaded for them (under Wine
// that costs about 50 ms of a start). Called before anything is posted,
// by the thread that runs the loop; only that thread posts then. Called
// again, it starts an empty queue (false: the system's again).
void UseWindowlessQueue(bool windowless = true);

// Posts a message to this thread itself, for the loop to dispatch.
bool PostToThread(UINT message, WPARAM wParam, LPARAM lParam);
// Asks the loop to end with code once what was posted before is handled.
void PostQuit(int code);
// Dispatches until the quit; its code. A window-less queue that runs dry
// without one ends the loop too (0): nothing could post to it any more.
int RunMessageLoop();

// Peeks, translates and dispatches until the queue is empty. A quit message
// that arrives meanwhile is posted again, so the main loop still sees it,
// and ends the draining. Returns false when it met a quit message.
bool PumpMessages();
