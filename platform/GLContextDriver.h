#pragma once
// The window-system side of an OpenGL context, behind a small interface:
// loading the GL library, describing pixel formats, creating a context on a
// window's drawing surface, making it current, swapping and the swap interval.
// The Windows build implements it with WGL, Linux with EGL (headless, into a
// framebuffer object). TCustomOpenGL talks only to this interface.
#include <cstdint>
#include <string>
#include <vector>

#include "gl/GLApi.h"
#include "gl/GLPixelFormat.h"
#include "gl/GLRect.h"
#include "platform/PlatformTypes.h"

// Drawing surfaces are TDeviceContext values: the window's device context on
// Windows, any value the driver understands elsewhere (the EGL driver ignores it).

class TGLContextDriver : public TGLProcLoader {
public:
    ~TGLContextDriver() override = default;

    // Loads the GL library named by the context ("opengl32.dll" or the
    // DirectX variant); the driver may map the name to its own library.
    // Raises "Error: Could not load DLL from <name>" when it cannot.
    virtual void LoadGLLibrary(const std::string& fileName) = 0;
    virtual void UnloadLibrary() = 0;
    virtual bool LibraryLoaded() const = 0;

    // Entry point lookup (core functions once the library is loaded, the
    // extension functions once a context is current).
    void* GetProcAddress(const char* name) override = 0;

    // Every pixel format of the surface, numbered from 1.
    virtual std::vector<TGLPixelFormatDescriptor> DescribePixelFormats(TDeviceContext dc) = 0;

    // Sets the pixel format of the surface, then creates a context on it.
    // Raises "Create RC failed: Palette is not created!" or
    // "Create RC failed: Context is not created!" on failure.
    virtual void CreateContext(TDeviceContext dc, const TGLPixelFormat& format) = 0;
    virtual bool HasContext() const = 0;
    // Makes the context current on the surface (false: no context current).
    virtual bool MakeCurrent(TDeviceContext dc, bool current) = 0;
    // Deletes the context (and the palette, if one was made).
    virtual void DestroyContext() = 0;

    virtual void SwapBuffers(TDeviceContext dc) = 0;

    // Shows only the given rectangles of the back buffer and leaves the back
    // buffer as it is (a copy, not an exchange); no rectangles show nothing.
    // False when the driver has no such copy; the caller then swaps.
    virtual bool SwapRegion(TDeviceContext dc, const std::vector<TGLRect>& rects) { return false; }
    // What the back buffer holds after SwapBuffers: the number of frames
    // since it was last drawn (1 after a copy swap, 2 after an exchange of
    // two buffers), 0 when the driver cannot tell.
    virtual int BackBufferAge(TDeviceContext dc) { return 0; }

    // Swap interval control; HasSwapInterval is false when the driver has no
    // way to change it.
    virtual bool HasSwapInterval() const = 0;
    virtual int GetSwapInterval() = 0;
    virtual void SetSwapInterval(int interval) = 0;

    // The window-system extension string, empty when the driver has no query.
    virtual std::string PlatformExtensions(TDeviceContext dc) = 0;

    // The client size of the surface in pixels (screenshots).
    virtual void SurfaceSize(TDeviceContext dc, int& width, int& height) = 0;
};
