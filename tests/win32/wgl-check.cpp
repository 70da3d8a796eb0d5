// Checks the WGL context driver on a real window: a context through the GL
// layer, a clear colour read back, the swap-interval control, a restart on
// the same window, and the fall-back from the DirectX library to OpenGL.
// Prints what it finds and "wgl-check: OK" when every check held.
#include "gl/GLClasses.h"
#include "platform/win32/WglDriver.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace {

int failures = 0;

void Check(bool ok, const char* what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok)
        ++failures;
}

HWND MakeWindow(int width, int height)
{
    WNDCLASSW wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PyrelumeWglCheck";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"wgl-check", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    return window;
}

// Clears to (r, g, b) and reads the centre pixel of the back buffer.
bool ClearAndRead(float r, float g, float b, int width, int height, unsigned char out[3])
{
    if (!glClearColor || !glClear || !glReadPixels || !glFinish)
        return false;
    glViewport(0, 0, width, height);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFinish();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(width / 2, height / 2, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    out[0] = pixel[0];
    out[1] = pixel[1];
    out[2] = pixel[2];
    return true;
}

bool Near(unsigned char value, int expected) { return std::abs(static_cast<int>(value) - expected) <= 2; }

} // namespace

int main()
{
    const int width = 160, height = 120;
    HWND window = MakeWindow(width, height);
    Check(window != nullptr, "window created");
    if (!window)
        return 1;
    HDC dc = GetDC(window);
    const auto surface = reinterpret_cast<TDeviceContext>(dc);

    {
        TCustomOpenGL gl(std::make_unique<TWglDriver>());
        gl.Activate(surface);
        Check(gl.Active(), "context active");
        if (!gl.Active()) {
            std::printf("activation error: %s\n", gl.LastError().c_str());
            return 1;
        }
        std::printf("vendor: %s\nrenderer: %s\nversion: %s\n", gl.GLVendor().c_str(), gl.GLRenderer().c_str(),
                    gl.GLVersion().c_str());
        std::printf("formats: %zu hardware, %zu generic; chosen index %d\n", gl.HardwareFormats.size(),
                    gl.GenericFormats.size(), gl.ActiveFormatIndex());
        const std::vector<TGLPixelFormat>& formats = gl.ActiveFormats();
        const int index = gl.ActiveFormatIndex();
        Check(index >= 0 && index < static_cast<int>(formats.size()), "a format was chosen");
        if (index >= 0 && index < static_cast<int>(formats.size())) {
            const TGLPixelFormat& f = formats[static_cast<std::size_t>(index)];
            std::printf("format %d: colour %d depth %d stencil %d double %d\n", f.FormatNumber, f.ColorBits,
                        f.DepthBits, f.StencilBits, f.DoubleBuffer ? 1 : 0);
            Check(GetPixelFormat(dc) == f.FormatNumber, "window has the chosen pixel format");
            Check(f.DoubleBuffer && (f.Flags & pfDrawToWindow), "format is double-buffered and draws to a window");
        }
        Check(!gl.Extensions.empty(), "GL extensions listed");
        std::printf("wgl extensions: %zu\n", gl.WGLExtensions.size());

        int w = 0, h = 0;
        gl.Driver()->SurfaceSize(surface, w, h);
        Check(w == width && h == height, "surface size is the client size");

        unsigned char px[3];
        Check(ClearAndRead(1.0f, 0.5f, 0.0f, width, height, px) && Near(px[0], 255) && Near(px[1], 128) &&
                  Near(px[2], 0),
              "clear colour reads back");
        std::printf("pixel: %d %d %d\n", px[0], px[1], px[2]);

        // Swap-interval control follows WaitSync.
        auto* driver = gl.Driver();
        std::printf("swap interval control: %s\n", driver->HasSwapInterval() ? "yes" : "no");
        if (driver->HasSwapInterval()) {
            gl.WaitSync = false;
            gl.SwapBuffers(surface);
            Check(driver->GetSwapInterval() == 0, "WaitSync off sets interval 0");
            gl.WaitSync = true;
            gl.SwapBuffers(surface);
            Check(driver->GetSwapInterval() == 1, "WaitSync on sets interval 1");
        } else {
            gl.SwapBuffers(surface);
        }
        const bool parity = gl.SwapParity();
        gl.PaintSwap(surface);
        Check(gl.SwapParity() != parity || parity, "PaintSwap swaps only on odd parity");

        // A restart on the same window (the format is already set).
        gl.Deactivate();
        Check(!gl.Active() && !gl.Driver()->HasContext(), "deactivated");
        gl.Activate(surface);
        Check(gl.Active(), "re-activated on the same window");
        Check(gl.Active() && ClearAndRead(0.0f, 0.0f, 1.0f, width, height, px) && Near(px[2], 255) && Near(px[0], 0),
              "clear after restart");
        gl.Deactivate();
    }

    {
        // The DirectX library is missing here: activation fails once and the
        // renderer falls back to the system library.
        TCustomOpenGL gl(std::make_unique<TWglDriver>());
        gl.SetRenderer(TGLRenderer::DirectX);
        gl.Activate(surface);
        const bool haveDx = gl.Active();
        std::printf("DirectX library: %s\n", haveDx ? "present" : gl.LastError().c_str());
        if (!haveDx) {
            Check(gl.LastError() == "Error: Could not load DLL from dx7ogl32.dll", "missing library message");
            Check(gl.Renderer() == TGLRenderer::OpenGL, "renderer falls back to OpenGL");
            gl.Activate(surface);
            Check(gl.Active(), "second activation uses opengl32.dll");
        }
        gl.Deactivate();
    }

    ReleaseDC(window, dc);
    DestroyWindow(window);
    std::printf("wgl-check: %s\n", failures ? "FAILED" : "OK");
    return failures ? 1 : 0;
}
