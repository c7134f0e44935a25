// A dialog with a short and a full form. An invisible marker control's
// (IDC_EXPAND_MARKER) bottom-right corner ends the compact area; a toggle
// button (IDC_EXPAND_TOGGLE) whose text holds ">>" switches between the forms. Children outside the compact area are
// disabled while the dialog is short.
#pragma once

#include "platform/dialog.h"

#include <vector>

class CExpandableDialog : public CDialog {
public:
    explicit CExpandableDialog(int templateId) : CDialog(templateId) {}

    void Expand();
    void Collapse();

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    RECT compactClientArea() const;
    void setToggleText(const char* from, const char* to);

    RECT m_fullWindow = {};
    std::vector<HWND> m_disabled;
    bool m_expanded = true;
};
