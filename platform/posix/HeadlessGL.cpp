#include "platform/HeadlessGL.h"

#include "platform/posix/EglDriver.h"

// The EGL driver keeps its own framebuffer; nothing else is needed.
struct THeadlessGL::Impl {};

THeadlessGL::THeadlessGL(int width, int height)
    : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1),
      gl_(std::make_unique<TCustomOpenGL>(std::make_unique<TEglDriver>(width_, height_)))
{
}

THeadlessGL::~THeadlessGL() = default;

bool THeadlessGL::Start()
{
    gl_->Activate(0);
    if (!gl_->Active()) {
        error_ = gl_->LastError().empty() ? "OpenGL context could not be activated" : gl_->LastError();
        return false;
    }
    error_.clear();
    return true;
}

void THeadlessGL::Stop() { gl_->Deactivate(); }
