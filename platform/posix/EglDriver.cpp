#include "platform/posix/EglDriver.h"

#include <dlfcn.h>

#define EGL_EGL_PROTOTYPES 0
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "gl/Errors.h"

namespace {

using PFN_GenObjects = void (*)(GLsizei, GLuint*);
using PFN_BindObject = void (*)(GLenum, GLuint);
using PFN_RenderbufferStorage = void (*)(GLenum, GLenum, GLsizei, GLsizei);
using PFN_FramebufferRenderbuffer = void (*)(GLenum, GLenum, GLenum, GLuint);
using PFN_CheckFramebufferStatus = GLenum (*)(GLenum);
using PFN_DeleteObjects = void (*)(GLsizei, const GLuint*);
} // namespace

struct TEglDriver::Impl {
    void* library = nullptr;
    PFNEGLGETPROCADDRESSPROC getProcAddress = nullptr;
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    PFNEGLINITIALIZEPROC initialize = nullptr;
    PFNEGLTERMINATEPROC terminate = nullptr;
    PFNEGLBINDAPIPROC bindApi = nullptr;
    PFNEGLCREATECONTEXTPROC createContext = nullptr;
    PFNEGLDESTROYCONTEXTPROC destroyContext = nullptr;
    PFNEGLMAKECURRENTPROC makeCurrent = nullptr;
    PFNEGLQUERYSTRINGPROC queryString = nullptr;

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    bool current = false;
    TGLPixelFormat format;

    // The framebuffer that stands for the window.
    PFN_GenObjects genFramebuffers = nullptr, genRenderbuffers = nullptr;
    PFN_BindObject bindFramebuffer = nullptr, bindRenderbuffer = nullptr;
    PFN_RenderbufferStorage renderbufferStorage = nullptr;
    PFN_FramebufferRenderbuffer framebufferRenderbuffer = nullptr;
    PFN_CheckFramebufferStatus checkFramebufferStatus = nullptr;
    PFN_DeleteObjects deleteFramebuffers = nullptr, deleteRenderbuffers = nullptr;
    GLuint framebuffer = 0, colorBuffer = 0, depthBuffer = 0;
    int fbWidth = 0, fbHeight = 0;

    template <typename T>
    void Sym(T& fn, const char* name)
    {
        fn = reinterpret_cast<T>(dlsym(library, name));
    }

    template <typename T>
    void Proc(T& fn, const char* name, const char* extName)
    {
        fn = reinterpret_cast<T>(getProcAddress(name));
        if (!fn)
            fn = reinterpret_cast<T>(getProcAddress(extName));
    }

    bool OpenDisplay()
    {
        if (display != EGL_NO_DISPLAY)
            return true;
        if (!getPlatformDisplay || !initialize)
            return false;
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d == EGL_NO_DISPLAY)
            return false;
        EGLint major = 0, minor = 0;
        if (!initialize(d, &major, &minor))
            return false;
        display = d;
        return true;
    }

    void CloseDisplay()
    {
        if (display != EGL_NO_DISPLAY && terminate)
            terminate(display);
        display = EGL_NO_DISPLAY;
    }

    bool LoadFramebufferFunctions()
    {
        Proc(genFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT");
        Proc(genRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT");
        Proc(bindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT");
        Proc(bindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT");
        Proc(renderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT");
        Proc(framebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT");
        Proc(checkFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
        Proc(deleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
        Proc(deleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
        return genFramebuffers && genRenderbuffers && bindFramebuffer && bindRenderbuffer && renderbufferStorage &&
               framebufferRenderbuffer && checkFramebufferStatus && deleteFramebuffers && deleteRenderbuffers;
    }

    // (Re)allocates the framebuffer's storage at width x height; needs the
    // context current.
    bool SetupFramebuffer(int width, int height)
    {
        if (!framebuffer) {
            genFramebuffers(1, &framebuffer);
            genRenderbuffers(1, &colorBuffer);
            genRenderbuffers(1, &depthBuffer);
        }
        const bool stencil = format.StencilBits > 0;
        bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
        renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        renderbufferStorage(GL_RENDERBUFFER, (stencil || format.DepthBits > 16) ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT16,
                            width, height);
        bindRenderbuffer(GL_RENDERBUFFER, 0);
        bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil ? depthBuffer : 0);
        if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            return false;
        auto drawBuffer = reinterpret_cast<void (*)(GLenum)>(getProcAddress("glDrawBuffer"));
        auto readBuffer = reinterpret_cast<void (*)(GLenum)>(getProcAddress("glReadBuffer"));
        auto viewport = reinterpret_cast<void (*)(GLint, GLint, GLsizei, GLsizei)>(getProcAddress("glViewport"));
        if (drawBuffer)
            drawBuffer(GL_COLOR_ATTACHMENT0);
        if (readBuffer)
            readBuffer(GL_COLOR_ATTACHMENT0);
        // Without a surface the initial viewport is empty; start with the whole framebuffer.
        if (viewport)
            viewport(0, 0, width, height);
        fbWidth = width;
        fbHeight = height;
        return true;
    }

    void DeleteFramebuffer()
    {
        if (!framebuffer)
            return;
        bindFramebuffer(GL_FRAMEBUFFER, 0);
        deleteFramebuffers(1, &framebuffer);
        const GLuint buffers[2] = {colorBuffer, depthBuffer};
        deleteRenderbuffers(2, buffers);
        framebuffer = colorBuffer = depthBuffer = 0;
        fbWidth = fbHeight = 0;
    }
};

TEglDriver::TEglDriver(int width, int height) : impl_(std::make_unique<Impl>()), width_(width), height_(height) {}

TEglDriver::~TEglDriver()
{
    DestroyContext();
    UnloadLibrary();
}

void TEglDriver::SetSize(int width, int height)
{
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    if (impl_->current && impl_->framebuffer)
        impl_->SetupFramebuffer(width_, height_);
}

void TEglDriver::LoadGLLibrary(const std::string& fileName)
{
    UnloadLibrary();
    const std::string path = fileName == "opengl32.dll" ? DefaultLibrary : fileName;
    Impl& m = *impl_;
    m.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m.library)
        RaiseMessage("Error: Could not load DLL from " + fileName);
    m.Sym(m.getProcAddress, "eglGetProcAddress");
    if (!m.getProcAddress) {
        UnloadLibrary();
        RaiseMessage("Error: Could not load DLL from " + fileName);
    }
    m.getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(m.getProcAddress("eglGetPlatformDisplayEXT"));
    if (!m.getPlatformDisplay)
        m.getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(m.getProcAddress("eglGetPlatformDisplay"));
    m.Sym(m.initialize, "eglInitialize");
    m.Sym(m.terminate, "eglTerminate");
    m.Sym(m.bindApi, "eglBindAPI");
    m.Sym(m.createContext, "eglCreateContext");
    m.Sym(m.destroyContext, "eglDestroyContext");
    m.Sym(m.makeCurrent, "eglMakeCurrent");
    m.Sym(m.queryString, "eglQueryString");
}

void TEglDriver::UnloadLibrary()
{
    Impl& m = *impl_;
    DestroyContext();
    m.CloseDisplay();
    if (m.library)
        dlclose(m.library);
    m = Impl{};
}

bool TEglDriver::LibraryLoaded() const { return impl_->library != nullptr; }

void* TEglDriver::GetProcAddress(const char* name)
{
    if (!impl_->getProcAddress)
        return nullptr;
    return reinterpret_cast<void*>(impl_->getProcAddress(name));
}

std::vector<TGLPixelFormatDescriptor> TEglDriver::DescribePixelFormats(TDeviceContext)
{
    // The framebuffer can be made in two shapes: with a 24-bit depth and
    // 8-bit stencil buffer, or with a 16-bit depth buffer only.
    std::vector<TGLPixelFormatDescriptor> formats;
    if (!impl_->OpenDisplay())
        return formats;
    TGLPixelFormatDescriptor d;
    d.dwFlags = kPfdDrawToWindow | kPfdSupportOpenGL | kPfdDoubleBuffer;
    d.iPixelType = 0; // RGBA
    d.cColorBits = 32;
    d.cRedBits = d.cGreenBits = d.cBlueBits = d.cAlphaBits = 8;
    d.cRedShift = 0;
    d.cGreenShift = 8;
    d.cBlueShift = 16;
    d.cAlphaShift = 24;
    d.cDepthBits = 24;
    d.cStencilBits = 8;
    formats.push_back(d);
    d.cAlphaBits = 0;
    d.cAlphaShift = 0;
    d.cDepthBits = 16;
    d.cStencilBits = 0;
    formats.push_back(d);
    return formats;
}

void TEglDriver::CreateContext(TDeviceContext, const TGLPixelFormat& format)
{
    Impl& m = *impl_;
    DestroyContext();
    if (!m.OpenDisplay() || !m.bindApi || !m.createContext)
        RaiseMessage("Create RC failed: Context is not created!");
    if (!m.bindApi(EGL_OPENGL_API))
        RaiseMessage("Create RC failed: Context is not created!");
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    EGLContext context = m.createContext(m.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT)
        RaiseMessage("Create RC failed: Context is not created!");
    m.context = context;
    m.format = format;
}

bool TEglDriver::HasContext() const { return impl_->context != EGL_NO_CONTEXT; }

bool TEglDriver::MakeCurrent(TDeviceContext, bool current)
{
    Impl& m = *impl_;
    if (!m.makeCurrent || m.display == EGL_NO_DISPLAY)
        return false;
    if (!current) {
        if (m.current)
            m.DeleteFramebuffer();
        m.makeCurrent(m.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        m.current = false;
        return true;
    }
    if (m.context == EGL_NO_CONTEXT || !m.makeCurrent(m.display, EGL_NO_SURFACE, EGL_NO_SURFACE, m.context))
        return false;
    m.current = true;
    if (!m.framebuffer) {
        if (!m.LoadFramebufferFunctions() || !m.SetupFramebuffer(width_, height_)) {
            m.DeleteFramebuffer();
            m.makeCurrent(m.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            m.current = false;
            return false;
        }
    } else {
        m.bindFramebuffer(GL_FRAMEBUFFER, m.framebuffer);
    }
    return true;
}

void TEglDriver::DestroyContext()
{
    Impl& m = *impl_;
    if (m.context == EGL_NO_CONTEXT)
        return;
    if (m.current)
        MakeCurrent(0, false);
    if (m.destroyContext)
        m.destroyContext(m.display, m.context);
    m.context = EGL_NO_CONTEXT;
}

void TEglDriver::SwapBuffers(TDeviceContext)
{
    // The framebuffer is single-buffered; a swap is a point where the frame is complete.
    ++swapCount_;
}

void TEglDriver::SetSwapInterval(int interval) { swapInterval_ = interval; }

std::string TEglDriver::PlatformExtensions(TDeviceContext)
{
    Impl& m = *impl_;
    if (!m.queryString || m.display == EGL_NO_DISPLAY)
        return {};
    const char* s = m.queryString(m.display, EGL_EXTENSIONS);
    return s ? s : "";
}

void TEglDriver::SurfaceSize(TDeviceContext, int& width, int& height)
{
    width = width_;
    height = height_;
}
