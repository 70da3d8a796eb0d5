#pragma once
// A stand-in GL for unit tests: a context driver whose entry points record
// what the GL layer sends, with hand-made pixel formats.
#include <map>
#include <string>
#include <vector>

#include "gl/GLClasses.h"

struct FakeCall {
    std::string Name;
    std::vector<double> Args;
};

// Everything the fake entry points received, in order.
std::vector<FakeCall>& FakeLog();
// Calls of one entry point.
std::vector<FakeCall> FakeCalls(const std::string& name);
// What the fake glGetString and glGetIntegerv answer.
std::string& FakeExtensions();
// GL_RENDERER of the fake ("Fake Renderer" unless a test changes it).
std::string& FakeRenderer();
std::map<GLenum, GLint>& FakeIntegers();

// Installs the fake entry points directly (no context object needed).
void InstallFakeGL();

class FakeDriver : public TGLContextDriver {
public:
    std::vector<TGLPixelFormatDescriptor> Formats;
    bool FailLoad = false;
    bool FailContext = false;
    bool Loaded = false;
    bool Context = false;
    int Interval = 1;
    int IntervalSets = 0;
    int Swaps = 0;
    std::string LoadedName;

    void LoadGLLibrary(const std::string& fileName) override;
    void UnloadLibrary() override { Loaded = false; }
    bool LibraryLoaded() const override { return Loaded; }
    void* GetProcAddress(const char* name) override;
    std::vector<TGLPixelFormatDescriptor> DescribePixelFormats(TDeviceContext) override { return Formats; }
    void CreateContext(TDeviceContext, const TGLPixelFormat&) override;
    bool HasContext() const override { return Context; }
    bool MakeCurrent(TDeviceContext, bool) override { return Context; }
    void DestroyContext() override { Context = false; }
    void SwapBuffers(TDeviceContext) override { ++Swaps; }
    bool HasSwapInterval() const override { return true; }
    int GetSwapInterval() override { return Interval; }
    void SetSwapInterval(int interval) override
    {
        Interval = interval;
        ++IntervalSets;
    }
    std::string PlatformExtensions(TDeviceContext) override { return "WGL_EXT_swap_control,WGL_ARB_extensions_string"; }
    void SurfaceSize(TDeviceContext, int& w, int& h) override { w = 64, h = 64; }
};

// A descriptor with the given values (generic adds the generic-format flag).
TGLPixelFormatDescriptor MakeDescriptor(int color, int depth, int stencil, bool generic = false);
