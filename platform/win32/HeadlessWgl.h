#pragma once
// A headless OpenGL context for tools on Windows: a hidden window with a WGL
// context through TWglDriver and TCustomOpenGL, drawing into a framebuffer
// object of width x height (the hidden window's back buffer where framebuffer
// objects are missing), and the read-back of its pixels. The same interface
// as the Linux THeadlessGL, so the tools use either without change.
//
// Like WglDriver.h this header does not include <windows.h>.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gl/GLClasses.h"

class TWglDriver;

class THeadlessGL {
public:
    THeadlessGL(int width, int height);
    ~THeadlessGL();
    THeadlessGL(const THeadlessGL&) = delete;
    THeadlessGL& operator=(const THeadlessGL&) = delete;

    // Makes the hidden window and activates the context; false (with Error()
    // set) when no window or context can be made.
    bool Start();
    // Releases the framebuffer and deactivates the context.
    void Stop();
    bool Active() const { return gl_->Active(); }
    const std::string& Error() const { return error_; }

    TCustomOpenGL& GL() { return *gl_; }
    TWglDriver& Driver() { return *driver_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // True when drawing goes to a framebuffer object, false when it goes to
    // the hidden window's back buffer.
    bool UsesFramebuffer() const;

    // The RGBA pixels of the picture, rows bottom-up, 4 bytes per pixel.
    std::vector<std::uint8_t> ReadPixels() const;
    // One RGBA pixel at (x, y), y counted from the bottom.
    std::uint32_t PixelAt(const std::vector<std::uint8_t>& pixels, int x, int y) const;

private:
    struct Impl;
    int width_;
    int height_;
    TWglDriver* driver_ = nullptr; // owned by gl_
    std::unique_ptr<TCustomOpenGL> gl_;
    std::unique_ptr<Impl> impl_;
    std::string error_;
};
