#include "gl/GLApi.h"

#define PYR_GL_DEFINE_POINTER(ret, name, params) PFN_##name name = nullptr;
PYR_GL_CORE_FUNCS(PYR_GL_DEFINE_POINTER)
PYR_GL_OPTIONAL_FUNCS(PYR_GL_DEFINE_POINTER)
PYR_GL_EXTENSION_FUNCS(PYR_GL_DEFINE_POINTER)
PYR_GL_MISC_EXTENSION_FUNCS(PYR_GL_DEFINE_POINTER)
#undef PYR_GL_DEFINE_POINTER

namespace {
template <typename T>
bool Resolve(TGLProcLoader& loader, T& pointer, const char* name)
{
    pointer = reinterpret_cast<T>(loader.GetProcAddress(name));
    return pointer != nullptr;
}
} // namespace

int LoadGLEntryPoints(TGLProcLoader& loader)
{
    ClearGLEntryPoints();
    int found = 0;
#define PYR_GL_RESOLVE_COUNTED(ret, name, params) found += Resolve(loader, name, #name) ? 1 : 0;
#define PYR_GL_RESOLVE(ret, name, params) Resolve(loader, name, #name);
    PYR_GL_CORE_FUNCS(PYR_GL_RESOLVE_COUNTED)
    PYR_GL_OPTIONAL_FUNCS(PYR_GL_RESOLVE)
#undef PYR_GL_RESOLVE_COUNTED
#undef PYR_GL_RESOLVE
    return found;
}

void LoadGLExtensionEntryPoints(TGLProcLoader& loader)
{
#define PYR_GL_RESOLVE(ret, name, params) Resolve(loader, name, #name);
    PYR_GL_EXTENSION_FUNCS(PYR_GL_RESOLVE)
    PYR_GL_MISC_EXTENSION_FUNCS(PYR_GL_RESOLVE)
#undef PYR_GL_RESOLVE
#define PYR_GL_RESOLVE_EXT(name) \
    if (!name)                   \
        Resolve(loader, name, #name "EXT");
    PYR_GL_EXT_FALLBACK_FUNCS(PYR_GL_RESOLVE_EXT)
#undef PYR_GL_RESOLVE_EXT
}

void ClearGLEntryPoints()
{
#define PYR_GL_CLEAR(ret, name, params) name = nullptr;
    PYR_GL_CORE_FUNCS(PYR_GL_CLEAR)
    PYR_GL_OPTIONAL_FUNCS(PYR_GL_CLEAR)
    PYR_GL_EXTENSION_FUNCS(PYR_GL_CLEAR)
    PYR_GL_MISC_EXTENSION_FUNCS(PYR_GL_CLEAR)
#undef PYR_GL_CLEAR
}

bool GLEntryPointsLoaded()
{
    return glClear && glEnable && glGetString && glGetIntegerv && glFlush;
}
