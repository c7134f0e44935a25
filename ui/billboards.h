// The billboards: three small windows over the main window that change as
// the copying goes on, and the placement rule they share with the copy page.
#pragma once

#include <windows.h>

#include <memory>

class CBillboard;

// A fraction num/den of a length, rounded toward zero.
struct CFraction {
    int num;
    int den;
    int of(int length) const { return num * length / den; }
};

// Where a window's centre goes: x of the screen's width across, y of its
// height down.
struct CScreenSpot {
    CFraction x;
    CFraction y;
};

// The billboards' centre, the middle of the upper third; the copy page's,
// below them.
constexpr CScreenSpot kBillboardCentre = {{1, 2}, {1, 3}};
constexpr CScreenSpot kCopyPageCentre = {{1, 2}, {3, 4}};

// Where a window of size w x h goes so that its centre sits at that spot,
// kept on a W x H screen.
POINT PlacedPosition(int screenW, int screenH, int w, int h, CScreenSpot centre);

// Moves window there on the real screen, keeping its size.
void PlaceOnScreen(HWND window, CScreenSpot centre);

class CBillboards {
public:
    static constexpr int kCount = 3;

    CBillboards();
    ~CBillboards();
    CBillboards(const CBillboards&) = delete;
    CBillboards& operator=(const CBillboards&) = delete;

    // The window that owns the billboards; in batch mode they are shown at
    // no size.
    void Attach(HWND owner, bool batchMode);

    // Remembers the byte total of the copy and shows the first billboard.
    void Start(unsigned long total);
    // Shows the billboard for this many bytes done, unless it is on show.
    void ShowFor(unsigned long done);
    // Destroys the billboard on show.
    void End();

    // The billboard for done bytes of total: thirds of the copy, 0 when
    // there is nothing to copy.
    static int IndexFor(unsigned long done, unsigned long total);

    // The index on show, -1 for none, and its window.
    int shownIndex() const { return m_index; }
    HWND shownWindow() const;

private:
    HWND m_owner = nullptr;
    bool m_batch = false;
    unsigned long m_total = 0;
    int m_index = -1;
    std::unique_ptr<CBillboard> m_shown;
};
