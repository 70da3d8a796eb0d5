#include "tests/gl/FakeGL.h"

#include <cstring>

#include "gl/Errors.h"

std::vector<FakeCall>& FakeLog()
{
    static std::vector<FakeCall> log;
    return log;
}

std::vector<FakeCall> FakeCalls(const std::string& name)
{
    std::vector<FakeCall> out;
    for (const FakeCall& c : FakeLog())
        if (c.Name == name)
            out.push_back(c);
    return out;
}

std::string& FakeExtensions()
{
    static std::string s = "GL_ARB_multitexture GL_EXT_bgra GL_EXT_separate_specular_color";
    return s;
}

std::string& FakeRenderer()
{
    static std::string s = "Fake Renderer";
    return s;
}

std::map<GLenum, GLint>& FakeIntegers()
{
    static std::map<GLenum, GLint> m = {{GL_MAX_LIGHTS, 8}, {GL_MAX_TEXTURE_UNITS_ARB, 4}};
    return m;
}

namespace {
void Log(const char* name, std::vector<double> args) { FakeLog().push_back({name, std::move(args)}); }

const GLubyte* FakeGetString(GLenum name)
{
    const char* s = name == GL_VERSION    ? "1.1 Fake"
                    : name == GL_RENDERER ? FakeRenderer().c_str()
                    : name == GL_VENDOR   ? "Fake Vendor"
                    : name == GL_EXTENSIONS ? FakeExtensions().c_str()
                                          : nullptr;
    return reinterpret_cast<const GLubyte*>(s);
}
void FakeGetIntegerv(GLenum name, GLint* value) { *value = FakeIntegers().count(name) ? FakeIntegers()[name] : 0; }
void FakeFlush() { Log("glFlush", {}); }
void FakeHint(GLenum t, GLenum m) { Log("glHint", {double(t), double(m)}); }
void FakeEnable(GLenum c) { Log("glEnable", {double(c)}); }
void FakeDisable(GLenum c) { Log("glDisable", {double(c)}); }
void FakeLightModeli(GLenum p, GLint v) { Log("glLightModeli", {double(p), double(v)}); }
void FakeLightModelfv(GLenum p, const GLfloat* v) { Log("glLightModelfv", {double(p), v[0], v[1], v[2], v[3]}); }
void FakeMaterialfv(GLenum f, GLenum p, const GLfloat* v) { Log("glMaterialfv", {double(f), double(p), v[0], v[1], v[2], v[3]}); }
void FakeMaterialf(GLenum f, GLenum p, GLfloat v) { Log("glMaterialf", {double(f), double(p), v}); }
GLuint FakeGenLists(GLsizei n)
{
    Log("glGenLists", {double(n)});
    return 7;
}
void FakeDeleteLists(GLuint b, GLsizei n) { Log("glDeleteLists", {double(b), double(n)}); }
void FakeDeleteTextures(GLsizei n, const GLuint* t) { Log("glDeleteTextures", {double(n), double(t[0])}); }
void FakeEnableClientState(GLenum a) { Log("glEnableClientState", {double(a)}); }
void FakeDisableClientState(GLenum a) { Log("glDisableClientState", {double(a)}); }
void FakeVertexPointer(GLint, GLenum, GLsizei, const GLvoid*) { Log("glVertexPointer", {}); }
void FakeColorPointer(GLint, GLenum, GLsizei, const GLvoid*) { Log("glColorPointer", {}); }
void FakeNormalPointer(GLenum, GLsizei, const GLvoid*) { Log("glNormalPointer", {}); }
void FakeTexCoordPointer(GLint, GLenum, GLsizei, const GLvoid*) { Log("glTexCoordPointer", {}); }
void FakeColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { Log("glColor4ub", {double(r), double(g), double(b), double(a)}); }
void FakeNormal3f(GLfloat x, GLfloat y, GLfloat z) { Log("glNormal3f", {x, y, z}); }
void FakeDrawArrays(GLenum m, GLint f, GLsizei c) { Log("glDrawArrays", {double(m), double(f), double(c)}); }
void FakeDrawElements(GLenum m, GLsizei c, GLenum t, const GLvoid*) { Log("glDrawElements", {double(m), double(c), double(t)}); }

struct Entry {
    const char* Name;
    void* Fn;
};
#define PYR_FAKE(name) {"gl" #name, reinterpret_cast<void*>(&Fake##name)}
const Entry kEntries[] = {
    PYR_FAKE(GetString),       PYR_FAKE(GetIntegerv),     PYR_FAKE(Flush),           PYR_FAKE(Hint),
    PYR_FAKE(Enable),          PYR_FAKE(Disable),         PYR_FAKE(LightModeli),     PYR_FAKE(LightModelfv),
    PYR_FAKE(Materialfv),      PYR_FAKE(Materialf),       PYR_FAKE(GenLists),        PYR_FAKE(DeleteLists),
    PYR_FAKE(DeleteTextures),  PYR_FAKE(EnableClientState), PYR_FAKE(DisableClientState), PYR_FAKE(VertexPointer),
    PYR_FAKE(ColorPointer),    PYR_FAKE(NormalPointer),   PYR_FAKE(TexCoordPointer), PYR_FAKE(Color4ub),
    PYR_FAKE(Normal3f),        PYR_FAKE(DrawArrays),      PYR_FAKE(DrawElements),
    {"glClear", reinterpret_cast<void*>(&FakeFlush)}, // only checked for presence
};
#undef PYR_FAKE

class FakeLoader : public TGLProcLoader {
public:
    void* GetProcAddress(const char* name) override
    {
        for (const Entry& e : kEntries)
            if (std::strcmp(e.Name, name) == 0)
                return e.Fn;
        return nullptr;
    }
};
} // namespace

void InstallFakeGL()
{
    FakeLoader loader;
    LoadGLEntryPoints(loader);
    LoadGLExtensionEntryPoints(loader);
    FakeLog().clear();
}

void FakeDriver::LoadGLLibrary(const std::string& fileName)
{
    LoadedName = fileName;
    if (FailLoad)
        RaiseMessage("Error: Could not load DLL from " + fileName);
    Loaded = true;
}

void* FakeDriver::GetProcAddress(const char* name) { return FakeLoader().GetProcAddress(name); }

void FakeDriver::CreateContext(TDeviceContext, const TGLPixelFormat&)
{
    if (FailContext)
        RaiseMessage("Create RC failed: Context is not created!");
    Context = true;
}

TGLPixelFormatDescriptor MakeDescriptor(int color, int depth, int stencil, bool generic)
{
    TGLPixelFormatDescriptor d;
    d.dwFlags = kPfdDrawToWindow | kPfdSupportOpenGL | kPfdDoubleBuffer | (generic ? kPfdGenericFormat : 0);
    d.cColorBits = static_cast<std::uint8_t>(color);
    d.cDepthBits = static_cast<std::uint8_t>(depth);
    d.cStencilBits = static_cast<std::uint8_t>(stencil);
    return d;
}
