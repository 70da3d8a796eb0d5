#pragma once
// The process-wide pseudo-random generator shared by the flame and the particles.
// Its state starts at 0 and is never reseeded, so every run draws the same sequence.
// Each draw first advances the state: state := state * 134775813 + 1 (mod 2^32).
#include <cstdint>

namespace Random {

// Integer draw in [0, n) for n >= 1: the high 32 bits of state * n.
std::uint32_t Below(std::uint32_t n);

// Real draw in [0, 1): state * 2^-32.
double Real();

// Current state, and a way to put it back (tests and tools only).
std::uint32_t State();
void SetState(std::uint32_t state);

} // namespace Random
