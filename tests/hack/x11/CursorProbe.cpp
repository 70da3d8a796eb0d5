// hack-cursor-probe: prints "hidden" when the pointer's current cursor image
// is empty (every pixel transparent), else "shown WxH". The full-screen check
// reads what a person would see of the pointer over the fireplace.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return 1;
    int event = 0, error = 0;
    if (!XFixesQueryExtension(d, &event, &error))
        return 1;
    XFixesCursorImage* image = XFixesGetCursorImage(d);
    if (!image)
        return 1;
    bool visible = false;
    for (int i = 0; i < image->width * image->height; ++i)
        visible = visible || (image->pixels[i] >> 24) != 0;
    if (visible)
        std::printf("shown %dx%d\n", image->width, image->height);
    else
        std::printf("hidden\n");
    XFree(image);
    XCloseDisplay(d);
    return 0;
}
