#include "platform/posix/hack/GlxDriver.h"

#include <dlfcn.h>

#include <cstring>

#include "gl/Errors.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The few GLX declarations the driver needs; the system's GLX header would
// bring the system's GL header with it, whose prototypes clash with the GL
// layer's entry table.
struct GlxContextRec;
using GLXContext = GlxContextRec*;
using GLXDrawable = XID;
using PFN_glXChooseVisual = XVisualInfo* (*)(Display*, int, int*);
using PFN_glXGetConfig = int (*)(Display*, XVisualInfo*, int, int*);
using PFN_glXCreateContext = GLXContext (*)(Display*, XVisualInfo*, GLXContext, Bool);
using PFN_glXDestroyContext = void (*)(Display*, GLXContext);
using PFN_glXMakeCurrent = Bool (*)(Display*, GLXDrawable, GLXContext);
using PFN_glXSwapBuffers = void (*)(Display*, GLXDrawable);
using PFN_glXQueryExtensionsString = const char* (*)(Display*, int);
using PFN_glXGetProcAddress = void (*(*)(const unsigned char*))();
using PFN_glXSwapIntervalEXT = void (*)(Display*, GLXDrawable, int);
using PFN_glXSwapIntervalMESA = int (*)(unsigned);
using PFN_glXCopySubBufferMESA = void (*)(Display*, GLXDrawable, int, int, int, int);
using PFN_glXQueryDrawable = void (*)(Display*, GLXDrawable, int, unsigned int*);

constexpr int GLX_USE_GL = 1;
constexpr int GLX_RGBA = 4;
constexpr int GLX_DOUBLEBUFFER = 5;
constexpr int GLX_RED_SIZE = 8;
constexpr int GLX_GREEN_SIZE = 9;
constexpr int GLX_BLUE_SIZE = 10;
constexpr int GLX_ALPHA_SIZE = 11;
constexpr int GLX_DEPTH_SIZE = 12;
constexpr int GLX_STENCIL_SIZE = 13;
constexpr int GLX_BACK_BUFFER_AGE_EXT = 0x20F4;

using XVisualInfoPtr = std::unique_ptr<XVisualInfo, int (*)(void*)>;

XVisualInfoPtr NoVisual() { return XVisualInfoPtr(nullptr, &XFree); }

// The visual of the window with its GLX attributes; none when the window is gone.
XVisualInfoPtr WindowVisual(Display* display, Window window)
{
    XWindowAttributes attributes;
    if (!window || !XGetWindowAttributes(display, window, &attributes) || !attributes.visual)
        return NoVisual();
    XVisualInfo request{};
    request.visualid = XVisualIDFromVisual(attributes.visual);
    request.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &request, &count);
    return XVisualInfoPtr(count > 0 ? info : nullptr, &XFree);
}

} // namespace

struct TGlxDriver::Impl {
    Display* display = nullptr;
    void* library = nullptr;
    PFN_glXGetProcAddress getProcAddress = nullptr;
    PFN_glXChooseVisual chooseVisual = nullptr;
    PFN_glXGetConfig getConfig = nullptr;
    PFN_glXCreateContext createContext = nullptr;
    PFN_glXDestroyContext destroyContext = nullptr;
    PFN_glXMakeCurrent makeCurrent = nullptr;
    PFN_glXSwapBuffers swapBuffers = nullptr;
    PFN_glXQueryExtensionsString queryExtensions = nullptr;
    PFN_glXSwapIntervalEXT swapIntervalExt = nullptr;
    PFN_glXSwapIntervalMESA swapIntervalMesa = nullptr;
    PFN_glXCopySubBufferMESA copySubBuffer = nullptr;
    PFN_glXQueryDrawable queryDrawable = nullptr;

    GLXContext context = nullptr;
    Window window = 0;
    bool current = false;
    bool doubleBuffered = true;

    template <typename T>
    void Sym(T& fn, const char* name)
    {
        fn = reinterpret_cast<T>(dlsym(library, name));
    }
    // An extension function: the library's export, else GLX's lookup.
    template <typename T>
    void ExtSym(T& fn, const char* name)
    {
        Sym(fn, name);
        if (!fn && getProcAddress)
            fn = reinterpret_cast<T>(getProcAddress(reinterpret_cast<const unsigned char*>(name)));
    }

    int Config(XVisualInfo* vi, int attribute)
    {
        int value = 0;
        return getConfig && getConfig(display, vi, attribute, &value) == 0 ? value : 0;
    }

    bool HasGlxExtension(int screen, const char* name)
    {
        const char* all = queryExtensions ? queryExtensions(display, screen) : nullptr;
        if (!all)
            return false;
        const std::size_t n = std::strlen(name);
        for (const char* p = std::strstr(all, name); p; p = std::strstr(p + 1, name))
            if ((p == all || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0'))
                return true;
        return false;
    }
};

TGlxDriver::TGlxDriver(_XDisplay* display) : impl_(std::make_unique<Impl>()) { impl_->display = display; }

TGlxDriver::~TGlxDriver()
{
    DestroyContext();
    UnloadLibrary();
}

// libGL stays mapped once opened (RTLD_NODELETE): GLX registers a close hook
// on the display connection that XCloseDisplay calls after the driver is gone.
unsigned long TGlxDriver::ChooseVisual(_XDisplay* display, int screen)
{
    void* library = dlopen(DefaultLibrary, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library)
        return 0;
    auto choose = reinterpret_cast<PFN_glXChooseVisual>(dlsym(library, "glXChooseVisual"));
    unsigned long id = 0;
    if (choose) {
        int attributes[] = {GLX_RGBA, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8,
                            GLX_DEPTH_SIZE, 16, GLX_DOUBLEBUFFER, None};
        if (XVisualInfo* vi = choose(display, screen, attributes)) {
            id = vi->visualid;
            XFree(vi);
        }
    }
    dlclose(library);
    return id;
}

void TGlxDriver::LoadGLLibrary(const std::string& fileName)
{
    UnloadLibrary();
    const bool systemName = fileName == "opengl32.dll" || fileName == "dx7ogl32.dll";
    Impl& m = *impl_;
    const std::string path = systemName ? DefaultLibrary : fileName;
    m.library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!m.library)
        RaiseMessage("Error: Could not load DLL from " + path);
    m.Sym(m.getProcAddress, "glXGetProcAddressARB");
    m.Sym(m.chooseVisual, "glXChooseVisual");
    m.Sym(m.getConfig, "glXGetConfig");
    m.Sym(m.createContext, "glXCreateContext");
    m.Sym(m.destroyContext, "glXDestroyContext");
    m.Sym(m.makeCurrent, "glXMakeCurrent");
    m.Sym(m.swapBuffers, "glXSwapBuffers");
    m.Sym(m.queryExtensions, "glXQueryExtensionsString");
    if (!m.getProcAddress || !m.getConfig || !m.createContext || !m.makeCurrent || !m.swapBuffers) {
        UnloadLibrary();
        RaiseMessage("Error: Could not load DLL from " + path);
    }
}

void TGlxDriver::UnloadLibrary()
{
    Impl& m = *impl_;
    DestroyContext();
    if (m.library)
        dlclose(m.library);
    Display* display = m.display;
    m = Impl{};
    m.display = display;
}

bool TGlxDriver::LibraryLoaded() const { return impl_->library != nullptr; }

void* TGlxDriver::GetProcAddress(const char* name)
{
    Impl& m = *impl_;
    if (!m.library)
        return nullptr;
    // The library's exports first: GLX hands out a dispatch stub for any name.
    if (void* p = dlsym(m.library, name))
        return p;
    return m.getProcAddress ? reinterpret_cast<void*>(m.getProcAddress(reinterpret_cast<const unsigned char*>(name)))
                            : nullptr;
}

std::vector<TGLPixelFormatDescriptor> TGlxDriver::DescribePixelFormats(TDeviceContext dc)
{
    // One format: the window's own visual.
    Impl& m = *impl_;
    std::vector<TGLPixelFormatDescriptor> formats;
    XVisualInfoPtr vi = WindowVisual(m.display, static_cast<Window>(dc));
    if (!vi || !m.Config(vi.get(), GLX_USE_GL) || !m.Config(vi.get(), GLX_RGBA))
        return formats;
    TGLPixelFormatDescriptor d;
    d.dwFlags = kPfdDrawToWindow | kPfdSupportOpenGL;
    if (m.Config(vi.get(), GLX_DOUBLEBUFFER))
        d.dwFlags |= kPfdDoubleBuffer;
    d.iPixelType = 0; // RGBA
    d.cRedBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_RED_SIZE));
    d.cGreenBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_GREEN_SIZE));
    d.cBlueBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_BLUE_SIZE));
    d.cAlphaBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_ALPHA_SIZE));
    // A 24-bit visual counts as the 32-bit colour the context asks for.
    d.cColorBits = static_cast<std::uint8_t>(vi->depth >= 24 ? 32 : vi->depth);
    d.cDepthBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_DEPTH_SIZE));
    d.cStencilBits = static_cast<std::uint8_t>(m.Config(vi.get(), GLX_STENCIL_SIZE));
    formats.push_back(d);
    return formats;
}

void TGlxDriver::CreateContext(TDeviceContext dc, const TGLPixelFormat&)
{
    Impl& m = *impl_;
    DestroyContext();
    XVisualInfoPtr vi = WindowVisual(m.display, static_cast<Window>(dc));
    if (!vi || !m.createContext)
        RaiseMessage("Create RC failed: Context is not created!");
    GLXContext context = m.createContext(m.display, vi.get(), nullptr, True);
    if (!context)
        context = m.createContext(m.display, vi.get(), nullptr, False);
    if (!context)
        RaiseMessage("Create RC failed: Context is not created!");
    m.context = context;
    m.window = static_cast<Window>(dc);
    m.doubleBuffered = m.Config(vi.get(), GLX_DOUBLEBUFFER) != 0;
    m.Sym(m.swapIntervalExt, "glXSwapIntervalEXT");
    m.Sym(m.swapIntervalMesa, "glXSwapIntervalMESA");
    if (!m.HasGlxExtension(vi->screen, "GLX_EXT_swap_control"))
        m.swapIntervalExt = nullptr;
    if (!m.HasGlxExtension(vi->screen, "GLX_MESA_swap_control"))
        m.swapIntervalMesa = nullptr;
    m.ExtSym(m.copySubBuffer, "glXCopySubBufferMESA");
    if (!m.doubleBuffered || !m.HasGlxExtension(vi->screen, "GLX_MESA_copy_sub_buffer"))
        m.copySubBuffer = nullptr;
    m.ExtSym(m.queryDrawable, "glXQueryDrawable");
    if (!m.HasGlxExtension(vi->screen, "GLX_EXT_buffer_age"))
        m.queryDrawable = nullptr;
}

bool TGlxDriver::HasContext() const { return impl_->context != nullptr; }

bool TGlxDriver::MakeCurrent(TDeviceContext dc, bool current)
{
    Impl& m = *impl_;
    if (!m.makeCurrent)
        return false;
    if (!current) {
        if (m.current)
            m.makeCurrent(m.display, None, nullptr);
        m.current = false;
        return true;
    }
    if (!m.context || !m.makeCurrent(m.display, static_cast<GLXDrawable>(dc), m.context))
        return false;
    m.window = static_cast<Window>(dc);
    m.current = true;
    return true;
}

void TGlxDriver::DestroyContext()
{
    Impl& m = *impl_;
    if (!m.context)
        return;
    MakeCurrent(m.window, false);
    if (m.destroyContext)
        m.destroyContext(m.display, m.context);
    m.context = nullptr;
    swapInterval_ = -1;
}

void TGlxDriver::SwapBuffers(TDeviceContext dc)
{
    Impl& m = *impl_;
    if (!m.current)
        return;
    if (m.doubleBuffered) {
        m.swapBuffers(m.display, static_cast<GLXDrawable>(dc));
    } else if (auto flush = reinterpret_cast<void (*)()>(GetProcAddress("glFlush"))) {
        flush();
    }
}

bool TGlxDriver::SwapRegion(TDeviceContext dc, const std::vector<TGLRect>& rects)
{
    Impl& m = *impl_;
    if (!m.current || !m.copySubBuffer)
        return false;
    // The copy flushes the drawing first; rectangles count from the bottom
    // left, as the GL does.
    for (const TGLRect& r : rects)
        if (!r.Empty())
            m.copySubBuffer(m.display, static_cast<GLXDrawable>(dc), r.X, r.Y, r.Width, r.Height);
    return true;
}

int TGlxDriver::BackBufferAge(TDeviceContext dc)
{
    Impl& m = *impl_;
    if (!m.current || !m.queryDrawable || !m.doubleBuffered)
        return 0;
    unsigned int age = 0;
    m.queryDrawable(m.display, static_cast<GLXDrawable>(dc), GLX_BACK_BUFFER_AGE_EXT, &age);
    return static_cast<int>(age);
}

bool TGlxDriver::HasSwapInterval() const { return impl_->swapIntervalExt || impl_->swapIntervalMesa; }

void TGlxDriver::SetSwapInterval(int interval)
{
    Impl& m = *impl_;
    if (!m.current)
        return;
    if (m.swapIntervalExt)
        m.swapIntervalExt(m.display, m.window, interval);
    else if (m.swapIntervalMesa)
        m.swapIntervalMesa(static_cast<unsigned>(interval));
    swapInterval_ = interval;
}

std::string TGlxDriver::PlatformExtensions(TDeviceContext)
{
    Impl& m = *impl_;
    const char* s = m.queryExtensions ? m.queryExtensions(m.display, DefaultScreen(m.display)) : nullptr;
    return s ? s : "";
}

void TGlxDriver::SurfaceSize(TDeviceContext dc, int& width, int& height)
{
    XWindowAttributes attributes;
    width = height = 0;
    if (dc && XGetWindowAttributes(impl_->display, static_cast<Window>(dc), &attributes)) {
        width = attributes.width;
        height = attributes.height;
    }
}
