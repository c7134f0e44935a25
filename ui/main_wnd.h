// The full-screen background window of the run: a vertical colour gradient
// with the run's title, owner of every page.
#pragma once

#include "platform/gdi.h"
#include "platform/wnd.h"

#include <string>

class CMainWnd : public CFrameWnd {
public:
    static constexpr COLORREF kTopColour = RGB(72, 99, 120);
    static constexpr COLORREF kBottomColour = RGB(0, 105, 205);

    // Registers the class and creates the window, maximised or, in batch
    // mode, minimised. False when the window can't be created.
    bool Create(const std::string& title, bool batchMode);

    // The colour of row y of a client area h rows high.
    static COLORREF GradientColour(int y, int h);

protected:
    bool OnPaint() override;
    bool OnClose() override;
    bool OnActivateApp(bool active) override;

private:
    void paintGradient(HDC dc, const RECT& client) const;
    void paintTitle(HDC dc) const;

    std::string m_title;
    bool m_active = false;
};
