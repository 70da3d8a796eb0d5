#include "platform/HeadlessGL.h"

#include "platform/win32/WglDriver.h"
#include "platform/win32/WglFramebuffer.h"

#include <windows.h>

#include <cstring>

namespace {

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace

struct THeadlessGL::Impl {
    TWglDriver* driver = nullptr; // owned by the context
    HWND window = nullptr;
    HDC dc = nullptr;
    TWglFramebuffer framebuffer;

    ~Impl() { DestroyHiddenWindow(); }

    // The hidden window whose device context carries the context; its client
    // area is the picture's size so the back-buffer fall-back has room too.
    bool OpenWindow(int width, int height, std::string& error)
    {
        if (window)
            return true;
        if (!RegisterGLSurfaceClass()) {
            error = "cannot register the window class";
            return false;
        }
        window = CreateWindowExW(WS_EX_TOOLWINDOW, kGLSurfaceClass, L"Pyrelume headless", WS_POPUP, 0, 0, width, height,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!window) {
            error = "cannot create the hidden window";
            return false;
        }
        PumpMessages();
        dc = GetDC(window);
        if (!dc) {
            DestroyHiddenWindow();
            error = "the hidden window has no device context";
            return false;
        }
        return true;
    }

    void DestroyHiddenWindow()
    {
        if (dc && window)
            ReleaseDC(window, dc);
        dc = nullptr;
        if (window)
            DestroyWindow(window);
        window = nullptr;
        PumpMessages();
    }
};

THeadlessGL::THeadlessGL(int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1), impl_(std::make_unique<Impl>())
{
    auto driver = std::make_unique<TWglDriver>();
    impl_->driver = driver.get();
    gl_ = std::make_unique<TCustomOpenGL>(std::move(driver));
}

THeadlessGL::~THeadlessGL()
{
    // The context goes before the window that carries it.
    Stop();
    gl_.reset();
    impl_.reset();
}

bool THeadlessGL::Start()
{
    if (gl_->Active())
        return true;
    error_.clear();
    if (!impl_->OpenWindow(width_, height_, error_))
        return false;
    gl_->Activate(reinterpret_cast<TDeviceContext>(impl_->dc));
    if (!gl_->Active()) {
        error_ = gl_->LastError().empty() ? "OpenGL context could not be activated" : gl_->LastError();
        return false;
    }
    int depthBits = 16, stencilBits = 0;
    const std::vector<TGLPixelFormat>& formats = gl_->ActiveFormats();
    const int index = gl_->ActiveFormatIndex();
    if (index >= 0 && index < static_cast<int>(formats.size())) {
        depthBits = formats[static_cast<std::size_t>(index)].DepthBits;
        stencilBits = formats[static_cast<std::size_t>(index)].StencilBits;
    }
    if (!impl_->framebuffer.Create(*impl_->driver, width_, height_, depthBits, stencilBits)) {
        // Without framebuffer objects the picture is drawn into the hidden
        // window's back buffer.
        if (glDrawBuffer)
            glDrawBuffer(GL_BACK);
        if (glReadBuffer)
            glReadBuffer(GL_BACK);
    }
    if (glViewport)
        glViewport(0, 0, width_, height_);
    return true;
}

void THeadlessGL::Stop()
{
    if (gl_->Active())
        impl_->framebuffer.Delete();
    gl_->Deactivate();
}
