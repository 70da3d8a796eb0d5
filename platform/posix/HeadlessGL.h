#pragma once
// A headless OpenGL context for tests and tools: a TCustomOpenGL on the EGL
// driver with a framebuffer of width x height, and the read-back of its pixels.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gl/GLClasses.h"

class TEglDriver;

class THeadlessGL {
public:
    THeadlessGL(int width, int height);
    ~THeadlessGL();

    // Activates the context; false (with Error() set) when EGL cannot make one.
    bool Start();
    // Deactivates the context (textures keep their pixels for a restart).
    void Stop();
    bool Active() const { return gl_->Active(); }
    const std::string& Error() const { return error_; }

    TCustomOpenGL& GL() { return *gl_; }
    TEglDriver& Driver() { return *driver_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The RGBA pixels of the framebuffer, rows bottom-up, 4 bytes per pixel.
    std::vector<std::uint8_t> ReadPixels() const;
    // One RGBA pixel at (x, y), y counted from the bottom.
    std::uint32_t PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const;

private:
    int width_;
    int height_;
    TEglDriver* driver_ = nullptr; // owned by gl_
    std::unique_ptr<TCustomOpenGL> gl_;
    std::string error_;
};

// Flips rows of a bottom-up image into top-down order (or back).
std::vector<std::uint8_t> FlipRows(const std::vector<std::uint8_t>& pixels, int rowSize, int height);
