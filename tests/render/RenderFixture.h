#pragma once
// A headless EGL context per test; tests skip with a clear message when the
// machine cannot make one.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/posix/EglDriver.h"
#include "platform/HeadlessGL.h"

class RenderTest : public ::testing::Test {
protected:
    static constexpr int W = 64;
    static constexpr int H = 48;

    void SetUp() override
    {
        headless = std::make_unique<THeadlessGL>(W, H);
        if (!headless->Start())
            GTEST_SKIP() << "EGL could not create an OpenGL context: " << headless->Error();
    }

    TCustomOpenGL& GL() { return headless->GL(); }

    struct RGBA {
        int R, G, B, A;
    };
    RGBA Pixel(int x, int y)
    {
        const std::vector<std::uint8_t> p = headless->ReadPixels();
        const std::uint8_t* q = p.data() + (static_cast<std::size_t>(y) * W + x) * 4;
        return {q[0], q[1], q[2], q[3]};
    }
    static bool Near(RGBA a, RGBA b, int tolerance = 2)
    {
        auto d = [](int x, int y) { return x > y ? x - y : y - x; };
        return d(a.R, b.R) <= tolerance && d(a.G, b.G) <= tolerance && d(a.B, b.B) <= tolerance;
    }

    std::unique_ptr<THeadlessGL> headless;
};
