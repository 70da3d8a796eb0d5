#pragma once
// A headless OpenGL context for tests and tools: a TCustomOpenGL drawing a
// picture of width x height, and the read-back of its pixels. Linux makes it
// with EGL into a framebuffer (platform/posix/HeadlessGL.cpp); Windows with a
// WGL context on a hidden window, drawing into a framebuffer object, or into
// the window's back buffer where framebuffer objects are missing
// (platform/win32/HeadlessWgl.cpp).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gl/GLClasses.h"

class THeadlessGL {
public:
    THeadlessGL(int width, int height);
    ~THeadlessGL();
    THeadlessGL(const THeadlessGL&) = delete;
    THeadlessGL& operator=(const THeadlessGL&) = delete;

    // Makes the drawing surface and activates the context; false (with
    // Error() set) when no surface or context can be made.
    bool Start();
    // Deactivates the context (textures keep their pixels for a restart).
    void Stop();
    bool Active() const { return gl_->Active(); }
    const std::string& Error() const { return error_; }

    TCustomOpenGL& GL() { return *gl_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The RGBA pixels of the picture, rows bottom-up, 4 bytes per pixel
    // (zeros while no context is active).
    std::vector<std::uint8_t> ReadPixels() const
    {
        if (!gl_->Active())
            return std::vector<std::uint8_t>(static_cast<std::size_t>(width_) * height_ * 4, 0);
        return ReadPixelsRGBA(width_, height_);
    }
    // One RGBA pixel at (x, y), y counted from the bottom.
    std::uint32_t PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const
    {
        return PixelAtRGBA(pixels, width_, height_, x, y);
    }

private:
    struct Impl; // the platform's drawing surface
    int width_;
    int height_;
    std::unique_ptr<TCustomOpenGL> gl_;
    std::unique_ptr<Impl> impl_;
    std::string error_;
};
