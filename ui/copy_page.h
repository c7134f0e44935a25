// Page 108: copying, with the source and destination file and the gauge.
// Its own cancel button only sets a request that the copy loop honours.
#pragma once

#include "copy/copy_engine.h"
#include "ui/gauge.h"
#include "ui/page.h"

#include <string>

class CCopyPage : public CPage, public CCopyView {
public:
    static constexpr DWORD kGaugeStyle = 0x50800000;  // visible, bordered child

    CCopyPage() : CPage(IDD_PAGE_COPY, IDD_PAGE_REGISTERING, false) {}

    int DoWork() override;

    CGauge& gauge() { return m_gauge; }

    // What the copy engine shows and asks. Texts that didn't change are not
    // set again, the destination name changes at most every kNameInterval
    // ms, and the gauge is repainted only when its figure changes: the
    // engine reports every 4096 bytes.
    static constexpr DWORD kNameInterval = 50;
    void ShowSource(const std::string& name) override;
    void ShowDestination(const std::string& path) override;
    void SetGaugeRange(std::uint32_t lowest, std::uint32_t highest) override;
    void SetGaugePosition(std::uint32_t position) override;
    bool CancelRequested() const override { return m_cancelRequested; }
    void ClearCancelRequest() override { m_cancelRequested = false; }
    bool ConfirmCancel() override { return CPage::ConfirmCancel(); }
    void FailTo() override { next = IDD_PAGE_FAILED; }
    int Successor() const override { return next; }
    void StartBillboards(std::uint32_t total) override;
    void ShowBillboardFor(std::uint32_t done) override;
    void EndBillboards() override;

protected:
    bool OnInitDialog() override;
    void OnCancel() override { m_cancelRequested = true; }
    void PlacePage() override;

private:
    CGauge m_gauge;
    std::string m_source;
    std::string m_destination;
    DWORD m_destinationShownAt = 0;
    int m_shownPercent = -2;
    bool m_cancelRequested = false;
};
