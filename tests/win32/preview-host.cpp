// Stands in for the system's display settings: makes a window at
// (100, 100) of 320 x 240, starts "<saver> /p <window>" inside it, keeps
// the window for the given number of seconds (a screenshot is taken
// meanwhile), then destroys it and waits for the saver to end.
// Usage: preview-host SAVER SECONDS
// Prints "host <handle>", "child <class> <width>x<height> <same process>" for
// the saver's window found inside, then "saver ended <ms>" or "saver still running";
// exit code 0 only when the saver ended within 3 seconds of the window going.
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Pump(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

struct TChildSearch {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TChildSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview-host SAVER SECONDS\n");
        return 2;
    }
    const int seconds = std::max(1, _wtoi(argv[2]));
    // Like the system's display settings, the host counts in pixels at any
    // dots per inch.
    using PFN_SetProcessDPIAware = BOOL(WINAPI*)();
    if (auto aware = reinterpret_cast<PFN_SetProcessDPIAware>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))))
        aware();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    wc.lpszClassName = L"PyrelumePreviewHost";
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, wc.lpszClassName, L"preview host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100,
                                100, 320, 240, nullptr, nullptr, wc.hInstance, nullptr);
    if (!host) {
        std::printf("no host window\n");
        return 1;
    }
    std::printf("host %lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(host)));
    std::fflush(stdout);

    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" /p " +
                           std::to_wstring(reinterpret_cast<std::uintptr_t>(host));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("saver not started: %lu\n", GetLastError());
        return 1;
    }
    CloseHandle(info.hThread);
    Pump(static_cast<DWORD>(seconds) * 1000);

    TChildSearch search;
    search.process = info.dwProcessId;
    EnumChildWindows(host, &FindChild, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
        wchar_t name[64] = {};
        GetClassNameW(search.found, name, 63);
        RECT r{};
        GetClientRect(search.found, &r);
        std::printf("child %ls %ldx%ld %s\n", name, r.right - r.left, r.bottom - r.top,
                    IsWindowVisible(search.found) ? "visible" : "hidden");
    } else {
        std::printf("no child of the saver\n");
    }
    // The saver should be drawing inside by now; it must not have ended on its own.
    const bool ranThrough = WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
    std::printf("saver running while shown: %s\n", ranThrough ? "yes" : "no");

    DestroyWindow(host);
    const DWORD start = GetTickCount();
    bool ended = false;
    while (GetTickCount() - start < 3000) {
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        Pump(20);
    }
    if (ended) {
        std::printf("saver ended %lu\n", GetTickCount() - start);
    } else {
        std::printf("saver still running\n");
        TerminateProcess(info.hProcess, 1);
    }
    std::fflush(stdout);
    CloseHandle(info.hProcess);
    return ended && ranThrough ? 0 : 1;
}
