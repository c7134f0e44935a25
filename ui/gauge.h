// The percentage gauge of the copy page: a bar that fills from the left
// with the percentage centred on it, its colours inverted where the bar ends.
#pragma once

#include "platform/wnd.h"

#include <string>

class CGauge : public CWnd {
public:
    // Takes the place of the parent's control placeholderId (its client
    // rectangle and its id) and destroys that control. False when the
    // window can't be created.
    bool create(DWORD style, int placeholderId, HWND parentDialog);

    // position := value kept within lowest..highest; the window is
    // invalidated, and repainted at once when repaint is set.
    void setPosition(unsigned long value, bool repaint);

    // The percentage the gauge shows; -1 when it shows nothing.
    int percent() const;

    // Draws the gauge into dc over client; what the paint message does.
    void Paint(HDC dc, const RECT& client) const;

    // The copy engine sets the range directly before the first position.
    unsigned long lowest = 0;
    unsigned long highest = 99;
    unsigned long position = 0;

protected:
    bool OnPaint() override;
};
