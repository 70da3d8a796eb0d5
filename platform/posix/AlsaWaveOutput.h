#pragma once
// Wave output through ALSA: a writer thread streams a ring of kWaveBufferCount
// mixed buffers to the PCM and refills each buffer as soon as ALSA has taken it.
#include <memory>
#include <string>

#include "platform/WaveOutput.h"

// device: an ALSA PCM name ("default", "null", "hw:0", a file plugin, ...).
std::unique_ptr<TWaveOutput> CreateAlsaWaveOutput(const std::string& device = "default");
