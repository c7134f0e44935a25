#include "ui/reading_page.h"

#include "app/install_app.h"
#include "profile/install_profile.h"

int CReadingPage::DoWork()
{
    CInstallApp& app = CInstallApp::get();
    ReadProfile(app, app.profilePath.text());
    return next;
}
