#pragma once
// One pass of the frame loop, step by step. RunFrame takes the steps in the
// order they stand here; every class on the way from the application core to
// the saver (and the fireplace frames of the tools and the Linux hack)
// overrides only the steps it owns. A step left alone does nothing.

class TFrameSteps {
public:
    virtual ~TFrameSteps() = default;

    // One pass of the loop: the whole frame, read top to bottom.
    //   start if stopped -> pace and measure -> start the context once ->
    //   [when there is something to draw on] frame time -> update ->
    //   flame copy -> render -> swap -> saver checks.
    // A pass that is paused or that starts while another runs (a message box
    // pumping messages inside a step) skips to the saver checks.
    void RunFrame(bool& done);
    // True while a pass runs.
    bool InFrame() const { return inFrame_; }

protected:
    // True while no frame may be drawn (the power is off).
    virtual bool FramePaused() { return false; }
    // Starts the run when it is stopped (the application core).
    virtual void StartIfStopped(bool& done) {}
    // Frame count, frame rate and the sleeps that pace the loop.
    virtual void PaceAndMeasure(bool& done) {}
    // Creates the GL context the first time a device context is there.
    virtual void StartContextOnce() {}
    // Whether this pass draws: a context, an output and a scene.
    virtual bool ReadyToDraw() { return false; }
    // Seconds since the previous frame.
    virtual float FrameTime() { return 0.0f; }
    // Advances the animation (the flame simulation) by dt seconds.
    virtual void UpdateFrame(float dt) {}
    // Writes the flame into its textures.
    virtual void CopyFlame() {}
    // Sets the viewport and draws the scene.
    virtual void RenderFrame(float dt) {}
    // Shows the drawn frame.
    virtual void SwapFrame() {}
    // The saver's own checks after the frame (power and monitor timers).
    virtual void SaverChecks() {}

private:
    bool inFrame_ = false;
};
