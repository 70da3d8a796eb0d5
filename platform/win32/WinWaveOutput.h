#pragma once
// Wave output through the system's waveOut API: a ring of kWaveBufferCount
// prepared headers; the system signals an event when one has played, and a
// refill thread of our own mixes and queues it again.
#include <memory>

#include "platform/WaveOutput.h"

std::unique_ptr<TWaveOutput> CreateWinWaveOutput();
