#include "platform/posix/hack/HackProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "app/FSettings.h"
#include "app/FireplaceFrame.h"
#include "app/MemorySettings.h"
#include "assets/ResourceFile.h"
#include "gl/GLApi.h"
#include "platform/posix/AlsaWaveOutput.h"
#include "platform/posix/FreeTypeGlyphs.h"
#include "platform/posix/hack/GlxDriver.h"
#include "platform/posix/hack/SoundLock.h"
#include "platform/posix/hack/XTarget.h"
#include "clock/TimeProvider.h"
#include "scene/GLGraphics.h"
#include "shell/AppOpenGL.h"
#include "shell/AppPro.h"
#include "shell/GLApp.h"
#include "sound/SoundClasses.h"

namespace {

// ---- Stop signals: a flag and a pipe that wakes the frame wait.
volatile std::sig_atomic_t stopRequested = 0;
int stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int)
{
    stopRequested = 1;
    if (stopPipe[1] >= 0) {
        const int saved = errno;
        const char c = 1;
        [[maybe_unused]] const ssize_t n = write(stopPipe[1], &c, 1);
        errno = saved;
    }
}

// Waits until the deadline while handling X events; false when the run ends.
bool WaitForFrame(TXTarget& target, std::chrono::steady_clock::time_point deadline, bool& resized)
{
    using namespace std::chrono;
    for (;;) {
        bool sized = false;
        if (!target.HandleEvents(sized))
            return false;
        resized = resized || sized;
        if (stopRequested)
            return false;
        const auto now = steady_clock::now();
        if (now >= deadline)
            return true;
        const auto wait = duration_cast<microseconds>(deadline - now).count();
        pollfd fds[2] = {{target.ConnectionFd(), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
        timespec ts{static_cast<time_t>(wait / 1000000), static_cast<long>(wait % 1000000) * 1000};
        ppoll(fds, stopPipe[0] >= 0 ? 2 : 1, &ts, nullptr);
    }
}

// The ALSA output of the run, which says once, in one line, why the sound is
// off when the device cannot be opened; the picture goes on silently.
class TReportedWaveOutput final : public TWaveOutput {
public:
    explicit TReportedWaveOutput(std::unique_ptr<TWaveOutput> output) : output_(std::move(output)) {}

    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override
    {
        try {
            output_->Open(format, bufferSize, source);
        } catch (const std::exception& e) {
            if (!reported_) {
                reported_ = true;
                std::string why = AlsaDeviceProblem();
                std::fprintf(stderr, "pyrelume: sound is off: %s\n", why.empty() ? e.what() : why.c_str());
            }
            throw;
        }
    }
    void Close() override { output_->Close(); }
    bool IsOpen() const override { return output_->IsOpen(); }
    void Pause() override { output_->Pause(); }
    void Resume() override { output_->Resume(); }

private:
    std::unique_ptr<TWaveOutput> output_;
    bool reported_ = false;
};

// The sound device of the run, silenced at once when the X connection is lost
// (the process ends from inside Xlib then).
TWinSoundDevice* runSound = nullptr;

} // namespace

void InstallHackStopSignals()
{
    if (stopPipe[0] < 0 && pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        stopPipe[0] = stopPipe[1] = -1;
    struct sigaction sa{};
    sa.sa_handler = &OnStopSignal;
    sigemptyset(&sa.sa_mask);
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

bool HackStopRequested() { return stopRequested != 0; }

int RunHack(const THackOptions& options)
{
    TXTarget target;
    TXTarget::SetConnectionLostHook([] {
        if (runSound)
            runSound->Deactivate();
    });
    target.Open(options, std::getenv("XSCREENSAVER_WINDOW"));

    // One process per display plays; a device that is missing or busy leaves it silent.
    TSoundLock soundLock;
    const bool play = options.Sound && soundLock.Acquire(SoundLockPath(target.DisplayKey(),
                                                                       std::getenv("XDG_RUNTIME_DIR"), getuid()));
    // The hack's services: FreeType glyphs, the C library's time, ALSA when it
    // plays (its library's own messages silenced: the program says what failed).
    if (play)
        SilenceAlsaMessages();
    std::unique_ptr<TWaveOutput> alsa = play ? std::make_unique<TReportedWaveOutput>(CreateAlsaWaveOutput()) : nullptr;
    TFreeTypeGlyphs glyphs;
    TEmbeddedResources resources; // the scene archive linked into the program
    TServices services;
    services.Glyphs = &glyphs;
    services.Resources = &resources;
    services.Time = &SystemTime();
    services.SoundOutput = alsa.get();

    TAppGLContext context(std::make_unique<TGlxDriver>(target.Display()));
    TCustomAppOpenGL& gl = context.GL();
    gl.WaitSync = false; // -delay paces the frames
    TDefViewport viewport = FireplaceViewport();
    TFormSettings form(services);
    form.Viewport = &viewport;
    runSound = form.Sound.get();
    struct TSoundEnd {
        ~TSoundEnd() { runSound = nullptr; }
    } soundEnd;
    if (HackStopRequested())
        return 0;

    // The scene from the archive the program carries, then the settings.
    form.StartScene(&gl, "");
    TMemorySettings memory;
    TSettingsStore store(&memory);
    store.SetKeyPath(SettingsKeyPath("Varnel Software", "Pyrelume", "3"));
    FeedHackSettings(options, store, form.Scene.get(), play);
    form.LoadSettings(store);
    if (HackStopRequested())
        return 0;

    context.Activate(target.Window());
    if (!context.Active())
        throw std::runtime_error("no OpenGL context on the window: " + gl.LastError());
    context.SetBaseState();
    form.SetWideScreen(form.WideScreen);

    // The fireplace frame the tools run, shown with a buffer swap; the colour is
    // cleared on both buffers of the double-buffered window at the start and
    // after every resize.
    TFireplaceFrame frame(form, gl, viewport);
    frame.ClearColorFrames = 2;
    frame.Present = [&] { context.SwapBuffers(target.Window()); };

    using namespace std::chrono;
    const auto period = microseconds(options.DelayMicroseconds);
    auto last = steady_clock::now();
    auto deadline = last;
    auto fpsStart = last;
    int frames = 0;
    bool resized = false;
    while (!HackStopRequested()) {
        if (resized)
            frame.ClearColorFrames = 2;
        resized = false;
        const auto now = steady_clock::now();
        frame.Width = target.Width();
        frame.Height = target.Height();
        frame.TimeStep = duration<float>(now - last).count();
        last = now;
        // What was uncovered is shown again with the next frame, whole.
        if (target.TakeExposed())
            gl.InvalidateFront();
        bool done = false;
        frame.RunFrame(done);
        ++frames;
        if (now - fpsStart >= seconds(1)) {
            form.SetFpsValue(static_cast<int>(frames / duration<double>(now - fpsStart).count() + 0.5));
            frames = 0;
            fpsStart = now;
        }
        // The next frame one period after this one; a late frame does not make
        // the following ones hurry.
        deadline = std::max(deadline + period, now);
        if (!WaitForFrame(target, deadline, resized))
            break;
    }

    form.Sound->Deactivate();
    form.Stop(); // scene objects release their GL objects before the context goes
    // On a window that has gone the GLX calls fail with X errors the target absorbs.
    context.Deactivate();
    return 0;
}
