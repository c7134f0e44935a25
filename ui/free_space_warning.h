// "Espai insuficient al disc": the warning shown when the installation
// folder's drive has less free space than the selected files need.
#pragma once

#include "platform/dialog.h"
#include "resources/resource.h"

#include <cstdint>
#include <string>

class CFreeSpaceWarning : public CDialog {
public:
    CFreeSpaceWarning(std::string folder, std::int64_t needed, std::uint64_t available)
        : CDialog(IDD_FREE_SPACE), m_folder(std::move(folder)), m_needed(needed), m_available(available) {}

    // IDOK lets the run go on; IDCANCEL keeps it where it is.
    INT_PTR Run(HWND owner) { return DoModal(owner); }

    // "X:" of the folder; the whole folder text when it names no drive.
    static std::string DriveOf(const std::string& folder);

protected:
    bool OnInitDialog() override;

private:
    std::string m_folder;
    std::int64_t m_needed;
    std::uint64_t m_available;
};
