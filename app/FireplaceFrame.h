#pragma once
// The fireplace's stored defaults and its frame for the programs that draw it
// without the Windows shell around it: pyrelume-tool render, the frame
// benchmark and the Linux display hack. They run the same frame steps as the
// saver (TFrameSteps::RunFrame); only pacing, the context's start and the
// swap are theirs.
#include <cstdint>
#include <functional>

#include "shell/FrameLoop.h"
#include "shell/GLApp.h"

class TCustomOpenGL;
class TGLViewport;
class TFormSettings;

// The camera and projection the program's main form stores: 39 degree field
// of view, depth 100 to 10000, camera at (0, 105, 240) looking along -Z, the
// picture stretched 4:3 over any size, depth-only clearing (the window is
// black).
TDefViewport FireplaceViewport();

// The full-screen mode the main form stores: 640 x 480 (the screen-size
// value 41943520), 16 bits per pixel.
inline constexpr std::int32_t kFireplaceFullScreenSize = 41943520;
inline constexpr std::int32_t kFireplaceFullScreenDepth = 16;

// One fireplace frame on gl: the flame step, its copy into the textures, the
// viewport for Width x Height, the scene, and Present as the swap.
class TFireplaceFrame : public TFrameSteps {
public:
    TFireplaceFrame(TFormSettings& form, TCustomOpenGL& gl, TDefViewport& viewport);

    // The output's size in pixels.
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    // The time step of every frame after the first (which steps 0 seconds).
    float TimeStep = 1.0f / 60;
    // Frames that clear the colour buffer to black first (a new or resized
    // window; both buffers of a double-buffered one).
    int ClearColorFrames = 1;
    // Shows the frame (a buffer swap, a read-back); none leaves it drawn.
    std::function<void()> Present;

    // Clears depth (and the colour while ClearColorFrames last) and applies
    // the viewport for the output size.
    void ApplyViewport();

protected:
    bool ReadyToDraw() override;
    float FrameTime() override;
    void UpdateFrame(float dt) override;
    void CopyFlame() override;
    void RenderFrame(float dt) override;
    void SwapFrame() override;

    TFormSettings& form_;
    TCustomOpenGL& gl_;
    TDefViewport& viewport_;

private:
    TGLViewport* glViewport_ = nullptr;
    bool first_ = true;
};
