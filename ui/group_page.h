// Page 106: the name of the program group, new or one the Program Manager
// already has.
#pragma once

#include "ui/page.h"

class CGroupPage : public CPage {
public:
    static constexpr int kNewGroup = 1004;
    static constexpr int kExistingGroup = 1005;
    static constexpr int kName = 1006;
    static constexpr int kGroups = 1007;

    CGroupPage() : CPage(kPageGroup, kPageUserData, true) {}

    void OnNext() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
};
