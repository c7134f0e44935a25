#include "ui/page_framework.h"

#include "app/install_app.h"
#include "errors/x_exception.h"
#include "ui/main_wnd.h"

void ShowPage(int id, bool backwards)
{
    if (id == -1) {
        CInstallApp& app = CInstallApp::get();
        if (app.mainWnd)
            app.mainWnd->Destroy();
        return;
    }
    // No page of the wizard can be made yet.
    throw CXResourceException();
}

void DestroyPages()
{
}
