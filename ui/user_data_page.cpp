#include "ui/user_data_page.h"

#include "app/install_app.h"
#include "platform/registry.h"
#include "profile/install_profile.h"
#include "profile/profile_file.h"

bool CUserDataPage::NextAllowed() const
{
    return CPage::NextAllowed() && CInstallApp::get().userInfo.name.size() > kShortestName;
}

void CUserDataPage::Prepare()
{
    CInstallApp& app = CInstallApp::get();
    CProfileFile profile;
    LoadInstallProfile(app, app.profilePath.text(), profile);
    app.userInfo.Read(profile);
}

bool CUserDataPage::OnInitDialog()
{
    CInstallApp& app = CInstallApp::get();
    // The user data of an earlier installation can't be changed.
    if (app.previousInstall) {
        EnableWindow(item(IDC_USER_NAME), FALSE);
        EnableWindow(item(IDC_USER_COMPANY), FALSE);
    }
    CPage::OnInitDialog();
    Prepare();
    SetDlgItemTextA(m_hwnd, IDC_USER_NAME, app.userInfo.name.c_str());
    SetDlgItemTextA(m_hwnd, IDC_USER_COMPANY, app.userInfo.company.c_str());
    EnableNavigation(true);
    SetFocus(item(IDC_USER_NAME));
    return false;
}

bool CUserDataPage::OnCommand(int id, int code, HWND control)
{
    if (code == EN_CHANGE && (id == IDC_USER_NAME || id == IDC_USER_COMPANY)) {
        CUserInfo& info = CInstallApp::get().userInfo;
        (id == IDC_USER_NAME ? info.name : info.company) = itemText(id);
        if (id == IDC_USER_NAME)
            EnableNavigation(true);
        return true;
    }
    return CPage::OnCommand(id, code, control);
}
