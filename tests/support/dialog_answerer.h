// Answers the message boxes and modal dialogs that code under test opens on
// this thread, so that tests never wait on a person; modeless dialogs (the
// wizard's pages) are left alone. A thread CBT hook sees
// each dialog become active; a thread timer then, inside the dialog's own
// modal loop, records its texts and performs the next action.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct CSeenDialog {
    std::string caption;
    std::vector<std::pair<int, std::string>> items;  // control id, text

    // The text of the first control with this id; empty when none.
    std::string text(int id) const;
    // Every control text, joined by newlines.
    std::string allText() const;
};

class CDialogAnswerer {
public:
    using Action = std::function<void(HWND)>;

    // Sends the button's click notification.
    static Action Press(int id);
    // Closes the dialog through its system menu (WM_CLOSE).
    static Action Close();
    // Runs several actions in turn on the same dialog.
    static Action Sequence(std::vector<Action> actions);

    // Each dialog that appears gets the next action; dialogs beyond the list
    // are closed with WM_CLOSE so a test can't hang.
    explicit CDialogAnswerer(std::vector<Action> actions);
    ~CDialogAnswerer();
    CDialogAnswerer(const CDialogAnswerer&) = delete;
    CDialogAnswerer& operator=(const CDialogAnswerer&) = delete;

    const std::vector<CSeenDialog>& seen() const { return m_seen; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    void answer(HWND dialog);

    HHOOK m_hook = nullptr;
    std::vector<Action> m_actions;
    std::vector<CSeenDialog> m_seen;
    std::vector<HWND> m_pending;
    std::vector<HWND> m_known;
    std::size_t m_next = 0;
};

// Snapshot of a window's caption and child control texts.
CSeenDialog SnapshotDialog(HWND dialog);
