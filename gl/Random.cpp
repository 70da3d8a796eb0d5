#include "gl/Random.h"

namespace {
std::uint32_t g_state = 0;

inline std::uint32_t Advance()
{
    g_state = g_state * 134775813u + 1u;
    return g_state;
}
} // namespace

namespace Random {

std::uint32_t Below(std::uint32_t n)
{
    const std::uint64_t product = static_cast<std::uint64_t>(Advance()) * n;
    return static_cast<std::uint32_t>(product >> 32);
}

double Real()
{
    return static_cast<double>(Advance()) * (1.0 / 4294967296.0);
}

std::uint32_t State() { return g_state; }

void SetState(std::uint32_t state) { g_state = state; }

} // namespace Random
