#include "platform/win32/WglFramebuffer.h"

namespace {

template <typename T>
void Proc(TGLProcLoader& loader, T& fn, const char* name, const char* extName)
{
    fn = reinterpret_cast<T>(loader.GetProcAddress(name));
    if (!fn)
        fn = reinterpret_cast<T>(loader.GetProcAddress(extName));
}

} // namespace

bool TWglFramebuffer::LoadFunctions(TGLProcLoader& loader)
{
    Proc(loader, genFramebuffers_, "glGenFramebuffers", "glGenFramebuffersEXT");
    Proc(loader, genRenderbuffers_, "glGenRenderbuffers", "glGenRenderbuffersEXT");
    Proc(loader, bindFramebuffer_, "glBindFramebuffer", "glBindFramebufferEXT");
    Proc(loader, bindRenderbuffer_, "glBindRenderbuffer", "glBindRenderbufferEXT");
    Proc(loader, renderbufferStorage_, "glRenderbufferStorage", "glRenderbufferStorageEXT");
    Proc(loader, framebufferRenderbuffer_, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT");
    Proc(loader, checkFramebufferStatus_, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
    Proc(loader, deleteFramebuffers_, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
    Proc(loader, deleteRenderbuffers_, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
    return genFramebuffers_ && genRenderbuffers_ && bindFramebuffer_ && bindRenderbuffer_ && renderbufferStorage_ &&
           framebufferRenderbuffer_ && checkFramebufferStatus_ && deleteFramebuffers_ && deleteRenderbuffers_;
}

bool TWglFramebuffer::Storage(int width, int height)
{
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    bindRenderbuffer_(GL_RENDERBUFFER, colorBuffer_);
    renderbufferStorage_(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    bindRenderbuffer_(GL_RENDERBUFFER, depthBuffer_);
    renderbufferStorage_(GL_RENDERBUFFER, depthFormat_, width_, height_);
    bindRenderbuffer_(GL_RENDERBUFFER, 0);
    bindFramebuffer_(GL_FRAMEBUFFER, framebuffer_);
    framebufferRenderbuffer_(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer_);
    framebufferRenderbuffer_(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (stencil_)
        framebufferRenderbuffer_(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    return checkFramebufferStatus_(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

bool TWglFramebuffer::Create(TGLProcLoader& loader, int width, int height, int depthBits, int stencilBits)
{
    Delete();
    if (!LoadFunctions(loader))
        return false;
    stencil_ = stencilBits > 0;
    depthFormat_ = (stencil_ || depthBits > 16) ? GL_DEPTH24_STENCIL8 : GL_DEPTH_COMPONENT16;
    genFramebuffers_(1, &framebuffer_);
    genRenderbuffers_(1, &colorBuffer_);
    genRenderbuffers_(1, &depthBuffer_);
    if (!Storage(width, height)) {
        Delete();
        return false;
    }
    Bind();
    return true;
}

bool TWglFramebuffer::Resize(int width, int height)
{
    if (!framebuffer_)
        return false;
    if (width == width_ && height == height_)
        return true;
    const bool complete = Storage(width, height);
    Bind();
    return complete;
}

void TWglFramebuffer::Bind()
{
    if (!framebuffer_)
        return;
    bindFramebuffer_(GL_FRAMEBUFFER, framebuffer_);
    if (glDrawBuffer)
        glDrawBuffer(GL_COLOR_ATTACHMENT0);
    if (glReadBuffer)
        glReadBuffer(GL_COLOR_ATTACHMENT0);
}

void TWglFramebuffer::Delete()
{
    if (!framebuffer_ && !colorBuffer_ && !depthBuffer_)
        return;
    bindFramebuffer_(GL_FRAMEBUFFER, 0);
    if (framebuffer_)
        deleteFramebuffers_(1, &framebuffer_);
    const GLuint buffers[2] = {colorBuffer_, depthBuffer_};
    deleteRenderbuffers_(2, buffers);
    Forget();
}

void TWglFramebuffer::Forget()
{
    framebuffer_ = colorBuffer_ = depthBuffer_ = 0;
    width_ = height_ = 0;
}
