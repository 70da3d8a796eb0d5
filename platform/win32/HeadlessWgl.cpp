// The GL layer's headers come first: <windows.h> defines macros that would
// otherwise rewrite their declarations.
#include "platform/win32/HeadlessWgl.h"

#include "platform/win32/WglDriver.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr wchar_t kWindowClass[] = L"PyrelumeHeadlessGL";


using PFN_GenObjects = void(PYR_GLAPIENTRY*)(GLsizei, GLuint*);
using PFN_BindObject = void(PYR_GLAPIENTRY*)(GLenum, GLuint);
using PFN_RenderbufferStorage = void(PYR_GLAPIENTRY*)(GLenum, GLenum, GLsizei, GLsizei);
using PFN_FramebufferRenderbuffer = void(PYR_GLAPIENTRY*)(GLenum, GLenum, GLenum, GLuint);
using PFN_CheckFramebufferStatus = GLenum(PYR_GLAPIENTRY*)(GLenum);
using PFN_DeleteObjects = void(PYR_GLAPIENTRY*)(GLsizei, const GLuint*);

bool RegisterHeadlessClass()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kWindowClass, &wc))
        return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0;
}

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
    HWND window = nullptr;
    HDC dc = nullptr;

    PFN_GenObjects genFramebuffers = nullptr, genRenderbuffers = nullptr;
    PFN_BindObject bindFramebuffer = nullptr, bindRenderbuffer = nullptr;
    PFN_RenderbufferStorage renderbufferStorage = nullptr;
    PFN_FramebufferRenderbuffer framebufferRenderbuffer = nullptr;
    PFN_CheckFramebufferStatus checkFramebufferStatus = nullptr;
    PFN_DeleteObjects deleteFramebuffers = nullptr, deleteRenderbuffers = nullptr;
    GLuint framebuffer = 0, colorBuffer = 0, depthBuffer = 0;

    ~Impl() { DestroyHiddenWindow(); }

    // The hidden window whose device context carries the context; its client
    // area is the picture's size so the back-buffer fall-back has room too.
    bool OpenWindow(int width, int height, std::string& error)
    {
        if (window)
            return true;
        if (!RegisterHeadlessClass()) {
            error = "cannot register the window class";
            return false;
        }
        window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Pyrelume headless", WS_POPUP, 0, 0, width, height,
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

    template <typename T>
    void Proc(TWglDriver& driver, T& fn, const char* name, const char* extName)
    {
        fn = reinterpret_cast<T>(driver.GetProcAddress(name));
        if (!fn)
            fn = reinterpret_cast<T>(driver.GetProcAddress(extName));
    }

    bool LoadFramebufferFunctions(TWglDriver& driver)
    {
        Proc(driver, genFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT");
        Proc(driver, genRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT");
        Proc(driver, bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT");
        Proc(driver, bindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT");
        Proc(driver, renderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT");
        Proc(driver, framebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT");
        Proc(driver, checkFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
        Proc(driver, deleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
        Proc(driver, deleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
        return genFramebuffers && genRenderbuffers && bindFramebuffer && bindRenderbuffer && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus && deleteFramebuffers && deleteRenderbuffers;
    }

    // A framebuffer of width x height with an RGBA colour buffer and a depth
    // buffer like the window format's (with stencil when the format has one).
    // Needs the context current; false leaves no framebuffer behind.
    bool CreateFramebuffer(TWglDriver& driver, int width, int height, int depthBits, int stencilBits)
    {
        if (!LoadFramebufferFunctions(driver))
            return false;
        const bool stencil = stencilBits > 0;
        genFramebuffers(1, &framebuffer);
        genRenderbuffers(1, &colorBuffer);
        genRenderbuffers(1, &depthBuffer);
        bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
        renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        renderbufferStorage(GL_RENDERBUFFER, (stencil || depthBits > 16) ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT16, width,
                            height);
        bindRenderbuffer(GL_RENDERBUFFER, 0);
        bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (stencil)
            framebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            DeleteFramebuffer();
            return false;
        }
        if (glDrawBuffer)
            glDrawBuffer(GL_COLOR_ATTACHMENT0);
        if (glReadBuffer)
            glReadBuffer(GL_COLOR_ATTACHMENT0);
        return true;
    }

    void DeleteFramebuffer()
    {
        if (!framebuffer && !colorBuffer && !depthBuffer)
            return;
        bindFramebuffer(GL_FRAMEBUFFER, 0);
        if (framebuffer)
            deleteFramebuffers(1, &framebuffer);
        const GLuint buffers[2] = {colorBuffer, depthBuffer};
        deleteRenderbuffers(2, buffers);
        framebuffer = colorBuffer = depthBuffer = 0;
    }
};

THeadlessGL::THeadlessGL(int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1), impl_(std::make_unique<Impl>())
{
    auto driver = std::make_unique<TWglDriver>();
    driver_ = driver.get();
    gl_ = std::make_unique<TCustomOpenGL>(std::move(driver));
}

THeadlessGL::~THeadlessGL()
{
    // The context goes before the window that carries it.
    Stop();
    gl_.reset();
    impl_.reset();
}

bool THeadlessGL::UsesFramebuffer() const { return impl_->framebuffer != 0; }

bool THeadlessGL::Start()
{
    if (gl_->Active())
        return true;
    error_.clear();
    if (!impl_->OpenWindow(width_, height_, error_))
        return false;
    gl_->Activate(reinterpret_cast<TGLDeviceContext>(impl_->dc));
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
    if (!impl_->CreateFramebuffer(*driver_, width_, height_, depthBits, stencilBits)) {
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
        impl_->DeleteFramebuffer();
    gl_->Deactivate();
}

std::vector<std::uint8_t> THeadlessGL::ReadPixels() const
{
    if (!gl_->Active())
        return std::vector<std::uint8_t>(static_cast<std::size_t>(width_) * height_ * 4, 0);
    return ReadPixelsRGBA(width_, height_);
}

std::uint32_t THeadlessGL::PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const
{
    return PixelAtRGBA(pixels, width_, height_, x, y);
}
