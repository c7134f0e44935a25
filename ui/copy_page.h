// Page 108: copying, with the source and destination file and the gauge.
// Its own cancel button only sets a request that the copy loop honours.
#pragma once

#include "ui/gauge.h"
#include "ui/page.h"

#include <string>

class CCopyPage : public CPage {
public:
    static constexpr int kSourceField = 1008;
    static constexpr int kDestinationField = 1009;
    static constexpr int kGaugePlaceholder = 1010;
    static constexpr DWORD kGaugeStyle = 0x50800000;  // visible, bordered child

    CCopyPage() : CPage(kPageCopy, kPageRegistering, false) {}

    int DoWork() override;

    CGauge& gauge() { return m_gauge; }
    // The two file fields; a text that didn't change is not set again.
    void ShowFiles(const std::string& source, const std::string& destination);

    bool cancelRequested() const { return m_cancelRequested; }
    void clearCancelRequest() { m_cancelRequested = false; }

protected:
    bool OnInitDialog() override;
    void OnCancel() override { m_cancelRequested = true; }
    void PlacePage() override;

private:
    CGauge m_gauge;
    std::string m_source;
    std::string m_destination;
    bool m_cancelRequested = false;
};
