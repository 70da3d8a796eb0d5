#include "platform/posix/hack/XTarget.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>

#include "platform/posix/hack/GlxDriver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>

namespace {

// Xlib's error handler is one per process: it watches the one target window.
std::atomic<unsigned long> watchedWindow{0};
std::atomic<bool> watchedWindowLost{false};

int OnXError(Display*, XErrorEvent* e)
{
    // A request on a window that has gone (BadWindow, BadDrawable, GLX's own
    // drawable errors) names it as the resource. Other errors are not fatal.
    if (e && e->resourceid != 0 && e->resourceid == watchedWindow.load())
        watchedWindowLost.store(true);
    return 0;
}

void (*connectionLostHook)() = nullptr;

int OnXIOError(Display*)
{
    if (connectionLostHook)
        connectionLostHook();
    std::fputs("pyrelume: the connection to the X display was lost\n", stderr);
    std::_Exit(1);
}

constexpr int kOwnWidth = 800;
constexpr int kOwnHeight = 600;
// Full screen: the pointer hides again after this long without a move, and
// the X server's own blanking timer is reset this often.
constexpr auto kPointerHideAfter = std::chrono::seconds(3);
constexpr auto kSaverResetEvery = std::chrono::seconds(30);

// The monitors of the screen from RandR (1.5 monitors); empty without RandR.
std::vector<TMonitorArea> ScreenMonitors(Display* display, ::Window root)
{
    std::vector<TMonitorArea> out;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return out;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; monitors && i < count; ++i)
        if (monitors[i].width > 0 && monitors[i].height > 0)
            out.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height,
                           monitors[i].primary != 0});
    if (monitors)
        XRRFreeMonitors(monitors);
    return out;
}

// True when a window manager that follows the EWMH runs: the root window names
// its check window, and that window names itself.
bool EwmhManagerRuns(Display* display, ::Window root)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    auto windowProperty = [&](::Window w) -> ::Window {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        ::Window value = 0;
        if (XGetWindowProperty(display, w, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
                Success &&
            data && type == XA_WINDOW && format == 32 && count == 1)
            value = *reinterpret_cast<::Window*>(data);
        if (data)
            XFree(data);
        return value;
    };
    const ::Window wm = windowProperty(root);
    // A manager that has gone leaves a stale id: reading it fails (the error is absorbed).
    return wm != 0 && windowProperty(wm) == wm;
}

// Waits up to a second for the window's MapNotify, leaving other events queued.
void WaitMapped(Display* display, ::Window window)
{
    for (int i = 0; i < 100; ++i) {
        XEvent e;
        if (XCheckTypedWindowEvent(display, window, MapNotify, &e))
            return;
        XSync(display, False);
        if (XCheckTypedWindowEvent(display, window, MapNotify, &e))
            return;
        timespec ts{0, 10'000'000};
        nanosleep(&ts, nullptr);
    }
}

} // namespace

TMonitorArea MonitorAt(const std::vector<TMonitorArea>& monitors, int x, int y, const TMonitorArea& fallback)
{
    for (const TMonitorArea& m : monitors)
        if (x >= m.X && x < m.X + m.Width && y >= m.Y && y < m.Y + m.Height)
            return m;
    for (const TMonitorArea& m : monitors)
        if (m.Primary)
            return m;
    return monitors.empty() ? fallback : monitors.front();
}

TXTarget::~TXTarget()
{
    if (!display_)
        return;
    if (own_ && window_)
        XDestroyWindow(display_, window_);
    if (blankCursor_)
        XFreeCursor(display_, blankCursor_);
    if (colormap_)
        XFreeColormap(display_, colormap_);
    XCloseDisplay(display_);
    watchedWindow.store(0);
}

void TXTarget::Open(const THackOptions& options, const char* xscreensaverWindow)
{
    unsigned long target = 0;
    if (options.Target == THackTarget::htWindowId) {
        target = options.WindowId;
    } else if (options.Target == THackTarget::htRoot && xscreensaverWindow && *xscreensaverWindow) {
        std::uint64_t id = 0;
        if (!ParseWindowId(xscreensaverWindow, id))
            throw THackUsageError(std::string("$XSCREENSAVER_WINDOW is not a window id: \"") + xscreensaverWindow + "\"");
        target = id;
    }

    XSetErrorHandler(&OnXError);
    XSetIOErrorHandler(&OnXIOError);
    display_ = XOpenDisplay(options.Display.empty() ? nullptr : options.Display.c_str());
    if (!display_)
        throw std::runtime_error("cannot open display \"" +
                                 std::string(options.Display.empty() ? XDisplayName(nullptr) : options.Display) + "\"");
    const int screen = DefaultScreen(display_);

    if (options.Target == THackTarget::htWindow || options.Target == THackTarget::htFullscreen) {
        CreateOwnWindow(options, screen);
    } else {
        window_ = target ? target : RootWindow(display_, screen);
        watchedWindow.store(window_);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, window_, &attributes))
            throw std::runtime_error("no window 0x" + [](unsigned long w) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%lx", w);
                return std::string(buf);
            }(window_) + " on the display");
        width_ = attributes.width;
        height_ = attributes.height;
        // Size changes, uncovered parts and the window's end; no input: the
        // daemon owns it.
        XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
    }
    watchedWindow.store(window_);
    watchedWindowLost.store(false);
    XSync(display_, False);
    if (watchedWindowLost.load())
        throw std::runtime_error("the window went away");
}

void TXTarget::CreateOwnWindow(const THackOptions& options, int screen)
{
    const unsigned long visualId = TGlxDriver::ChooseVisual(display_, screen);
    XVisualInfo request{};
    request.visualid = visualId;
    request.screen = screen;
    int count = 0;
    XVisualInfo* vi = visualId ? XGetVisualInfo(display_, VisualIDMask | VisualScreenMask, &request, &count) : nullptr;
    if (!vi)
        throw std::runtime_error("the display offers no OpenGL visual");
    const ::Window root = RootWindow(display_, screen);
    fullscreen_ = options.Target == THackTarget::htFullscreen;

    // Full screen covers the monitor under the pointer. A window manager that
    // follows the EWMH is asked for its full-screen state (it then keeps the
    // window above panels and gives it the keyboard); without one the window is
    // placed over the monitor by itself, out of any manager's hands.
    TMonitorArea area{0, 0, kOwnWidth, kOwnHeight, false};
    bool managed = true;
    if (fullscreen_) {
        ::Window rootBack = 0, child = 0;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned mask = 0;
        XQueryPointer(display_, root, &rootBack, &child, &rootX, &rootY, &winX, &winY, &mask);
        area = MonitorAt(ScreenMonitors(display_, root), rootX, rootY,
                         {0, 0, DisplayWidth(display_, screen), DisplayHeight(display_, screen), true});
        pointerX_ = rootX;
        pointerY_ = rootY;
        managed = EwmhManagerRuns(display_, root);
    }

    colormap_ = XCreateColormap(display_, root, vi->visual, AllocNone);
    XSetWindowAttributes a{};
    a.colormap = colormap_;
    a.background_pixel = BlackPixel(display_, screen);
    a.border_pixel = 0;
    a.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask | (fullscreen_ ? PointerMotionMask : 0);
    a.override_redirect = managed ? False : True;
    window_ = XCreateWindow(display_, root, area.X, area.Y, static_cast<unsigned>(area.Width),
                            static_cast<unsigned>(area.Height), 0, vi->depth, InputOutput, vi->visual,
                            CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect, &a);
    XFree(vi);
    own_ = true;
    XStoreName(display_, window_, "Pyrelume");
    XClassHint hint;
    std::string name = options.Name;
    std::string className = "Pyrelume";
    hint.res_name = name.data();
    hint.res_class = className.data();
    XSetClassHint(display_, window_, &hint);
    Atom del = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &del, 1);
    deleteAtom_ = del;

    if (fullscreen_) {
        // Where the window goes, so the manager makes it full screen on that monitor.
        XSizeHints* size = XAllocSizeHints();
        if (size) {
            size->flags = USPosition | USSize | PPosition | PSize;
            size->x = area.X;
            size->y = area.Y;
            size->width = area.Width;
            size->height = area.Height;
            XSetWMNormalHints(display_, window_, size);
            XFree(size);
        }
        const Atom state = XInternAtom(display_, "_NET_WM_STATE", False);
        const Atom full = XInternAtom(display_, "_NET_WM_STATE_FULLSCREEN", False);
        XChangeProperty(display_, window_, state, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&full), 1);
        // A compositor need not copy the picture of a window that covers the monitor.
        const long bypass = 1;
        XChangeProperty(display_, window_, XInternAtom(display_, "_NET_WM_BYPASS_COMPOSITOR", False), XA_CARDINAL,
                        32, PropModeReplace, reinterpret_cast<const unsigned char*>(&bypass), 1);
        // The pointer starts hidden: an empty 1x1 cursor.
        const char empty = 0;
        const Pixmap bits = XCreateBitmapFromData(display_, window_, &empty, 1, 1);
        XColor black{};
        blankCursor_ = XCreatePixmapCursor(display_, bits, bits, &black, &black, 0, 0);
        XFreePixmap(display_, bits);
        ShowPointer(false);
        pointerMoved_ = saverReset_ = std::chrono::steady_clock::now();
    }
    XMapRaised(display_, window_);
    if (!managed) {
        // Nobody else gives it the keyboard (for Escape and q).
        WaitMapped(display_, window_);
        XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
    }
    width_ = area.Width;
    height_ = area.Height;
}

void TXTarget::ShowPointer(bool shown)
{
    if (!blankCursor_ || shown == pointerShown_)
        return;
    if (shown)
        XUndefineCursor(display_, window_);
    else
        XDefineCursor(display_, window_, blankCursor_);
    pointerShown_ = shown;
}

void TXTarget::SetConnectionLostHook(void (*hook)()) { connectionLostHook = hook; }

std::string TXTarget::DisplayKey() const
{
    std::string name = display_ ? DisplayString(display_) : "";
    const auto colon = name.rfind(':');
    const auto dot = name.find('.', colon == std::string::npos ? 0 : colon);
    if (dot != std::string::npos)
        name.resize(dot);
    return name;
}

int TXTarget::ConnectionFd() const { return display_ ? ConnectionNumber(display_) : -1; }

bool TXTarget::WindowLost() const { return gone_ || watchedWindowLost.load(); }

bool TXTarget::HandleEvents(bool& resized)
{
    resized = false;
    while (XPending(display_) > 0) {
        XEvent e;
        XNextEvent(display_, &e);
        switch (e.type) {
        case ConfigureNotify:
            if (e.xconfigure.window == window_ && (e.xconfigure.width != width_ || e.xconfigure.height != height_)) {
                width_ = e.xconfigure.width;
                height_ = e.xconfigure.height;
                resized = true;
            }
            break;
        case DestroyNotify:
            if (e.xdestroywindow.window == window_)
                gone_ = true;
            break;
        case Expose:
            if (e.xexpose.window == window_)
                exposed_ = true;
            break;
        case KeyPress:
            if (own_) {
                char text[8] = {};
                KeySym sym = NoSymbol;
                XLookupString(&e.xkey, text, sizeof text - 1, &sym, nullptr);
                if (sym == XK_Escape || sym == XK_q || sym == XK_Q)
                    return false;
            }
            break;
        case MotionNotify:
            // A window mapped under the pointer may report it where it already was.
            if (fullscreen_ && (e.xmotion.x_root != pointerX_ || e.xmotion.y_root != pointerY_)) {
                pointerX_ = e.xmotion.x_root;
                pointerY_ = e.xmotion.y_root;
                pointerMoved_ = std::chrono::steady_clock::now();
                ShowPointer(true);
            }
            break;
        case ClientMessage:
            if (own_ && static_cast<unsigned long>(e.xclient.data.l[0]) == deleteAtom_)
                return false;
            break;
        default:
            break;
        }
    }
    if (fullscreen_) {
        const auto now = std::chrono::steady_clock::now();
        if (pointerShown_ && now - pointerMoved_ >= kPointerHideAfter)
            ShowPointer(false);
        // A fireplace on the living-room screen is watched, not typed at: keep
        // the X server's own blanking (and the idle time desktops read) at bay.
        if (now - saverReset_ >= kSaverResetEvery) {
            XResetScreenSaver(display_);
            saverReset_ = now;
        }
        XFlush(display_);
    }
    return !WindowLost();
}
