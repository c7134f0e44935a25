// Page 126: the user's name and entity. An earlier installation's record
// fixes them; otherwise the profile may suggest them and the user types.
#pragma once

#include "ui/page.h"

class CUserDataPage : public CPage {
public:
    // "Seguent >" needs a name longer than this.
    static constexpr std::size_t kShortestName = 4;

    CUserDataPage() : CPage(IDD_PAGE_USER_DATA, IDD_PAGE_COPY, true) {}

    bool NextAllowed() const override;

protected:
    // The user data of the profile (or of an earlier installation).
    void Prepare() override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
};
