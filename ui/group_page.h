// Page 106: the name of the program group, new or one the Program Manager
// already has.
#pragma once

#include "ui/page.h"

class CGroupPage : public CPage {
public:
    CGroupPage() : CPage(IDD_PAGE_GROUP, IDD_PAGE_USER_DATA, true) {}

    void OnNext() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
};
