#pragma once
// What the GL object lists ask of the context that owns them: whether it is
// active, which extensions and limits it has, and the few pieces of state
// they set while initialising. TCustomOpenGL implements it; the lists keep
// a pointer to this interface rather than to the context class.
#include <string_view>

#include "gl/GLApi.h"

class IGLCapabilities {
public:
    virtual ~IGLCapabilities() = default;

    virtual bool Active() const = 0;
    // The integer state value; raises when there is no active context.
    virtual int GetInt(GLenum name) = 0;
    // Plain substring search in the current GL_EXTENSIONS string.
    virtual bool HasExtension(std::string_view name) = 0;
    // True when the current context rasterises on the CPU.
    virtual bool SoftwareRasterizer() = 0;
    virtual void SetPerspectiveHint(bool nicest) = 0;

    // Raises "TCustomOpenGL.GetInt error: OpenGL is not activated!".
    [[noreturn]] static int RaiseNotActive();
};
