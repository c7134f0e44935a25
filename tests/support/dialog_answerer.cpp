#include "tests/support/dialog_answerer.h"

#include <algorithm>

namespace {
CDialogAnswerer* g_active = nullptr;

std::string windowText(HWND hwnd)
{
    char buffer[2048] = {};
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

BOOL CALLBACK collectChild(HWND child, LPARAM lp)
{
    auto* seen = reinterpret_cast<CSeenDialog*>(lp);
    seen->items.emplace_back(GetDlgCtrlID(child), windowText(child));
    return TRUE;
}

bool isDialog(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}
} // namespace

std::string CSeenDialog::text(int id) const
{
    for (const auto& item : items)
        if (item.first == id)
            return item.second;
    return std::string();
}

std::string CSeenDialog::allText() const
{
    std::string all;
    for (const auto& item : items) {
        if (!all.empty())
            all += '\n';
        all += item.second;
    }
    return all;
}

CSeenDialog SnapshotDialog(HWND dialog)
{
    CSeenDialog seen;
    seen.caption = windowText(dialog);
    EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&seen));
    return seen;
}

CDialogAnswerer::Action CDialogAnswerer::Press(int id)
{
    return [id](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
}

CDialogAnswerer::Action CDialogAnswerer::Close()
{
    return [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
}

CDialogAnswerer::Action CDialogAnswerer::Sequence(std::vector<Action> actions)
{
    return [actions](HWND dialog) {
        for (const Action& action : actions)
            if (IsWindow(dialog))
                action(dialog);
    };
}

CDialogAnswerer::CDialogAnswerer(std::vector<Action> actions) : m_actions(std::move(actions))
{
    g_active = this;
    m_hook = SetWindowsHookExA(WH_CBT, &CDialogAnswerer::CbtProc, nullptr, GetCurrentThreadId());
}

CDialogAnswerer::~CDialogAnswerer()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    if (g_active == this)
        g_active = nullptr;
}

LRESULT CALLBACK CDialogAnswerer::CbtProc(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && g_active) {
        HWND hwnd = reinterpret_cast<HWND>(wp);
        auto& known = g_active->m_known;
        if (isDialog(hwnd) && std::find(known.begin(), known.end(), hwnd) == known.end()) {
            known.push_back(hwnd);
            g_active->m_pending.push_back(hwnd);
            SetTimer(nullptr, 0, 10, &CDialogAnswerer::TimerProc);
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

void CALLBACK CDialogAnswerer::TimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (!g_active || g_active->m_pending.empty())
        return;
    HWND dialog = g_active->m_pending.front();
    // Only modal dialogs and message boxes are answered: they disable their
    // owner. A modeless one (a wizard page) leaves it enabled.
    HWND owner = GetWindow(dialog, GW_OWNER);
    bool modal = IsWindow(dialog) && !(owner && IsWindowEnabled(owner));
    // A modal dialog is shown once its loop first runs idle, which may come
    // after its activation: a person can't answer it before it is seen.
    if (modal && !IsWindowVisible(dialog)) {
        SetTimer(nullptr, 0, 10, &CDialogAnswerer::TimerProc);
        return;
    }
    g_active->m_pending.erase(g_active->m_pending.begin());
    if (modal)
        g_active->answer(dialog);
}

void CDialogAnswerer::answer(HWND dialog)
{
    m_seen.push_back(SnapshotDialog(dialog));
    if (m_next < m_actions.size())
        m_actions[m_next++](dialog);
    else
        PostMessageA(dialog, WM_CLOSE, 0, 0);
}
