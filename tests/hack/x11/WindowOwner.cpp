// hack-window-owner: a window of another process for the display hack's
// -window-id check, and a window to lay over the hack's own. Prints the
// window id, then follows its stdin line by line: "resize W H" resizes the
// window, "unmap" and "map" take it off the screen and put it back on top,
// "destroy" destroys it; it exits at the end of stdin.
#include <X11/Xlib.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    const int s = DefaultScreen(d);
    const Window w = XCreateSimpleWindow(d, RootWindow(d, s), 100, 50, 640, 480, 0, 0, BlackPixel(d, s));
    XStoreName(d, w, "hack-window-owner");
    XMapWindow(d, w);
    XSync(d, False);
    std::printf("0x%lx\n", w);
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        std::istringstream in(line);
        std::string command;
        unsigned width = 0, height = 0;
        in >> command >> width >> height;
        if (command == "resize" && width && height)
            XResizeWindow(d, w, width, height);
        else if (command == "unmap")
            XUnmapWindow(d, w);
        else if (command == "map")
            XMapRaised(d, w);
        else if (command == "destroy")
            XDestroyWindow(d, w);
        XSync(d, False);
    }
    XCloseDisplay(d);
    return 0;
}
