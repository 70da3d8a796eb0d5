#pragma once
// Wave output through the system's waveOut API: a ring of kWaveBufferCount
// prepared headers, refilled from the completion callback.
#include <memory>

#include "sound/WaveOutput.h"

std::unique_ptr<TWaveOutput> CreateWinWaveOutput();
