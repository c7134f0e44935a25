#include "errors/error_dialog.h"

#include "errors/x_exception.h"
#include "platform/expandable_dialog.h"
#include "platform/gdi.h"
#include "platform/win_app.h"
#include "platform/wnd.h"
#include "resources/resource.h"

#include <cstdarg>
#include <functional>
#include <cstdio>
#include <new>

namespace {

constexpr std::size_t kMessageSize = 512;

class CErrorDialog : public CExpandableDialog {
public:
    CErrorDialog(const CErrorTexts& texts, bool twoButtons)
        : CExpandableDialog(IDD_ERROR), m_texts(texts), m_twoButtons(twoButtons) {}

protected:
    bool OnInitDialog() override
    {
        CExpandableDialog::OnInitDialog();
        SendDlgItemMessageA(m_hwnd, IDC_ERR_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
        SetDlgItemTextA(m_hwnd, IDC_ERR_MESSAGE, m_texts.message.c_str());
        SetDlgItemTextA(m_hwnd, IDC_ERR_TITLE, m_texts.title.c_str());
        SetDlgItemTextA(m_hwnd, IDC_ERR_EXPLANATION, m_texts.explanation.c_str());
        SetDlgItemTextA(m_hwnd, IDC_ERR_REFERENCE, m_texts.reference.c_str());

        m_font.reset(CreatePointFont(m_hwnd, "Arial", 8, FW_NORMAL));
        if (m_font) {
            SendDlgItemMessageA(m_hwnd, IDC_ERR_EXPLANATION, WM_SETFONT,
                                reinterpret_cast<WPARAM>(m_font.get()), TRUE);
            SendDlgItemMessageA(m_hwnd, IDC_ERR_REFERENCE, WM_SETFONT,
                                reinterpret_cast<WPARAM>(m_font.get()), TRUE);
        }
        if (m_twoButtons) {
            SetDlgItemTextA(m_hwnd, IDOK, LoadResourceString(IDS_ASK_CONTINUE).c_str());
            SetDlgItemTextA(m_hwnd, IDCANCEL, LoadResourceString(IDS_ASK_CANCEL).c_str());
        } else {
            ShowWindow(item(IDCANCEL), SW_HIDE);
        }
        return true;
    }

    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override
    {
        // The explanation box is painted in the dialog-face colour.
        if (msg == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lp) == item(IDC_ERR_EXPLANATION)) {
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            return true;
        }
        return false;
    }

private:
    CErrorTexts m_texts;
    bool m_twoButtons;
    CGdiObject<HFONT> m_font;
};

HWND dialogOwner()
{
    CWinApp* app = CWinApp::instance();
    if (app && app->mainWindow() && app->mainWindow()->exists())
        return app->mainWindow()->hwnd();
    return nullptr;
}

std::function<void(const std::string&)>& unattendedReport()
{
    static std::function<void(const std::string&)> report;
    return report;
}

bool runDialog(unsigned messageId, const CException& error, const std::string& message,
               bool twoButtons) noexcept
{
    try {
        CErrorTexts texts = ErrorTexts(messageId, error, message.c_str());
        if (unattendedReport()) {
            // Nobody is there to answer: the error stops what was being done.
            unattendedReport()(texts.title + " " + texts.message + " [" + texts.reference + "]");
            return false;
        }
        CErrorDialog dialog(texts, twoButtons);
        return dialog.DoModal(dialogOwner()) == IDOK;
    } catch (...) {
        // The dialog never raises.
        return false;
    }
}

} // namespace

CErrorTexts ErrorTexts(unsigned messageId, const CException& error, const char* message)
{
    // A platform error is shown under its converted class.
    std::unique_ptr<CXException> converted;
    const CXException* family = dynamic_cast<const CXException*>(&error);
    if (!family) {
        converted = toFamily(error);
        family = converted.get();
    }

    CErrorTexts texts;
    texts.message = message ? message : "";
    family->loadMessage();
    texts.title = CXException::sharedTitle();
    texts.explanation = CXException::sharedExplanation();
    char reference[kMessageSize];
    std::snprintf(reference, sizeof reference, "%u.%d (%s)", messageId, family->code,
                  family->className());
    texts.reference = reference;
    return texts;
}

void SetUnattendedErrorReport(std::function<void(const std::string&)> report)
{
    unattendedReport() = std::move(report);
}

void showError(unsigned messageId, const CException& error, ...)
{
    va_list args;
    va_start(args, error);
    std::string message = FormatResourceStringV(kMessageSize, messageId, args);
    va_end(args);
    runDialog(messageId, error, message, false);
}

bool askError(unsigned messageId, const CException& error, ...)
{
    va_list args;
    va_start(args, error);
    std::string message = FormatResourceStringV(kMessageSize, messageId, args);
    va_end(args);
    return runDialog(messageId, error, message, true);
}

void ShowCurrentError(unsigned messageId) noexcept
{
    try {
        try {
            throw;
        } catch (const CException& error) {
            showError(messageId, error);
        } catch (const std::bad_alloc&) {
            showError(messageId, CXMemoryException());
        } catch (...) {
            showError(messageId, CXException(kXUnknownError));
        }
    } catch (...) {
        // Reporting must not fail in turn.
    }
}
