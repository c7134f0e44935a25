// A small robot for end-to-end runs: finds a top-level window by its caption
// and presses buttons in it, reads control texts or reports where it is.
//
//   uirobot wait CAPTION [SECONDS]        wait until the window is there
//   uirobot gone CAPTION [SECONDS]        wait until no such window is left
//   uirobot click CAPTION ID [SECONDS]    wait for it, then press button ID
//   uirobot text CAPTION ID [SECONDS]     print the text of control ID
//   uirobot items CAPTION ID [SECONDS]    print the lines of list box ID
//   uirobot enabled CAPTION ID [SECONDS]  exit 0 when control ID is enabled
//   uirobot shown CAPTION ID [SECONDS]    exit 0 when control ID is visible
//   uirobot rect CAPTION [SECONDS]        print "X Y WIDTH HEIGHT" on screen
//   uirobot settext CAPTION ID TEXT [SECONDS]  put TEXT into control ID
//   uirobot key CAPTION ID TEXT [SECONDS]      type TEXT's characters into control ID
//   uirobot close CLASS [SECONDS]          close the top-level window of that class
//   uirobot captions                       print each visible top-level window's
//                                          caption and class, a line each
//
// A CAPTION ending in "*" matches every caption that begins with the rest,
// so captions with accented letters can be named from any shell.
// Exit codes: 0 done, 1 usage, 2 the wait ran out, 3 no such control,
// 4 the control is disabled or hidden.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchId(HWND hwnd, LPARAM lp)
{
    auto* search = reinterpret_cast<ControlSearch*>(lp);
    if (GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A control anywhere inside the window, child dialogs included.
HWND findControl(HWND window, int id)
{
    ControlSearch search = {id, nullptr};
    EnumChildWindows(window, matchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct Search {
    const char* caption;
    int id;  // when not 0, only windows holding that control count
    HWND found;
    HWND foundOther;
};

bool isDialog(HWND hwnd)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return std::string(cls) == "#32770";
}

BOOL CALLBACK matchCaption(HWND hwnd, LPARAM lp)
{
    auto* search = reinterpret_cast<Search*>(lp);
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    std::string wanted = search->caption;
    std::string caption = text;
    bool match = !wanted.empty() && wanted.back() == '*'
                     ? caption.compare(0, wanted.size() - 1, wanted, 0, wanted.size() - 1) == 0
                     : caption == wanted;
    if (IsWindowVisible(hwnd) && match && (search->id == 0 || findControl(hwnd, search->id))) {
        // Dialogs first: a page may share its caption with the main window.
        if (isDialog(hwnd)) {
            search->found = hwnd;
            return FALSE;
        }
        if (!search->foundOther)
            search->foundOther = hwnd;
    }
    return TRUE;
}

HWND findWindow(const char* caption, int id = 0)
{
    Search search = {caption, id, nullptr, nullptr};
    EnumWindows(matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found ? search.found : search.foundOther;
}

// Polls for the condition until the time runs out.
template <class Condition>
bool waitFor(double seconds, Condition condition)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > static_cast<DWORD>(seconds * 1000))
            return false;
        Sleep(50);
    }
}

int usage()
{
    std::fprintf(stderr, "usage: uirobot wait|gone|click|text|items|enabled|shown|rect|settext|key CAPTION [ID] [TEXT] [SECONDS]\n"
                         "       uirobot close CLASS [SECONDS]\n");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "captions") {
        EnumWindows(
            [](HWND hwnd, LPARAM) -> BOOL {
                if (!IsWindowVisible(hwnd))
                    return TRUE;
                char text[256] = {}, windowClass[128] = {};
                GetWindowTextA(hwnd, text, sizeof text);
                GetClassNameA(hwnd, windowClass, sizeof windowClass);
                std::printf("\"%s\" %s\n", text, windowClass);
                return TRUE;
            },
            0);
        return 0;
    }
    if (argc < 3)
        return usage();
    std::string verb = argv[1];
    const char* caption = argv[2];
    bool needsText = verb == "settext" || verb == "key";
    bool needsId = verb == "click" || verb == "text" || verb == "items" || verb == "enabled" ||
                   verb == "shown" || needsText;
    if ((needsId && argc < 4) || (needsText && argc < 5))
        return usage();
    int id = needsId ? std::atoi(argv[3]) : 0;
    int secondsArg = needsText ? 5 : needsId ? 4 : 3;
    double seconds = argc > secondsArg ? std::atof(argv[secondsArg]) : 20.0;

    if (verb == "close") {
        // As a person closes a window from its caption (the window of that
        // class: the main window's caption may be empty).
        HWND window = nullptr;
        if (!waitFor(seconds, [&] { return (window = FindWindowA(caption, nullptr)) != nullptr; })) {
            std::fprintf(stderr, "uirobot: no window of class \"%s\"\n", caption);
            return 2;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (verb == "gone") {
        if (waitFor(seconds, [&] { return findWindow(caption) == nullptr; }))
            return 0;
        std::fprintf(stderr, "uirobot: \"%s\" is still there\n", caption);
        return 2;
    }

    HWND window = nullptr;
    // With a control id, the window must hold that control: several windows
    // of the run may share a caption.
    if (!waitFor(seconds, [&] { return (window = findWindow(caption, id)) != nullptr; })) {
        std::fprintf(stderr, "uirobot: no window \"%s\"\n", caption);
        return 2;
    }
    if (verb == "wait")
        return 0;
    if (verb == "rect") {
        RECT r;
        GetWindowRect(window, &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }

    HWND control = findControl(window, id);
    if (!control) {
        std::fprintf(stderr, "uirobot: \"%s\" has no control %d\n", caption, id);
        return 3;
    }
    if (verb == "text") {
        // WM_GETTEXT: GetWindowText doesn't ask a control of another process.
        // The installer may be busy for a moment (a page coming up, a file
        // being finished): ask again until it answers or the time runs out.
        static char text[65536];
        DWORD_PTR ignored = 0;
        bool answered = waitFor(seconds, [&] {
            return SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                       SMTO_ABORTIFHUNG, 2000, &ignored) != 0;
        });
        if (!answered) {
            std::fprintf(stderr, "uirobot: control %d of \"%s\" did not answer\n", id, caption);
            return 2;
        }
        std::printf("%s\n", text);
        return 0;
    }
    if (verb == "items") {
        // A list box's lines are not its window text: ask for each one. The
        // line crosses between the processes in its wide form only.
        LRESULT count = SendMessageW(control, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            static wchar_t wide[1024];
            static char line[4096];
            LRESULT length = SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            if (length < 0 || length >= static_cast<LRESULT>(sizeof wide / sizeof wide[0]))
                continue;
            wide[0] = 0;
            SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, line, sizeof line, nullptr, nullptr);
            std::printf("%s\n", line);
        }
        return 0;
    }
    // A person waits for a button to come alive: both wait, within the time
    // given (none: a single look).
    auto enabledInTime = [&] { return waitFor(seconds, [&] { return IsWindowEnabled(control) != FALSE; }); };
    // Every "no" says why: a status without a word is Wine's, not the robot's.
    auto no = [&](const char* what) {
        std::fprintf(stderr, "uirobot: control %d of \"%s\" %s\n", id, caption, what);
        return 4;
    };
    if (verb == "enabled")
        return enabledInTime() ? 0 : no("is disabled");
    if (verb == "shown")
        return waitFor(seconds, [&] { return IsWindowVisible(control) != FALSE; }) ? 0 : no("is hidden");
    if (verb == "key") {
        // Typed keys go to the control as characters.
        for (const char* c = argv[4]; *c; ++c)
            PostMessageA(control, WM_CHAR, static_cast<unsigned char>(*c), 1);
        return 0;
    }
    if (verb == "settext") {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        return 0;
    }
    if (verb == "click") {
        if (!enabledInTime()) {
            std::fprintf(stderr, "uirobot: control %d of \"%s\" is disabled\n", id, caption);
            return 4;
        }
        // The notification goes to the control's own dialog (a page's bar).
        PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
        return 0;
    }
    return usage();
}
