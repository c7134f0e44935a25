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
        manager.ListGroups(item(IDC_GROUP_LIST));
    }
    SetDlgItemTextA(m_hwnd, IDC_GROUP_NAME, app.groupName.c_str());
    CheckRadioButton(m_hwnd, IDC_GROUP_NEW, IDC_GROUP_EXISTING, IDC_GROUP_NEW);
    // The group of an earlier installation can't be changed.
    if (app.previousInstall)
        for (int id : {IDC_GROUP_NAME, IDC_GROUP_NEW, IDC_GROUP_EXISTING, IDC_GROUP_LIST})
            EnableWindow(item(id), FALSE);
    return CPage::OnInitDialog();
}

bool CGroupPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_GROUP_NAME && code == EN_CHANGE && GetFocus() == control) {
        CheckRadioButton(m_hwnd, IDC_GROUP_NEW, IDC_GROUP_EXISTING, IDC_GROUP_NEW);
        return true;
    }
    if (id == IDC_GROUP_LIST && code == LBN_SELCHANGE) {
        CheckRadioButton(m_hwnd, IDC_GROUP_NEW, IDC_GROUP_EXISTING, IDC_GROUP_EXISTING);
        return true;
    }
    if (id == IDC_GROUP_EXISTING && code == BN_CLICKED) {
        if (SendMessageA(item(IDC_GROUP_LIST), LB_GETCURSEL, 0, 0) == LB_ERR)
            SendMessageA(item(IDC_GROUP_LIST), LB_SETCURSEL, 0, 0);
        return false;
    }
    return CPage::OnCommand(id, code, control);
}

void CGroupPage::OnNext()
{
    CInstallApp& app = CInstallApp::get();
    // Without a window the new group keeps the profile's name.
    if (!m_hwnd) {
        ShowPage(next, false);
        return;
    }
    if (IsDlgButtonChecked(m_hwnd, IDC_GROUP_NEW) == BST_CHECKED) {
        app.groupName = itemText(IDC_GROUP_NAME);
    } else {
        HWND list = item(IDC_GROUP_LIST);
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
