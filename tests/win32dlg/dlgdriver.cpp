// Drives the program's dialogs from outside, the way a user would, for the
// end-to-end checks under wine. A top-level window is named by the start of
// its caption; controls by their ids.
//
//   dlgdriver find CAPTION SECONDS         waits for the visible window; prints its caption
//   dlgdriver gone CAPTION SECONDS         waits until no such window is visible
//   dlgdriver controls CAPTION             one line per control (descendants included):
//                                          id class x y w h enabled visible "text" [state]
//   dlgdriver text CAPTION ID              the control's text
//   dlgdriver track CAPTION ID POS         moves a track bar and tells its dialog
//   dlgdriver click CAPTION ID             a click on a button, label or swatch
//   dlgdriver check CAPTION ID 0|1         sets a check box the way a click does
//   dlgdriver select CAPTION ID INDEX      selects a drop-down list's line
//   dlgdriver close CAPTION                the system's close command (Alt+F4)
//   dlgdriver checkbox CAPTION ID LINE     a click on the check box of a check list's line
//   dlgdriver enabled CAPTION              1 when the window takes input, else 0
//   dlgdriver rect CAPTION CLASS           screen rectangle (WxH+X+Y) of the first
//                                          descendant of that window class
//   dlgdriver window CAPTION               the window's screen rectangle (WxH+X+Y),
//                                          then its client size (WxH)
//   dlgdriver dpi CAPTION DPI              tells the window that it moved to a
//                                          monitor of DPI dots per inch
//   dlgdriver key CAPTION KEY              a key press (virtual key code) sent to
//                                          the window's focused control
//
// Exit status 0 on success, 1 when the window or control is missing or a wait
// ran out, 2 for a bad command line.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// Text of a window of another process, through the message the control answers.
std::wstring TextOf(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied))
        return {};
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[128] = {};
    GetClassNameW(window, name, 127);
    return name;
}

struct TFind {
    std::wstring Prefix;
    HWND Found = nullptr;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM data)
{
    auto* find = reinterpret_cast<TFind*>(data);
    if (!IsWindowVisible(window))
        return TRUE;
    wchar_t caption[512] = {};
    GetWindowTextW(window, caption, 511);
    if (std::wcsncmp(caption, find->Prefix.c_str(), find->Prefix.size()) == 0) {
        find->Found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialog(const std::wstring& prefix)
{
    TFind find{prefix, nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&find));
    return find.Found;
}

HWND WaitDialog(const std::wstring& prefix, double seconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = FindDialog(prefix))
            return w;
        if (GetTickCount() - start > static_cast<DWORD>(seconds * 1000))
            return nullptr;
        Sleep(100);
    }
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> Descendants(HWND dialog)
{
    std::vector<HWND> all;
    EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

std::wstring ItemText(HWND window, bool combo, int index)
{
    const LRESULT length = Send(window, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    Send(window, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

// What a control shows beyond its text.
std::string StateOf(HWND window)
{
    const std::wstring cls = ClassOf(window);
    char buf[128];
    if (_wcsicmp(cls.c_str(), TRACKBAR_CLASSW) == 0) {
        std::snprintf(buf, sizeof buf, "pos=%ld range=%ld..%ld", static_cast<long>(Send(window, TBM_GETPOS, 0, 0)),
                      static_cast<long>(Send(window, TBM_GETRANGEMIN, 0, 0)),
                      static_cast<long>(Send(window, TBM_GETRANGEMAX, 0, 0)));
        return buf;
    }
    const bool combo = _wcsicmp(cls.c_str(), L"ComboBox") == 0;
    if (combo || _wcsicmp(cls.c_str(), L"ListBox") == 0) {
        const LRESULT count = Send(window, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        const LRESULT sel = Send(window, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
        std::string items;
        for (LRESULT i = 0; i < count; ++i)
            items += (i ? "|" : "") + Utf8(ItemText(window, combo, static_cast<int>(i)));
        std::snprintf(buf, sizeof buf, "sel=%ld items=", static_cast<long>(sel));
        std::string state = buf + items;
        if (!combo) {
            // A check list keeps each line's check mark as the line's data.
            state += " checks=";
            for (LRESULT i = 0; i < count; ++i)
                state += (i ? "," : "") + std::to_string(static_cast<long>(Send(window, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        }
        return state;
    }
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
        const LONG style = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_AUTOCHECKBOX || style == BS_CHECKBOX) {
            std::snprintf(buf, sizeof buf, "checked=%d", Send(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
            return buf;
        }
    }
    return {};
}

HWND Control(HWND dialog, int id)
{
    for (HWND w : Descendants(dialog))
        if (GetDlgCtrlID(w) == id && GetParent(w) == dialog)
            return w;
    return nullptr;
}

int Usage()
{
    std::fprintf(stderr, "usage: dlgdriver find|gone|controls|text|track|click|check|checkbox|select|close|enabled|rect|window|dpi|key CAPTION ...\n");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Screen coordinates in pixels whatever the dots per inch.
    using PFN_SetProcessDPIAware = BOOL(WINAPI*)();
    if (auto aware = reinterpret_cast<PFN_SetProcessDPIAware>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))))
        aware();
    if (argc < 3)
        return Usage();
    const std::wstring command = argv[1];
    const std::wstring caption = argv[2];
    auto number = [&](int i) { return i < argc ? std::wcstol(argv[i], nullptr, 10) : 0L; };
    auto seconds = [&](int i) { return i < argc ? std::wcstod(argv[i], nullptr) : 10.0; };

    if (command == L"find") {
        HWND w = WaitDialog(caption, seconds(3));
        if (!w)
            return 1;
        std::printf("%s\n", Utf8(TextOf(w)).c_str());
        return 0;
    }
    if (command == L"gone") {
        const DWORD start = GetTickCount();
        while (FindDialog(caption)) {
            if (GetTickCount() - start > static_cast<DWORD>(seconds(3) * 1000))
                return 1;
            Sleep(100);
        }
        return 0;
    }

    HWND dialog = FindDialog(caption);
    if (!dialog) {
        std::fprintf(stderr, "no window \"%s\"\n", Utf8(caption).c_str());
        return 1;
    }
    if (command == L"controls") {
        for (HWND w : Descendants(dialog)) {
            RECT r{};
            GetWindowRect(w, &r);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
            std::printf("%d %s %ld %ld %ld %ld %d %d \"%s\" %s\n", GetDlgCtrlID(w), Utf8(ClassOf(w)).c_str(), r.left,
                        r.top, r.right - r.left, r.bottom - r.top, IsWindowEnabled(w) ? 1 : 0,
                        IsWindowVisible(w) ? 1 : 0, Utf8(TextOf(w)).c_str(), StateOf(w).c_str());
        }
        return 0;
    }
    if (command == L"close") {
        PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    if (command == L"enabled") {
        std::printf("%d\n", IsWindowEnabled(dialog) ? 1 : 0);
        return 0;
    }
    if (command == L"window") {
        RECT r{}, c{};
        GetWindowRect(dialog, &r);
        GetClientRect(dialog, &c);
        std::printf("%ldx%ld+%ld+%ld %ldx%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top, c.right, c.bottom);
        return 0;
    }
    if (command == L"dpi" && argc >= 4) {
        const int dpi = static_cast<int>(number(3));
        // Without the suggested rectangle (a pointer that would not cross
        // into the other process): the window stays around where it is.
        DWORD_PTR result = 0;
        SendMessageTimeoutW(dialog, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), 0, SMTO_ABORTIFHUNG, 5000,
                            &result);
        return 0;
    }
    if (command == L"key" && argc >= 4) {
        // Keys go to the thread that owns the window; attaching to its input
        // lets the message reach the window that has the keyboard there.
        const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
        AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
        HWND focus = GetFocus();
        AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
        HWND target = focus ? focus : dialog;
        const WPARAM key = static_cast<WPARAM>(number(3));
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        return 0;
    }
    if (command == L"rect" && argc >= 4) {
        for (HWND w : Descendants(dialog))
            if (_wcsicmp(ClassOf(w).c_str(), argv[3]) == 0) {
                RECT r{};
                GetWindowRect(w, &r);
                std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
                return 0;
            }
        return 1;
    }
    if (argc < 4)
        return Usage();
    const int id = static_cast<int>(number(3));
    HWND control = Control(dialog, id);
    if (!control) {
        std::fprintf(stderr, "no control %d\n", id);
        return 1;
    }
    if (command == L"text") {
        std::printf("%s\n", Utf8(TextOf(control)).c_str());
        return 0;
    }
    // The notifications are posted: a click may open a modal dialog, and a
    // sent message would wait for it to close.
    if (command == L"track") {
        const long pos = number(4);
        Send(control, TBM_SETPOS, TRUE, pos);
        PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), reinterpret_cast<LPARAM>(control));
        PostMessageW(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == L"click") {
        const std::wstring cls = ClassOf(control);
        const WORD code = _wcsicmp(cls.c_str(), L"Static") == 0 ? STN_CLICKED : BN_CLICKED;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == L"check") {
        Send(control, BM_SETCHECK, number(4) ? BST_CHECKED : BST_UNCHECKED, 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
        return 0;
    }
    if (command == L"checkbox") {
        const long line = number(4);
        const LRESULT height = Send(control, LB_GETITEMHEIGHT, 0, 0);
        const LRESULT top = Send(control, LB_GETTOPINDEX, 0, 0);
        const LPARAM at = MAKELPARAM(4, static_cast<int>((line - top) * height + height / 2));
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(control, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (command == L"select") {
        Send(control, CB_SETCURSEL, static_cast<WPARAM>(number(4)), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
        return 0;
    }
    return Usage();
}
