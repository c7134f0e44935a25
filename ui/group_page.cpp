#include "ui/group_page.h"

#include "app/install_app.h"
#include "platform/registry.h"
#include "system/group_manager.h"
#include "ui/page_framework.h"

bool CGroupPage::OnInitDialog()
{
    CInstallApp& app = CInstallApp::get();
    if (!app.batchMode) {
        CGroupManager manager;
        manager.ListGroups(item(kGroups));
    }
    SetDlgItemTextA(m_hwnd, kName, app.groupName.c_str());
    CheckRadioButton(m_hwnd, kNewGroup, kExistingGroup, kNewGroup);
    // The group of an earlier installation can't be changed.
    if (CRegKey::exists(HKEY_CURRENT_USER, kProductKey))
        for (int id : {kName, kNewGroup, kExistingGroup, kGroups})
            EnableWindow(item(id), FALSE);
    return CPage::OnInitDialog();
}

bool CGroupPage::OnCommand(int id, int code, HWND control)
{
    if (id == kName && code == EN_CHANGE && GetFocus() == control) {
        CheckRadioButton(m_hwnd, kNewGroup, kExistingGroup, kNewGroup);
        return true;
    }
    if (id == kGroups && code == LBN_SELCHANGE) {
        CheckRadioButton(m_hwnd, kNewGroup, kExistingGroup, kExistingGroup);
        return true;
    }
    if (id == kExistingGroup && code == BN_CLICKED) {
        if (SendMessageA(item(kGroups), LB_GETCURSEL, 0, 0) == LB_ERR)
            SendMessageA(item(kGroups), LB_SETCURSEL, 0, 0);
        return false;
    }
    return CPage::OnCommand(id, code, control);
}

void CGroupPage::OnNext()
{
    CInstallApp& app = CInstallApp::get();
    if (IsDlgButtonChecked(m_hwnd, kNewGroup) == BST_CHECKED) {
        app.groupName = itemText(kName);
    } else {
        HWND list = item(kGroups);
        LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (selected != LB_ERR) {
            char name[256] = {};
            if (SendMessageA(list, LB_GETTEXTLEN, selected, 0) < static_cast<LRESULT>(sizeof name))
                SendMessageA(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(name));
            app.groupName = name;
        }
    }
    ShowPage(next, false);
}
