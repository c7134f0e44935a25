#include "ui/editors_page.h"

#include "app/install_app.h"
#include "platform/gdi.h"
#include "platform/resource_string.h"
#include "profile/install_profile.h"
#include "resources/resource.h"
#include "ui/free_space_warning.h"
#include "ui/page_framework.h"

namespace {

const char* const kPageProperty = "OrtavelEditorsPage";

CFileGroup* groupOf(HWND list, int index)
{
    LRESULT data = SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == LB_ERR ? nullptr : reinterpret_cast<CFileGroup*>(data);
}

} // namespace

bool CEditorsPage::OfferedManually(const CEditor& editor)
{
    return editor.id != kEditorWP8 && editor.id != kEditorWordPro;
}

bool CEditorsPage::OnInitDialog()
{
    // Clicks in a tick box and the space key toggle the tick: the list is
    // ours to watch before it sees them.
    HWND list = item(IDC_EDITOR_LIST);
    SetPropA(list, kPageProperty, this);
    m_listProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CEditorsPage::ListProc)));
    // Every line is as tall as the letter "M" in the list's font.
    SIZE m = {};
    HDC dc = GetDC(list);
    {
        CSelectObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32A(dc, "M", 1, &m);
    }
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, m.cy > 0 ? m.cy : 13);

    fill();
    return CPage::OnInitDialog();
}

std::vector<CFileGroup*> CEditorsPage::chooseLines()
{
    CInstallApp& app = CInstallApp::get();
    std::vector<CFileGroup*> lines;
    for (auto& entry : app.groups) {
        CFileGroup& group = *entry.second;
        if (!group.selectable)
            continue;
        group.checked = false;
        const CEditor* editor = EditorOfGroup(app.editors, group.name);
        bool line = false;
        if (m_manual) {
            line = editor && OfferedManually(*editor);
            if (line)
                group.selected = false;
        } else if (editor) {
            line = editor->found;
            group.checked = line;
            if (!line)
                group.selected = false;
        }
        if (line)
            lines.push_back(&group);
    }
    return lines;
}

void CEditorsPage::fill()
{
    HWND list = item(IDC_EDITOR_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (CFileGroup* group : chooseLines()) {
        LRESULT at = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group->title.c_str()));
        if (at >= 0)
            SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(group));
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    showDescription();
}

void CEditorsPage::showDescription()
{
    HWND list = item(IDC_EDITOR_LIST);
    LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    CFileGroup* group = selected == LB_ERR ? nullptr : groupOf(list, static_cast<int>(selected));
    SetDlgItemTextA(m_hwnd, IDC_EDITOR_DESCRIPTION, group ? group->description.c_str() : "");
}

void CEditorsPage::toggle(int index)
{
    HWND list = item(IDC_EDITOR_LIST);
    if (CFileGroup* group = groupOf(list, index)) {
        group->checked = !group->checked;
        RECT r;
        if (SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
            InvalidateRect(list, &r, FALSE);
    }
}

int CEditorsPage::boxSide() const
{
    LRESULT height = SendMessageA(item(IDC_EDITOR_LIST), LB_GETITEMHEIGHT, 0, 0);
    return height > 4 ? static_cast<int>(height) - 4 : 1;
}

LRESULT CALLBACK CEditorsPage::ListProc(HWND list, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* page = static_cast<CEditorsPage*>(GetPropA(list, kPageProperty));
    if (!page)
        return DefWindowProcA(list, msg, wp, lp);
    WNDPROC original = page->m_listProc;
    if (msg == WM_LBUTTONDOWN) {
        POINT at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        LRESULT hit = SendMessageA(list, LB_ITEMFROMPOINT, 0, lp);
        int index = LOWORD(hit);
        RECT r;
        if (HIWORD(hit) == 0 &&
            SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
            int side = page->boxSide();
            RECT box = {r.left + 2, r.top + 2, r.left + 2 + side, r.top + 2 + side};
            if (PtInRect(&box, at))
                page->toggle(index);
        }
    } else if (msg == WM_CHAR && wp == ' ') {
        LRESULT current = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (current != LB_ERR)
            page->toggle(static_cast<int>(current));
        return 0;
    } else if (msg == WM_NCDESTROY) {
        RemovePropA(list, kPageProperty);
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    }
    return CallWindowProcA(original, list, msg, wp, lp);
}

void CEditorsPage::drawLine(const DRAWITEMSTRUCT& d) const
{
    if (d.itemID == static_cast<UINT>(-1))
        return;
    // A change of focus alone draws nothing.
    if (!(d.itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return;
    bool selected = (d.itemState & ODS_SELECTED) != 0;
    COLORREF back = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    COLORREF fore = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    COLORREF oldBack = SetBkColor(d.hDC, back);
    COLORREF oldFore = SetTextColor(d.hDC, fore);

    char text[256] = {};
    LRESULT length = SendMessageA(d.hwndItem, LB_GETTEXTLEN, d.itemID, 0);
    if (length > 0 && length < static_cast<LRESULT>(sizeof text))
        SendMessageA(d.hwndItem, LB_GETTEXT, d.itemID, reinterpret_cast<LPARAM>(text));
    const RECT& r = d.rcItem;
    int side = (r.bottom - r.top) - 4;
    SIZE size = {};
    GetTextExtentPoint32A(d.hDC, text, lstrlenA(text), &size);
    int x = r.left + side + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    int y = r.top + ((r.bottom - r.top) - size.cy) / 2;
    if (y < r.top)
        y = r.top;
    ExtTextOutA(d.hDC, x, y, ETO_OPAQUE, &r, text, lstrlenA(text), nullptr);

    CGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, fore));
    CSelectObject usePen(d.hDC, pen.get());
    CSelectObject noFill(d.hDC, GetStockObject(NULL_BRUSH));
    RECT box = {r.left + 2, r.top + 2, r.left + 2 + side, r.top + 2 + side};
    Rectangle(d.hDC, box.left, box.top, box.right, box.bottom);
    auto* group = reinterpret_cast<const CFileGroup*>(d.itemData);
    if (group && group->checked) {
        MoveToEx(d.hDC, box.left, box.top, nullptr);
        LineTo(d.hDC, box.right - 1, box.bottom - 1);
        MoveToEx(d.hDC, box.left, box.bottom - 1, nullptr);
        LineTo(d.hDC, box.right - 1, box.top);
    }
    SetBkColor(d.hDC, oldBack);
    SetTextColor(d.hDC, oldFore);
}

bool CEditorsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result)
{
    if (msg == WM_DRAWITEM && wp == IDC_EDITOR_LIST) {
        drawLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        result = TRUE;
        return true;
    }
    return CPage::OnMessage(msg, wp, lp, result);
}

bool CEditorsPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_EDITOR_LIST && code == LBN_SELCHANGE) {
        showDescription();
        return true;
    }
    if (id == IDC_EDITOR_MANUAL && code == BN_CLICKED) {
        m_manual = true;
        SetDlgItemTextA(m_hwnd, IDC_PAGE_TEXT, LoadResourceString(IDS_EDITORS_MANUAL).c_str());
        fill();
        return true;
    }
    return CPage::OnCommand(id, code, control);
}

void CEditorsPage::OnNext()
{
    CInstallApp& app = CInstallApp::get();
    for (auto& entry : app.groups) {
        CFileGroup& group = *entry.second;
        if (group.selectable)
            group.selected = group.checked;
    }
    // An editor is set up exactly when its line is ticked: its files are
    // then copied. One without a group of its own in the profile has no
    // files to set up with.
    for (CEditor& editor : app.editors) {
        auto group = app.groups.find(editor.groupName);
        editor.present = group != app.groups.end() && group->second->selectable &&
                         group->second->checked;
    }

    // The drive of the installation folder must hold the selected files in
    // whole clusters, or the user must say to go on all the same.
    auto zero = app.destinations.find(kDestInstallFolder);
    if (zero != app.destinations.end() && !zero->second->path.empty()) {
        const CPath& folder = zero->second->path;
        std::int64_t required = EstimateSpace(app, folder.clusterSize());
        std::uint64_t available = folder.freeBytes();
        if (required > 0 && available < static_cast<std::uint64_t>(required)) {
            // Unattended, nobody can free the space: the run fails.
            if (app.quietMode) {
                app.LogEvent("Not enough free space on %s: %lld bytes needed, %llu free",
                             folder.text().c_str(), static_cast<long long>(required),
                             static_cast<unsigned long long>(available));
                FailRun();
                return;
            }
            CFreeSpaceWarning warning(folder.text(), required, available);
            if (warning.Run(m_hwnd) != IDOK)
                return;
        }
    }
    ShowPage(next, false);
}
