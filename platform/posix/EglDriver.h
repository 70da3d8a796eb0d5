#pragma once
// The Linux context driver: EGL on Mesa's surfaceless platform with a
// desktop-GL compatibility context and no config (EGL_NO_CONFIG_KHR). There
// is no window: the "window" is a framebuffer object of the driver's size,
// created when the context first becomes current. libEGL is loaded with
// dlopen at run time and every GL entry point comes through eglGetProcAddress.
#include <memory>
#include <string>

#include "platform/GLContextDriver.h"

class TEglDriver : public TGLContextDriver {
public:
    // The library loaded for the renderer's "opengl32.dll".
    static constexpr const char* DefaultLibrary = "libEGL.so.1";

    TEglDriver(int width = 640, int height = 480);
    ~TEglDriver() override;

    // The size of the framebuffer that stands for the window. Changing it
    // while a context exists re-creates the framebuffer's storage.
    void SetSize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Number of SwapBuffers calls (the framebuffer has a single buffer).
    int SwapCount() const { return swapCount_; }

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
    bool HasSwapInterval() const override { return true; }
    int GetSwapInterval() override { return swapInterval_; }
    void SetSwapInterval(int interval) override;
    std::string PlatformExtensions(TDeviceContext dc) override;
    void SurfaceSize(TDeviceContext dc, int& width, int& height) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int width_;
    int height_;
    int swapCount_ = 0;
    int swapInterval_ = 1;
};
