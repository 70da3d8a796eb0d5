#pragma once
// A framebuffer object with an RGBA colour buffer and a depth (and stencil)
// buffer, made through the entry points of the current WGL context. The
// headless tool context and the copied child-window output draw into one.
//
// Like WglDriver.h this header does not include <windows.h>.
#include "gl/GLApi.h"


class TWglFramebuffer {
public:
    // Needs the context current. False (and nothing left behind) when the
    // driver lacks framebuffer objects or the buffers are incomplete.
    bool Create(TGLProcLoader& loader, int width, int height, int depthBits, int stencilBits);
    // New storage of the same kinds for another size; the framebuffer stays bound.
    bool Resize(int width, int height);
    void Bind();
    // Deletes the buffers (the context must be current); safe when none exist.
    void Delete();
    // Forgets the names without deleting them (their context is gone).
    void Forget();
    bool Exists() const { return framebuffer_ != 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    bool LoadFunctions(TGLProcLoader& loader);
    bool Storage(int width, int height);

    using PFN_GenObjects = void(PYR_GLAPIENTRY*)(GLsizei, GLuint*);
    using PFN_BindObject = void(PYR_GLAPIENTRY*)(GLenum, GLuint);
    using PFN_RenderbufferStorage = void(PYR_GLAPIENTRY*)(GLenum, GLenum, GLsizei, GLsizei);
    using PFN_FramebufferRenderbuffer = void(PYR_GLAPIENTRY*)(GLenum, GLenum, GLenum, GLuint);
    using PFN_CheckFramebufferStatus = GLenum(PYR_GLAPIENTRY*)(GLenum);
    using PFN_DeleteObjects = void(PYR_GLAPIENTRY*)(GLsizei, const GLuint*);

    PFN_GenObjects genFramebuffers_ = nullptr, genRenderbuffers_ = nullptr;
    PFN_BindObject bindFramebuffer_ = nullptr, bindRenderbuffer_ = nullptr;
    PFN_RenderbufferStorage renderbufferStorage_ = nullptr;
    PFN_FramebufferRenderbuffer framebufferRenderbuffer_ = nullptr;
    PFN_CheckFramebufferStatus checkFramebufferStatus_ = nullptr;
    PFN_DeleteObjects deleteFramebuffers_ = nullptr, deleteRenderbuffers_ = nullptr;
    GLuint framebuffer_ = 0, colorBuffer_ = 0, depthBuffer_ = 0;
    GLenum depthFormat_ = 0;
    bool stencil_ = false;
    int width_ = 0, height_ = 0;
};
