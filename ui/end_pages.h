// The pages that only inform: the end of an installation or uninstallation,
// the failure page and the uninstall confirmation.
#pragma once

#include "ui/page.h"

// 115: the installation is finished; "Finalitzar" ends the run.
class CDonePage : public CPage {
public:
    CDonePage() : CPage(IDD_PAGE_DONE, kEndOfRun, false) {}
};

// 116: the run did not finish. Shown as its template places it, without
// work; in uninstall mode its caption and text speak of the uninstallation.
class CFailedPage : public CPage {
public:
    CFailedPage() : CPage(IDD_PAGE_FAILED, kEndOfRun, false) {}

protected:
    bool OnInitDialog() override;
};

// 1545: the uninstall confirmation; cancelling needs no question.
class CUninstallConfirmPage : public CPage {
public:
    CUninstallConfirmPage() : CPage(IDD_PAGE_UNINSTALL_CONFIRM, IDD_PAGE_READING, true) {}
    bool ConfirmCancel() override { return true; }
};

// 1547: the product was uninstalled. There is no way back: the pages
// before it have done their work.
class CUninstalledPage : public CPage {
public:
    CUninstalledPage() : CPage(IDD_PAGE_UNINSTALLED, kEndOfRun, true) {}
    bool BackAllowed() const override { return false; }

protected:
    // Says so when files in use go only at the next start of Windows.
    bool OnInitDialog() override;
};
