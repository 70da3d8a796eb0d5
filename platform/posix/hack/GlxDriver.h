#pragma once
// The X11 context driver: GLX on one X window. libGL is loaded with dlopen at
// run time and every GL entry point comes through glXGetProcAddressARB, so the
// GL layer's own entry table is filled as on the other platforms and no GL
// header of the system is used. The context is made for the window's own
// visual (the window may belong to another program, as xscreensaver's does);
// a visual without double buffering is drawn single-buffered and flushed.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/GLContextDriver.h"

struct _XDisplay;

class TGlxDriver : public TGLContextDriver {
public:
    // The library loaded for the renderer's "opengl32.dll".
    static constexpr const char* DefaultLibrary = "libGL.so.1";

    // The device context handed to the driver is the X window id.
    explicit TGlxDriver(_XDisplay* display);
    ~TGlxDriver() override;

    // The visual id of a double-buffered RGBA visual with a depth buffer on the
    // screen, for a window of the program's own; 0 when GLX offers none.
    static unsigned long ChooseVisual(_XDisplay* display, int screen);

    void LoadGLLibrary(const std::string& fileName) override;
    void UnloadLibrary() override;
    bool LibraryLoaded() const override;
    void* GetProcAddress(const char* name) override;
    std::vector<TGLPixelFormatDescriptor> DescribePixelFormats(TDeviceContext dc) override;
    void CreateContext(TDeviceContext dc, const TGLPixelFormat& format) override;
    bool HasContext() const override;
    bool MakeCurrent(TDeviceContext dc, bool current) override;
    void DestroyContext() override;
    void SwapBuffers(TDeviceContext dc) override;
    // glXCopySubBufferMESA where GLX offers it (GLX_MESA_copy_sub_buffer).
    bool SwapRegion(TDeviceContext dc, const std::vector<TGLRect>& rects) override;
    // GLX_EXT_buffer_age where GLX offers it.
    int BackBufferAge(TDeviceContext dc) override;
    bool HasSwapInterval() const override;
    int GetSwapInterval() override { return swapInterval_; }
    void SetSwapInterval(int interval) override;
    std::string PlatformExtensions(TDeviceContext dc) override;
    void SurfaceSize(TDeviceContext dc, int& width, int& height) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int swapInterval_ = -1;
};
