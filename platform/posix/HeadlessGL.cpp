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
    if (!gl_->Active())
        return std::vector<std::uint8_t>(static_cast<std::size_t>(width_) * height_ * 4, 0);
    return ReadPixelsRGBA(width_, height_);
}

std::uint32_t THeadlessGL::PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const
{
    return PixelAtRGBA(pixels, width_, height_, x, y);
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
