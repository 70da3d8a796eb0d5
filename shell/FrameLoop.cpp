#include "shell/FrameLoop.h"

namespace {

// Marks a pass as running for its lifetime, so a nested pass is refused.
class TPassGuard {
public:
    explicit TPassGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TPassGuard() { flag_ = false; }
    TPassGuard(const TPassGuard&) = delete;
    TPassGuard& operator=(const TPassGuard&) = delete;

private:
    bool& flag_;
};

} // namespace

void TFrameSteps::RunFrame(bool& done)
{
    if (!inFrame_ && !FramePaused()) {
        TPassGuard guard(inFrame_);
        StartIfStopped(done);
        PaceAndMeasure(done);
        StartContextOnce();
        if (ReadyToDraw()) {
            const float dt = FrameTime();
            UpdateFrame(dt);
            CopyFlame();
            RenderFrame(dt);
            SwapFrame();
        }
    }
    SaverChecks();
}
