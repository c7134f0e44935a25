// The full-screen background window of the run: a vertical colour gradient
// with the run's title, owner of every page and of the billboards.
#pragma once

#include "platform/gdi.h"
#include "platform/wnd.h"
#include "ui/billboards.h"

#include <string>

class CMainWnd : public CFrameWnd {
public:
    static constexpr COLORREF kTopColour = RGB(72, 99, 120);
    static constexpr COLORREF kBottomColour = RGB(0, 105, 205);
    static constexpr int kTitlePoints = 24;

    // Registers the class and creates the window, maximised or, in batch
    // mode, minimised. False when the window can't be created.
    bool Create(const std::string& title, bool batchMode);

    // The colour of row y of a client area h rows high; palette-relative
    // while the application is active.
    static COLORREF GradientColour(int y, int h, bool paletteRelative = false);
    // The gradient palette for a device with this many palette entries;
    // null when the device has none beyond the default palette.
    static HPALETTE CreateGradientPalette(int devicePaletteSize);

    // Paints the gradient and the title into dc, whose client area is
    // client; what WM_PAINT draws.
    void Paint(HDC dc, const RECT& client) const;

    // Selects the palette into a window context and realises it; the number
    // of entries that changed. Pages call it when their activation changes
    // so that the gradient keeps its colours under them.
    UINT RealizePalette();
    HPALETTE palette() const { return m_palette.get(); }
    bool active() const { return m_active; }

    // The billboards shown over the window while files are copied.
    CBillboards& billboards() { return m_billboards; }
    void StartBillboards(unsigned long total) { m_billboards.Start(total); }
    void ShowBillboardFor(unsigned long done) { m_billboards.ShowFor(done); }
    void EndBillboards() { m_billboards.End(); }

protected:
    bool OnCreate(CREATESTRUCTA* cs) override;
    void OnDestroy() override;
    bool OnPaint() override;
    bool OnClose() override;
    bool OnActivateApp(bool active) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void paintGradient(HDC dc, const RECT& client) const;
    void paintTitle(HDC dc) const;
    void realizeAndRefresh();

    std::string m_title;
    CGdiObject<HPALETTE> m_palette;
    bool m_active = false;
    CBillboards m_billboards;
};
