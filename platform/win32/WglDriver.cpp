#include "platform/win32/WglDriver.h"

#include "gl/Errors.h"
#include "platform/win32/WglFramebuffer.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using PFN_wglGetProcAddress = PROC(WINAPI*)(LPCSTR);
using PFN_wglCreateContext = HGLRC(WINAPI*)(HDC);
using PFN_wglDeleteContext = BOOL(WINAPI*)(HGLRC);
using PFN_wglMakeCurrent = BOOL(WINAPI*)(HDC, HGLRC);
using PFN_DescribePixelFormat = int(WINAPI*)(HDC, int, UINT, PIXELFORMATDESCRIPTOR*);
using PFN_SetPixelFormat = BOOL(WINAPI*)(HDC, int, const PIXELFORMATDESCRIPTOR*);
using PFN_SwapBuffers = BOOL(WINAPI*)(HDC);
using PFN_wglSwapIntervalEXT = BOOL(WINAPI*)(int);
using PFN_wglGetSwapIntervalEXT = int(WINAPI*)();
using PFN_wglGetExtensionsStringARB = const char*(WINAPI*)(HDC);
using PFN_glAddSwapHintRectWIN = void(WINAPI*)(GLint, GLint, GLsizei, GLsizei);

// More formats than any driver reports; guards against a broken count.
constexpr int kMaxFormats = 4096;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == sizeof(TGLPixelFormatDescriptor),
              "the GL layer's descriptor must match the system's");

HDC AsDC(TDeviceContext dc) { return reinterpret_cast<HDC>(dc); }

// Some drivers answer a failed wglGetProcAddress with small values instead of null.
bool ValidProc(PROC p)
{
    const auto value = reinterpret_cast<std::intptr_t>(p);
    return value != 0 && value != 1 && value != 2 && value != 3 && value != -1;
}

// The screen's device context for the lifetime of the object.
class TScreenDC {
public:
    TScreenDC() : dc_(GetDC(nullptr)) {}
    ~TScreenDC()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

std::int32_t ClientWidthOf(HWND window)
{
    RECT r{};
    return window && GetClientRect(window, &r) ? r.right - r.left : 0;
}

std::int32_t ClientHeightOf(HWND window)
{
    RECT r{};
    return window && GetClientRect(window, &r) ? r.bottom - r.top : 0;
}

// The output of a child window drawn offscreen and copied in through GDI: the
// context lives on a hidden top-level window of its own and draws into a
// framebuffer object of the child's client size (or, without framebuffer
// objects, into the hidden window's back buffer, which has the same size).
struct TChildCopy {
    HWND target = nullptr;
    HDC targetDC = nullptr;
    HWND hidden = nullptr;
    HDC hiddenDC = nullptr;
    TWglFramebuffer framebuffer;
    int depthBits = 16;
    int stencilBits = 0;
    std::vector<std::uint32_t> pixels;

    TChildCopy() = default;
    TChildCopy(const TChildCopy&) = delete;
    TChildCopy& operator=(const TChildCopy&) = delete;
    ~TChildCopy() { CloseHidden(); }

    bool OpenHidden()
    {
        if (!RegisterGLSurfaceClass())
            return false;
        const int width = std::max<std::int32_t>(1, ClientWidthOf(target));
        const int height = std::max<std::int32_t>(1, ClientHeightOf(target));
        hidden = CreateWindowExW(WS_EX_TOOLWINDOW, kGLSurfaceClass, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                                 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        hiddenDC = hidden ? GetDC(hidden) : nullptr;
        return hiddenDC != nullptr;
    }

    void CloseHidden()
    {
        if (hidden && hiddenDC)
            ReleaseDC(hidden, hiddenDC);
        if (hidden)
            DestroyWindow(hidden);
        hidden = nullptr;
        hiddenDC = nullptr;
    }

    // The size the picture is drawn at.
    int Width() const { return framebuffer.Exists() ? framebuffer.Width() : std::max<std::int32_t>(1, ClientWidthOf(hidden)); }
    int Height() const { return framebuffer.Exists() ? framebuffer.Height() : std::max<std::int32_t>(1, ClientHeightOf(hidden)); }

    // With the context current: draw into the framebuffer (made on first use).
    void Bind(TGLProcLoader& loader)
    {
        if (framebuffer.Exists()) {
            framebuffer.Bind();
            return;
        }
        if (!framebuffer.Create(loader, ClientWidthOf(target), ClientHeightOf(target), depthBits, stencilBits)) {
            if (glDrawBuffer)
                glDrawBuffer(GL_BACK);
            if (glReadBuffer)
                glReadBuffer(GL_BACK);
        }
    }

    // Copies the finished picture into the child window, then follows the
    // window's size for the next frame.
    // Copies the rectangles of the picture (all of it without any) into the
    // window.
    void Present(const std::vector<TGLRect>* rects = nullptr)
    {
        const int width = Width();
        const int height = Height();
        if (glReadPixels) {
            pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
            GLint alignment = 4;
            if (glGetIntegerv)
                glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
            if (glPixelStorei)
                glPixelStorei(GL_PACK_ALIGNMENT, 4);
            glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
            if (glPixelStorei)
                glPixelStorei(GL_PACK_ALIGNMENT, alignment);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof(info.bmiHeader);
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = height; // rows bottom-up, as GL reads them
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            // Into the window through a device context of the moment. A
            // child of another program's window (the /p host) is drawn
            // through that window's own context at the child's place: wine
            // shows nothing drawn on such a child itself.
            HWND drawOn = target;
            POINT at{0, 0};
            HWND root = GetAncestor(target, GA_ROOT);
            DWORD owner = 0;
            if (root && root != target && GetWindowThreadProcessId(root, &owner) && owner != GetCurrentProcessId()) {
                drawOn = root;
                MapWindowPoints(target, root, &at, 1);
            }
            HDC dc = GetDCEx(drawOn, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
            if (dc) {
                if (!rects) {
                    SetDIBitsToDevice(dc, at.x, at.y, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                                      static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
                } else {
                    // Rectangles count from the bottom left, the window from its top.
                    for (const TGLRect& r : *rects) {
                        const TGLRect c = IntersectRect(r, {0, 0, width, height});
                        if (c.Empty())
                            continue;
                        SetDIBitsToDevice(dc, at.x + c.X, at.y + height - c.Top(), static_cast<DWORD>(c.Width),
                                          static_cast<DWORD>(c.Height), c.X, c.Y, 0, static_cast<UINT>(height),
                                          pixels.data(), &info, DIB_RGB_COLORS);
                    }
                }
                GdiFlush();
                ReleaseDC(drawOn, dc);
            }
        }
        const int clientWidth = ClientWidthOf(target);
        const int clientHeight = ClientHeightOf(target);
        if (clientWidth <= 0 || clientHeight <= 0 || (clientWidth == width && clientHeight == height))
            return;
        if (framebuffer.Exists())
            framebuffer.Resize(clientWidth, clientHeight);
        else if (hidden)
            SetWindowPos(hidden, nullptr, 0, 0, clientWidth, clientHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
};

} // namespace

const wchar_t kGLSurfaceClass[] = L"PyrelumeGLSurface";

bool RegisterGLSurfaceClass()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(instance, kGLSurfaceClass, &wc))
        return true;
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kGLSurfaceClass;
    return RegisterClassExW(&wc) != 0;
}

bool TWglDriver::CopiesChildWindowOutput()
{
    static const bool copy = [] {
        if (const char* mode = std::getenv("PYRELUME_CHILD_GL")) {
            if (std::strcmp(mode, "copy") == 0)
                return true;
            if (std::strcmp(mode, "direct") == 0)
                return false;
        }
        // Under wine the output of a context on a child window does not reach
        // the screen; wine's ntdll names itself with this export.
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return copy;
}

struct TWglDriver::Impl {
    HMODULE library = nullptr;
    PFN_wglGetProcAddress getProcAddress = nullptr;
    PFN_wglCreateContext createContext = nullptr;
    PFN_wglDeleteContext deleteContext = nullptr;
    PFN_wglMakeCurrent makeCurrent = nullptr;
    PFN_DescribePixelFormat describe = nullptr;
    PFN_SetPixelFormat setPixelFormat = nullptr;
    PFN_SwapBuffers swap = nullptr;

    // Window-system extensions, resolved once a context is current.
    PFN_wglSwapIntervalEXT swapInterval = nullptr;
    PFN_wglGetSwapIntervalEXT getSwapInterval = nullptr;
    PFN_wglGetExtensionsStringARB extensionsString = nullptr;
    PFN_glAddSwapHintRectWIN swapHint = nullptr;

    HGLRC context = nullptr;
    std::uint32_t formatFlags = 0; // of the format the context was made with
    HPALETTE palette = nullptr;
    std::unique_ptr<TChildCopy> copy;
    HDC currentDC = nullptr;
    bool current = false;

    template <typename T>
    T Export(const char* name) const
    {
        return reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
    }

    template <typename T>
    T WglProc(const char* name) const
    {
        if (!getProcAddress)
            return nullptr;
        PROC p = getProcAddress(name);
        return ValidProc(p) ? reinterpret_cast<T>(reinterpret_cast<void*>(p)) : nullptr;
    }

    void ClearExtensions()
    {
        swapInterval = nullptr;
        getSwapInterval = nullptr;
        extensionsString = nullptr;
        swapHint = nullptr;
    }

    void DeletePalette()
    {
        if (palette)
            DeleteObject(palette);
        palette = nullptr;
    }
};

TWglDriver::TWglDriver() : impl_(std::make_unique<Impl>()) {}

TWglDriver::~TWglDriver()
{
    DestroyContext();
    UnloadLibrary();
}

void TWglDriver::LoadGLLibrary(const std::string& fileName)
{
    UnloadLibrary();
    Impl& m = *impl_;
    m.library = LoadLibraryA(fileName.c_str());
    if (!m.library)
        RaiseMessage("Error: Could not load DLL from " + fileName);

    m.getProcAddress = m.Export<PFN_wglGetProcAddress>("wglGetProcAddress");

    // Describing a format: the library's plain export, its "wgl" export, else
    // the system's own function.
    m.describe = m.Export<PFN_DescribePixelFormat>("DescribePixelFormat");
    if (!m.describe)
        m.describe = m.Export<PFN_DescribePixelFormat>("wglDescribePixelFormat");
    if (!m.describe)
        m.describe = &::DescribePixelFormat;

    // A library that replaces the system's pixel-format functions under their
    // plain names also sets the format itself; otherwise the system does.
    m.setPixelFormat = m.Export<PFN_SetPixelFormat>("SetPixelFormat");
    if (!m.setPixelFormat)
        m.setPixelFormat = &::SetPixelFormat;

    m.swap = m.Export<PFN_SwapBuffers>("wglSwapBuffers");
    if (!m.swap)
        m.swap = &::SwapBuffers;

    m.createContext = m.Export<PFN_wglCreateContext>("wglCreateContext");
    m.deleteContext = m.Export<PFN_wglDeleteContext>("wglDeleteContext");
    m.makeCurrent = m.Export<PFN_wglMakeCurrent>("wglMakeCurrent");
}

void TWglDriver::UnloadLibrary()
{
    DestroyContext();
    Impl& m = *impl_;
    if (m.library)
        FreeLibrary(m.library);
    *impl_ = Impl{};
}

bool TWglDriver::LibraryLoaded() const { return impl_->library != nullptr; }

void* TWglDriver::GetProcAddress(const char* name)
{
    Impl& m = *impl_;
    if (!m.library || !name)
        return nullptr;
    if (void* p = m.Export<void*>(name))
        return p;
    // Extension (and, for some drivers, 1.2+) functions exist only through
    // wglGetProcAddress, and only while a context is current.
    if (m.current)
        return m.WglProc<void*>(name);
    return nullptr;
}

std::vector<TGLPixelFormatDescriptor> TWglDriver::DescribePixelFormats(TDeviceContext dc)
{
    std::vector<TGLPixelFormatDescriptor> formats;
    Impl& m = *impl_;
    if (!m.describe)
        return formats;
    TScreenDC screen;
    HDC target = dc ? AsDC(dc) : screen.Get();
    if (!target)
        return formats;
    PIXELFORMATDESCRIPTOR pfd{};
    int count = m.describe(target, 1, sizeof(pfd), &pfd);
    if (count <= 0)
        return formats;
    if (count > kMaxFormats)
        count = kMaxFormats;
    formats.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        PIXELFORMATDESCRIPTOR d{};
        TGLPixelFormatDescriptor out;
        // A format that cannot be described keeps its number but no flags, so
        // it never matches and the numbering of the others stays right.
        if (m.describe(target, i, sizeof(d), &d) > 0) {
            static_assert(sizeof(d) == sizeof(out));
            std::memcpy(static_cast<void*>(&out), &d, sizeof(out));
        } else {
            out.dwFlags = 0;
        }
        formats.push_back(out);
    }
    return formats;
}

void TWglDriver::CreateContext(TDeviceContext dc, const TGLPixelFormat& format)
{
    Impl& m = *impl_;
    DestroyContext();
    HDC target = AsDC(dc);
    HWND window = target ? WindowFromDC(target) : nullptr;
    if (window && CopiesChildWindowOutput() && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
        m.copy = std::make_unique<TChildCopy>();
        m.copy->target = window;
        m.copy->targetDC = target;
        m.copy->depthBits = format.Descriptor.cDepthBits;
        m.copy->stencilBits = format.Descriptor.cStencilBits;
        if (!m.copy->OpenHidden()) {
            m.copy.reset();
            RaiseMessage("Create RC failed: Context is not created!");
        }
        target = m.copy->hiddenDC;
    }
    PIXELFORMATDESCRIPTOR pfd;
    std::memcpy(&pfd, &format.Descriptor, sizeof(pfd));
    m.formatFlags = format.Descriptor.dwFlags;
    // A window keeps the first pixel format it was given; after a context
    // restart on the same window the format is already in place.
    if (GetPixelFormat(target) != format.FormatNumber && m.setPixelFormat)
        m.setPixelFormat(target, format.FormatNumber, &pfd);

    if (format.Descriptor.dwFlags & kPfdNeedPalette) {
        const std::vector<TGLPaletteEntry> entries = BuildPaletteEntries(format.Descriptor);
        if (entries.empty())
            RaiseMessage("Create RC failed: Palette is not created!");
        std::vector<unsigned char> block(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
        auto* log = reinterpret_cast<LOGPALETTE*>(block.data());
        log->palVersion = 0x300;
        log->palNumEntries = static_cast<WORD>(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            log->palPalEntry[i].peRed = entries[i].Red;
            log->palPalEntry[i].peGreen = entries[i].Green;
            log->palPalEntry[i].peBlue = entries[i].Blue;
            log->palPalEntry[i].peFlags = entries[i].Flags;
        }
        m.palette = CreatePalette(log);
        if (!m.palette)
            RaiseMessage("Create RC failed: Palette is not created!");
        SelectPalette(target, m.palette, FALSE);
        RealizePalette(target);
    }

    if (!m.createContext)
        RaiseMessage("Create RC failed: Context is not created!");
    m.context = m.createContext(target);
    if (!m.context) {
        m.DeletePalette();
        m.copy.reset();
        RaiseMessage("Create RC failed: Context is not created!");
    }
}

bool TWglDriver::HasContext() const { return impl_->context != nullptr; }

bool TWglDriver::MakeCurrent(TDeviceContext dc, bool current)
{
    Impl& m = *impl_;
    if (!m.makeCurrent)
        return false;
    if (!current) {
        m.makeCurrent(nullptr, nullptr);
        m.current = false;
        m.currentDC = nullptr;
        m.ClearExtensions();
        return true;
    }
    HDC surface = AsDC(dc);
    if (m.copy && surface == m.copy->targetDC)
        surface = m.copy->hiddenDC;
    if (!m.context || !m.makeCurrent(surface, m.context))
        return false;
    m.current = true;
    m.currentDC = surface;
    m.swapInterval = m.WglProc<PFN_wglSwapIntervalEXT>("wglSwapIntervalEXT");
    m.getSwapInterval = m.WglProc<PFN_wglGetSwapIntervalEXT>("wglGetSwapIntervalEXT");
    m.extensionsString = m.WglProc<PFN_wglGetExtensionsStringARB>("wglGetExtensionsStringARB");
    // Swap hints only where the library says it takes them.
    m.swapHint = nullptr;
    auto getString = m.Export<const GLubyte*(WINAPI*)(GLenum)>("glGetString");
    const GLubyte* extensions = getString ? getString(GL_EXTENSIONS) : nullptr;
    if (extensions && std::strstr(reinterpret_cast<const char*>(extensions), "GL_WIN_swap_hint")) {
        m.swapHint = m.WglProc<PFN_glAddSwapHintRectWIN>("glAddSwapHintRectWIN");
        if (!m.swapHint)
            m.swapHint = m.Export<PFN_glAddSwapHintRectWIN>("glAddSwapHintRectWIN");
    }
    if (m.copy)
        m.copy->Bind(*this);
    return true;
}

void TWglDriver::DestroyContext()
{
    Impl& m = *impl_;
    if (m.context) {
        // The framebuffer's names go with their context.
        if (m.copy && m.copy->framebuffer.Exists() && m.makeCurrent && m.makeCurrent(m.copy->hiddenDC, m.context))
            m.copy->framebuffer.Delete();
        if ((m.current || m.copy) && m.makeCurrent)
            m.makeCurrent(nullptr, nullptr);
        m.current = false;
        m.currentDC = nullptr;
        m.ClearExtensions();
        if (m.deleteContext)
            m.deleteContext(m.context);
        m.context = nullptr;
    }
    m.copy.reset();
    m.DeletePalette();
}

void TWglDriver::SwapBuffers(TDeviceContext dc)
{
    Impl& m = *impl_;
    if (m.copy && AsDC(dc) == m.copy->targetDC) {
        if (m.current)
            m.copy->Present();
        return;
    }
    if (m.swap && dc)
        m.swap(AsDC(dc));
}

bool TWglDriver::SwapRegion(TDeviceContext dc, const std::vector<TGLRect>& rects)
{
    Impl& m = *impl_;
    if (!m.current || !dc)
        return false;
    if (m.copy && AsDC(dc) == m.copy->targetDC) {
        m.copy->Present(&rects);
        return true;
    }
    // The hints tell a copying swap which parts to copy; the back buffer is
    // kept only by a format that copies.
    if (!m.swapHint || !m.swap || !(m.formatFlags & kPfdSwapCopy))
        return false;
    if (rects.empty())
        return true;
    for (const TGLRect& r : rects)
        m.swapHint(r.X, r.Y, r.Width, r.Height);
    m.swap(AsDC(dc));
    return true;
}

int TWglDriver::BackBufferAge(TDeviceContext dc)
{
    const Impl& m = *impl_;
    if (m.copy && AsDC(dc) == m.copy->targetDC)
        return 1;
    if (m.formatFlags & kPfdSwapCopy)
        return 1;
    if (m.formatFlags & kPfdSwapExchange)
        return 2;
    return 0;
}

bool TWglDriver::HasSwapInterval() const { return impl_->swapInterval != nullptr && impl_->getSwapInterval != nullptr; }

int TWglDriver::GetSwapInterval()
{
    return impl_->getSwapInterval ? impl_->getSwapInterval() : 0;
}

void TWglDriver::SetSwapInterval(int interval)
{
    if (impl_->swapInterval)
        impl_->swapInterval(interval);
}

std::string TWglDriver::PlatformExtensions(TDeviceContext dc)
{
    Impl& m = *impl_;
    if (!m.extensionsString)
        return {};
    const char* text = m.extensionsString(AsDC(dc));
    return text ? text : "";
}

void TWglDriver::SurfaceSize(TDeviceContext dc, int& width, int& height)
{
    width = height = 0;
    HWND window = dc ? WindowFromDC(AsDC(dc)) : nullptr;
    RECT r{};
    if (window && GetClientRect(window, &r)) {
        width = r.right - r.left;
        height = r.bottom - r.top;
    }
}
