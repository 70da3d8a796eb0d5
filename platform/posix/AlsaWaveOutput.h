#pragma once
// Wave output through ALSA: a writer thread streams a ring of kWaveBufferCount
// mixed buffers to the PCM and refills each buffer as soon as ALSA has taken it.
#include <memory>
#include <string>

#include "platform/WaveOutput.h"

// device: an ALSA PCM name ("default", "null", "hw:0", a file plugin, ...).
std::unique_ptr<TWaveOutput> CreateAlsaWaveOutput(const std::string& device = "default");

// Sends ALSA's own diagnostics ("ALSA lib ...: cannot find card '0'") nowhere,
// for a program that says in its own words what failed.
void SilenceAlsaMessages();

// Why device cannot play, in a few words for a one-line message: "no sound
// card was found", or the device's name and the reason it cannot be opened.
// Empty when the device opens now.
std::string AlsaDeviceProblem(const std::string& device = "default");
