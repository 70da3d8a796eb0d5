#pragma once
// Measurements of a sound for content checks: how much of its energy lies in
// the low roar, how alike its two channels are, and how many pops stand out of
// the bed; and a spectrogram picture to judge it by eye.
#include <span>
#include <string>
#include <vector>

// A wave's samples as floats in -1..1, one vector per channel (a mono wave
// has the same samples in both).
struct TStereoSamples {
    int Rate = 0;
    std::vector<float> L, R;
    std::size_t Frames() const { return L.size(); }
};

// Decodes an 8- or 16-bit PCM WAVE image with one or two channels. Raises
// EPyrelumeError for any other format, naming the file.
TStereoSamples DecodePcmWave(std::span<const std::uint8_t> image, const std::string& fileName);

struct TWaveStats {
    double Seconds = 0;
    double LowShare = 0;     // share of the energy (both channels) below LowHz
    double Correlation = 0;  // Pearson correlation of left and right
    double RmsDb = -200, PeakDb = -200;  // dB of full scale, both channels
    std::vector<double> PopTimes;  // onsets in seconds
    // Level of each octave band (centres 31.5 Hz .. 8 kHz, kOctaveCentres)
    // in dB of full scale: the long-term shape of the spectrum.
    std::vector<double> OctaveDb;
    double PopsPerSecond() const { return Seconds > 0 ? PopTimes.size() / Seconds : 0; }
};

inline constexpr double kLowShareHz = 400;
inline constexpr double kOctaveCentres[] = {31.5, 63, 125, 250, 500, 1000, 2000, 4000, 8000};

// A pop is a transient: the energy of a 5 ms window (both channels) rises
// from below to at least 20 times (13 dB over) the median of the windows in
// the surrounding second, and above -50 dBFS; after a pop, 60 ms pass before
// the next can count, so one snap with its rattle is one pop.
struct TPopRule {
    double WindowSeconds = 0.005;
    double MedianSeconds = 1.0;
    double Ratio = 20;
    double FloorDb = -50;
    double RefractorySeconds = 0.06;
};

TWaveStats MeasureWave(const TStereoSamples& s, const TPopRule& rule = {});

// Renders a spectrogram of the channels' mean from `from` for `seconds` to an
// RGBA picture: one column per 128 frames (5.8 ms at 22050 Hz), the
// frequency axis logarithmic from 30 Hz to half the rate over `height` rows
// (grey lines at 100, 400, 1000 and 4000 Hz), the level from -100 to -20 dBFS
// dark to bright. Under it a strip with the left (upper half) and right
// (lower half) short-window level, and over it a red mark at every pop.
std::vector<std::uint8_t> RenderSpectrogram(const TStereoSamples& s, double from, double seconds, int height,
                                            int& width, int& totalHeight);
