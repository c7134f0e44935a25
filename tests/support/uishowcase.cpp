// Shows one piece of the user interface the way the installer does, so that
// a script can take its picture from the X display:
//
//   uishowcase STAGE READYFILE GOFILE
//
// STAGE is main, billboard-0, billboard-1, billboard-2 or gauge. When the
// stage is painted, READYFILE receives "X Y WIDTH HEIGHT" of the window to
// capture; the program then waits (at most a minute) until GOFILE exists.
#include "app/install_app.h"
#include "platform/dialog.h"
#include "platform/resource_string.h"
#include "resources/resource.h"
#include "ui/gauge.h"
#include "ui/main_wnd.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

void pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CDialog::RouteModelessMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool exists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A panel of gauges at a few positions, as the copy page holds one.
class CGaugePanel {
public:
    bool Create(HWND owner)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = CreateSolidBrush(RGB(192, 192, 192));
        wc.lpszClassName = "UiShowcasePanel";
        RegisterClassA(&wc);
        const unsigned long positions[] = {0, 37, 50, 100};
        int height = 16 + 34 * 4;
        m_panel = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_DLGFRAME, 0, 0, 340,
                                  height, owner, nullptr, wc.hInstance, nullptr);
        if (!m_panel)
            return false;
        for (int i = 0; i < 4; ++i) {
            int id = IDC_GAUGE + i;
            CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BLACKFRAME, 16, 16 + 34 * i, 300, 22,
                            m_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            wc.hInstance, nullptr);
            auto gauge = std::make_unique<CGauge>();
            if (!gauge->create(0x50800000, id, m_panel))
                return false;
            // The copy engine's range: bytes from 1 to the total.
            gauge->lowest = 1;
            gauge->highest = 2000000;
            gauge->setPosition(1 + positions[i] * 20000, false);
            m_gauges.push_back(std::move(gauge));
        }
        PlaceOnScreen(m_panel, kCopyPageCentre);
        ShowWindow(m_panel, SW_SHOW);
        UpdateWindow(m_panel);
        return true;
    }
    HWND hwnd() const { return m_panel; }
    ~CGaugePanel()
    {
        m_gauges.clear();
        if (m_panel)
            DestroyWindow(m_panel);
    }

private:
    HWND m_panel = nullptr;
    std::vector<std::unique_ptr<CGauge>> m_gauges;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: uishowcase main|billboard-0|billboard-1|billboard-2|gauge READY GO\n");
        return 1;
    }
    std::string stage = argv[1];
    CInstallApp app;
    CDialog::SetColours(RGB(192, 192, 192), RGB(0, 0, 0));
    CMainWnd wnd;
    if (!wnd.Create(LoadResourceString(IDS_TITLE), false)) {
        std::fprintf(stderr, "uishowcase: no main window\n");
        return 2;
    }
    pump();

    HWND shown = wnd.hwnd();
    CGaugePanel panel;
    if (stage.compare(0, 10, "billboard-") == 0 && stage.size() == 11) {
        unsigned long index = static_cast<unsigned long>(stage[10] - '0');
        wnd.StartBillboards(3);
        wnd.ShowBillboardFor(index);
        shown = wnd.billboards().shownWindow();
    } else if (stage == "gauge") {
        if (panel.Create(wnd.hwnd()))
            shown = panel.hwnd();
        else
            shown = nullptr;
    } else if (stage != "main") {
        std::fprintf(stderr, "uishowcase: no stage %s\n", stage.c_str());
        return 1;
    }
    if (!shown) {
        std::fprintf(stderr, "uishowcase: %s could not be shown\n", stage.c_str());
        return 2;
    }
    pump();
    RedrawWindow(shown, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    GdiFlush();

    RECT r;
    GetWindowRect(shown, &r);
    // Clipped to the screen: a maximised window's frame lies beyond it.
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &r, &screen);
    if (FILE* ready = std::fopen(argv[2], "w")) {
        std::fprintf(ready, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        std::fclose(ready);
    }
    DWORD start = GetTickCount();
    while (!exists(argv[3]) && GetTickCount() - start < 60000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump();
    }
    wnd.EndBillboards();
    wnd.Destroy();
    return exists(argv[3]) ? 0 : 3;
}
