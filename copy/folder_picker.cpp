#include "copy/folder_picker.h"

#include "platform/dialog.h"
#include "platform/path.h"
#include "platform/resource_string.h"
#include "platform/system_function.h"
#include "resources/resource.h"

#include <commdlg.h>
#include <dlgs.h>

#include <vector>

namespace {

// Posted after a change of folder or drive, once the dialog has moved there.
constexpr UINT kFollowFolder = WM_APP + 17;

struct CPickerState {
    bool editable = false;
    bool accepted = false;
    std::string address;
};

// The folder the dialog is showing: its current directory.
std::string currentFolder()
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? WithTrailingBackslash(buffer) : std::string();
}

void showAddress(HWND dialog, const CPickerState& state)
{
    SetDlgItemTextA(dialog, IDC_PICKER_ADDRESS_EDIT, state.address.c_str());
    SetDlgItemTextA(dialog, IDC_PICKER_ADDRESS_TEXT, state.address.c_str());
}

void showBlankAddressMessage(HWND owner)
{
    MessageBoxA(owner, LoadResourceString(IDS_ADDRESS_BLANK).c_str(),
                LoadResourceString(IDS_CAPTION).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// Wine's dialog makes the folder and drive items as tall as their icons,
// which cuts the names off once the font is taller (144 DPI).
void fitItemsToFont(HWND dialog)
{
    HWND folders = GetDlgItem(dialog, lst2);
    HDC dc = folders ? GetDC(folders) : nullptr;
    if (!dc)
        return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(folders, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    if (old)
        SelectObject(dc, old);
    ReleaseDC(folders, dc);
    if (SendMessageA(folders, LB_GETITEMHEIGHT, 0, 0) < tm.tmHeight)
        SendMessageA(folders, LB_SETITEMHEIGHT, 0, tm.tmHeight);
    HWND drives = GetDlgItem(dialog, cmb2);
    if (drives && SendMessageA(drives, CB_GETITEMHEIGHT, 0, 0) < tm.tmHeight)
        SendMessageA(drives, CB_SETITEMHEIGHT, 0, tm.tmHeight);
}

UINT_PTR CALLBACK pickerHook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* state = reinterpret_cast<CPickerState*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
        state = reinterpret_cast<CPickerState*>(ofn->lCustData);
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        // Only the folder and drive lists matter.
        for (int id : {edt1, lst1, stc3, stc2, cmb1, chx1, pshHelp, stc1})
            if (HWND control = GetDlgItem(dialog, id))
                ShowWindow(control, SW_HIDE);
        ShowWindow(GetDlgItem(dialog, state->editable ? IDC_PICKER_ADDRESS_TEXT : IDC_PICKER_ADDRESS_EDIT), SW_HIDE);
        showAddress(dialog, *state);
        fitItemsToFont(dialog);
        CentreWindowOnOwner(dialog);
        return TRUE;
    }
    case WM_COMMAND: {
        if (!state)
            return FALSE;
        int id = LOWORD(wp), code = HIWORD(wp);
        if ((id == lst2 && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) ||
            (id == cmb2 && code == CBN_SELCHANGE)) {
            PostMessageA(dialog, kFollowFolder, 0, 0);
            return FALSE;
        }
        if (id == IDOK) {
            std::string address = state->editable ? WindowText(GetDlgItem(dialog, IDC_PICKER_ADDRESS_EDIT)) : state->address;
            if (address.empty()) {
                showBlankAddressMessage(dialog);
                return TRUE;
            }
            state->address = address;
            state->accepted = true;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    case kFollowFolder:
        if (state) {
            std::string folder = currentFolder();
            if (!folder.empty()) {
                state->address = folder;
                showAddress(dialog, *state);
            }
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

std::string NearestExistingFolder(const std::string& folder,
                                  const std::function<bool(const std::string&)>& exists)
{
    std::string current = WithTrailingBackslash(folder);
    CPath path(current);
    std::string root = path.drive().empty() ? std::string("\\") : path.drive() + ":\\";
    while (!current.empty() && current != root && !exists(current)) {
        // Drop the last folder level.
        std::string trimmed = current.substr(0, current.size() - 1);
        std::size_t slash = trimmed.find_last_of('\\');
        if (slash == std::string::npos)
            return root;
        current = trimmed.substr(0, slash + 1);
    }
    return current.empty() ? root : current;
}

bool RunPicker(HWND owner, std::string& folder, bool editable)
{
    if (folder.empty()) {
        showBlankAddressMessage(owner);
        return false;
    }
    CPickerState state;
    state.editable = editable;
    state.address = folder;
    std::string start =
        NearestExistingFolder(folder, [](const std::string& f) { return CPath(f).isFolder(); });

    // The dialog moves the current directory as the user browses; keep ours.
    char saved[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof saved, saved);

    char fileName[MAX_PATH] = "jet.jet";
    static const char filter[] = "AllFiles (*.*)\0*.*\0\0";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = sizeof fileName;
    ofn.lpstrInitialDir = start.c_str();
    // The dialog would call itself "Save As" otherwise.
    std::string title = LoadResourceString(IDS_PICKER_TITLE);
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_FOLDER_PICKER);
    ofn.lpfnHook = pickerHook;
    ofn.lCustData = reinterpret_cast<LPARAM>(&state);
    using SaveFileName = BOOL(WINAPI*)(LPOPENFILENAMEA);
    if (auto getSaveFileName = SystemFunction<SaveFileName>("comdlg32.dll", "GetSaveFileNameA"))
        getSaveFileName(&ofn);
    SetCurrentDirectoryA(saved);

    if (!state.accepted)
        return false;
    folder = state.address;
    return true;
}
