#pragma once
// The Windows context driver: WGL through a GL library loaded at run time by
// name ("opengl32.dll", or the OpenGL-over-DirectX library, which exports the
// same entry points). Pixel formats are described and set on the window's
// device context; the rendering context, the palette of palette-based formats
// and the swap-interval control belong to the driver.
//
// This header does not include <windows.h>; the system's handles stay in the
// implementation.
#include <memory>
#include <string>
#include <vector>

#include "platform/GLContextDriver.h"

// The window class of hidden GL surfaces (own device context, default
// window procedure); registered once, shared by every hidden GL window.
extern const wchar_t kGLSurfaceClass[];
bool RegisterGLSurfaceClass();

class TWglDriver : public TGLContextDriver {
public:
    TWglDriver();
    ~TWglDriver() override;
    TWglDriver(const TWglDriver&) = delete;
    TWglDriver& operator=(const TWglDriver&) = delete;

    void LoadGLLibrary(const std::string& fileName) override;
    void UnloadLibrary() override;
    bool LibraryLoaded() const override;
    // The library's own export first, then (with a current context)
    // wglGetProcAddress, which is where extension functions come from.
    void* GetProcAddress(const char* name) override;
    // Every format of dc (the screen's device context when dc is 0).
    std::vector<TGLPixelFormatDescriptor> DescribePixelFormats(TDeviceContext dc) override;
    void CreateContext(TDeviceContext dc, const TGLPixelFormat& format) override;
    bool HasContext() const override;
    bool MakeCurrent(TDeviceContext dc, bool current) override;
    void DestroyContext() override;
    void SwapBuffers(TDeviceContext dc) override;
    // A child window's copy shows only the rectangles; a window whose
    // library offers GL_WIN_swap_hint (the system's own software GL) swaps
    // with them as hints.
    bool SwapRegion(TDeviceContext dc, const std::vector<TGLRect>& rects) override;
    // 1 for a child window's copy (its framebuffer is kept) and for a format
    // that swaps by copying, 2 for one that exchanges, else 0.
    int BackBufferAge(TDeviceContext dc) override;
    bool HasSwapInterval() const override;
    int GetSwapInterval() override;
    void SetSwapInterval(int interval) override;
    std::string PlatformExtensions(TDeviceContext dc) override;
    void SurfaceSize(TDeviceContext dc, int& width, int& height) override;

    // A context made on a child window's device context draws offscreen and
    // every swap copies the picture into the window through GDI when this is
    // true: under wine (whose GL output of child windows never reaches the
    // screen), or as PYRELUME_CHILD_GL=copy asks; PYRELUME_CHILD_GL=direct
    // turns it off. Elsewhere child windows get their context directly.
    static bool CopiesChildWindowOutput();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
