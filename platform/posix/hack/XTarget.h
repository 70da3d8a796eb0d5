#pragma once
// The X side of the display hack: the display connection, the window it draws
// on (xscreensaver's, the root window, another program's window, a window of
// its own, or one covering a monitor), resizes, and the end of the window. X errors are caught by a
// handler of the program, so a window destroyed under the hack ends the run
// instead of the process.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/hack/HackOptions.h"

struct _XDisplay;

// A monitor's area on the screen, in root-window pixels.
struct TMonitorArea {
    int X = 0, Y = 0, Width = 0, Height = 0;
    bool Primary = false;
};

// The monitor that holds the point (x, y); else the primary one; else the
// first. The fallback (one monitor of that size at 0,0) when the list is empty.
TMonitorArea MonitorAt(const std::vector<TMonitorArea>& monitors, int x, int y, const TMonitorArea& fallback);

class TXTarget {
public:
    TXTarget() = default;
    ~TXTarget();
    TXTarget(const TXTarget&) = delete;
    TXTarget& operator=(const TXTarget&) = delete;

    // Opens the display and finds or makes the window. xscreensaverWindow is
    // the value of $XSCREENSAVER_WINDOW (nullptr when unset). Raises
    // THackUsageError for a malformed window id, std::runtime_error when the
    // display cannot be opened or the window does not exist.
    void Open(const THackOptions& options, const char* xscreensaverWindow);

    _XDisplay* Display() const { return display_; }
    unsigned long Window() const { return window_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The display's name with the screen number dropped (":0", "host:1").
    std::string DisplayKey() const;
    int ConnectionFd() const;

    // Handles the queued events. Returns false when the run should end: the
    // window was destroyed, or (own window only) closed, Escape or q pressed.
    // resized is set when the size changed. Full screen, it also shows the
    // pointer while the mouse moves and hides it again after a few still seconds.
    bool HandleEvents(bool& resized);
    // True once after the X server asked for part of the window to be
    // drawn again (it was covered, or newly shown).
    bool TakeExposed()
    {
        const bool e = exposed_;
        exposed_ = false;
        return e;
    }
    // True once an X error named the window (it is gone).
    bool WindowLost() const;

    // Run when the display connection breaks (the server went away), just
    // before the process ends with exit code 1: Xlib cannot go on after it.
    static void SetConnectionLostHook(void (*hook)());

private:
    void CreateOwnWindow(const THackOptions& options, int screen);
    void ShowPointer(bool shown);

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    unsigned long colormap_ = 0;
    unsigned long deleteAtom_ = 0;
    unsigned long blankCursor_ = 0;
    bool own_ = false;
    bool fullscreen_ = false;
    bool pointerShown_ = true;
    int pointerX_ = -1, pointerY_ = -1;
    std::chrono::steady_clock::time_point pointerMoved_{};
    std::chrono::steady_clock::time_point saverReset_{};
    bool gone_ = false;
    bool exposed_ = false;
    int width_ = 0;
    int height_ = 0;
};
