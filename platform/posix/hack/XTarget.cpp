#include "platform/posix/hack/XTarget.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/posix/hack/GlxDriver.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

} // namespace

TXTarget::~TXTarget()
{
    if (!display_)
        return;
    if (own_ && window_)
        XDestroyWindow(display_, window_);
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

    if (options.Target == THackTarget::htWindow) {
        const unsigned long visualId = TGlxDriver::ChooseVisual(display_, screen);
        XVisualInfo request{};
        request.visualid = visualId;
        request.screen = screen;
        int count = 0;
        XVisualInfo* vi = visualId ? XGetVisualInfo(display_, VisualIDMask | VisualScreenMask, &request, &count) : nullptr;
        if (!vi)
            throw std::runtime_error("the display offers no OpenGL visual");
        const ::Window root = RootWindow(display_, screen);
        colormap_ = XCreateColormap(display_, root, vi->visual, AllocNone);
        XSetWindowAttributes a{};
        a.colormap = colormap_;
        a.background_pixel = BlackPixel(display_, screen);
        a.border_pixel = 0;
        a.event_mask = KeyPressMask | StructureNotifyMask | ExposureMask;
        window_ = XCreateWindow(display_, root, 0, 0, kOwnWidth, kOwnHeight, 0, vi->depth, InputOutput, vi->visual,
                                CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &a);
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
        XMapWindow(display_, window_);
        width_ = kOwnWidth;
        height_ = kOwnHeight;
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
        // Size changes and the window's end; no input: the daemon owns it.
        XSelectInput(display_, window_, StructureNotifyMask);
    }
    watchedWindow.store(window_);
    watchedWindowLost.store(false);
    XSync(display_, False);
    if (watchedWindowLost.load())
        throw std::runtime_error("the window went away");
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
        case KeyPress:
            if (own_) {
                char text[8] = {};
                KeySym sym = NoSymbol;
                XLookupString(&e.xkey, text, sizeof text - 1, &sym, nullptr);
                if (sym == XK_Escape || sym == XK_q || sym == XK_Q)
                    return false;
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
    return !WindowLost();
}
