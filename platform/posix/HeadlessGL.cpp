#include "platform/posix/HeadlessGL.h"

#include <cstring>

#include "platform/posix/EglDriver.h"

THeadlessGL::THeadlessGL(int width, int height) : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1)
{
    auto driver = std::make_unique<TEglDriver>(width_, height_);
    driver_ = driver.get();
    gl_ = std::make_unique<TCustomOpenGL>(std::move(driver));
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

std::vector<std::uint8_t> THeadlessGL::ReadPixels() const
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width_) * height_ * 4, 0);
    if (!gl_->Active() || !glReadPixels)
        return pixels;
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::uint32_t THeadlessGL::PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || pixels.size() < static_cast<std::size_t>(width_) * height_ * 4)
        return 0;
    std::uint32_t value;
    std::memcpy(&value, pixels.data() + (static_cast<std::size_t>(y) * width_ + x) * 4, 4);
    return value;
}

std::vector<std::uint8_t> FlipRows(const std::vector<std::uint8_t>& pixels, int rowSize, int height)
{
    std::vector<std::uint8_t> out(pixels.size());
    if (rowSize <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(rowSize) * height)
        return pixels;
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + static_cast<std::size_t>(y) * rowSize,
                    pixels.data() + static_cast<std::size_t>(height - 1 - y) * rowSize, static_cast<std::size_t>(rowSize));
    return out;
}
