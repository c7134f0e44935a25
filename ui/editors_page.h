// Page 127: the word processors to configure, each line with a tick. The
// ticks decide which editor groups are copied and which editors are set up.
#pragma once

#include "editors/editor_table.h"
#include "ui/page.h"

#include <vector>

class CFileGroup;

class CEditorsPage : public CPage {
public:
    CEditorsPage() : CPage(IDD_PAGE_EDITORS, IDD_PAGE_GROUP, true) {}

    void OnNext() override;

    // Whether the manual list offers the editor: every editor but the two
    // whose configuration needs their detection.
    static bool OfferedManually(const CEditor& editor);

protected:
    // The lines and their ticks, without the list.
    void Prepare() override { chooseLines(); }
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

private:
    // The groups that get a line, found or (manually) offered, each ticked
    // as found; a group without a line is not copied.
    std::vector<CFileGroup*> chooseLines();
    void fill();
    void showDescription();
    void drawLine(const DRAWITEMSTRUCT& item) const;
    void toggle(int index);
    int boxSide() const;
    static LRESULT CALLBACK ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp);

    WNDPROC m_listProc = nullptr;
    bool m_manual = false;
};
