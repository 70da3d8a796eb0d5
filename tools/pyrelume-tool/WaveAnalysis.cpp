#include "tools/pyrelume-tool/WaveAnalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "gl/Errors.h"
#include "sound/WaveSound.h"

namespace {

constexpr double kPi = std::numbers::pi;

// In-place radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w1 = std::polar(1.0, -2 * kPi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= w1;
            }
        }
    }
}

std::vector<double> Hann(std::size_t n)
{
    std::vector<double> w(n);
    for (std::size_t i = 0; i < n; ++i)
        w[i] = 0.5 - 0.5 * std::cos(2 * kPi * static_cast<double>(i) / static_cast<double>(n));
    return w;
}

// Power spectrum of the window of `x` starting at `start` (zeros outside).
std::vector<double> PowerSpectrum(const std::vector<float>& x, long start, const std::vector<double>& window,
                                  double mean)
{
    const std::size_t n = window.size();
    std::vector<std::complex<double>> a(n);
    for (std::size_t i = 0; i < n; ++i) {
        const long k = start + static_cast<long>(i);
        const double v = k >= 0 && k < static_cast<long>(x.size()) ? x[static_cast<std::size_t>(k)] - mean : 0.0;
        a[i] = v * window[i];
    }
    Fft(a);
    std::vector<double> p(n / 2 + 1);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = std::norm(a[i]);
    return p;
}

double Mean(const std::vector<float>& x)
{
    double s = 0;
    for (float v : x)
        s += v;
    return x.empty() ? 0 : s / static_cast<double>(x.size());
}

// Mean energy of both channels over consecutive windows of `len` frames.
std::vector<double> WindowEnergy(const TStereoSamples& s, std::size_t len)
{
    std::vector<double> e(s.Frames() / len);
    for (std::size_t w = 0; w < e.size(); ++w) {
        double sum = 0;
        for (std::size_t i = w * len; i < (w + 1) * len; ++i)
            sum += double(s.L[i]) * s.L[i] + double(s.R[i]) * s.R[i];
        e[w] = sum / (2.0 * static_cast<double>(len));
    }
    return e;
}

std::vector<double> FindPops(const TStereoSamples& s, const TPopRule& rule)
{
    std::vector<double> times;
    const std::size_t len = std::max<std::size_t>(1, std::lround(rule.WindowSeconds * s.Rate));
    const std::vector<double> e = WindowEnergy(s, len);
    if (e.size() < 3)
        return times;
    const std::size_t half = std::max<std::size_t>(1, std::lround(rule.MedianSeconds / rule.WindowSeconds / 2));
    const double floor = std::pow(10.0, rule.FloorDb / 10);
    const double refractory = rule.RefractorySeconds;
    std::vector<double> around;
    double last = -1e9;
    for (std::size_t w = 1; w < e.size(); ++w) {
        const std::size_t a = w > half ? w - half : 0, b = std::min(e.size(), w + half + 1);
        around.assign(e.begin() + static_cast<long>(a), e.begin() + static_cast<long>(b));
        std::nth_element(around.begin(), around.begin() + static_cast<long>(around.size() / 2), around.end());
        const double threshold = std::max(floor, rule.Ratio * around[around.size() / 2]);
        const double t = static_cast<double>(w * len) / s.Rate;
        if (e[w] >= threshold && e[w - 1] < threshold && t - last >= refractory) {
            times.push_back(t);
            last = t;
        }
    }
    return times;
}

struct Rgb {
    std::uint8_t r, g, b;
};

// Dark to bright: black, violet, red, orange, pale yellow.
Rgb Heat(double t)
{
    static const double stops[][3] = {{0, 0, 0}, {60, 10, 110}, {190, 30, 60}, {250, 140, 20}, {255, 250, 190}};
    t = std::clamp(t, 0.0, 1.0) * 4;
    const int i = std::min(3, static_cast<int>(t));
    const double f = t - i;
    auto mix = [&](int c) { return static_cast<std::uint8_t>(std::lround(stops[i][c] + (stops[i + 1][c] - stops[i][c]) * f)); };
    return {mix(0), mix(1), mix(2)};
}

}  // namespace

TStereoSamples DecodePcmWave(std::span<const std::uint8_t> image, const std::string& fileName)
{
    const TWaveChunks chunks = ReadWaveChunks(image, fileName);
    const TWaveFormatInfo f = DecodeWaveFormat(chunks.Format);
    if (f.FormatTag != kWaveFormatPCM || (f.BitsPerSample != 8 && f.BitsPerSample != 16) || f.Channels < 1 ||
        f.Channels > 2 || f.SamplesPerSec == 0)
        throw EPyrelumeError("cannot measure " + fileName + ": only 8- or 16-bit PCM with one or two channels");
    const std::size_t bytes = f.BitsPerSample / 8, frame = bytes * f.Channels;
    const std::size_t frames = chunks.DataSize / frame;
    const std::uint8_t* d = image.data() + chunks.DataOffset;
    TStereoSamples s;
    s.Rate = static_cast<int>(f.SamplesPerSec);
    s.L.resize(frames);
    s.R.resize(frames);
    auto sample = [&](std::size_t at) {
        if (bytes == 1)
            return (d[at] - 128) / 128.0f;
        return static_cast<std::int16_t>(d[at] | (d[at + 1] << 8)) / 32768.0f;
    };
    for (std::size_t i = 0; i < frames; ++i) {
        s.L[i] = sample(i * frame);
        s.R[i] = f.Channels == 2 ? sample(i * frame + bytes) : s.L[i];
    }
    return s;
}

TWaveStats MeasureWave(const TStereoSamples& s, const TPopRule& rule)
{
    TWaveStats st;
    if (s.Frames() == 0 || s.Rate <= 0)
        return st;
    st.Seconds = static_cast<double>(s.Frames()) / s.Rate;

    // Energy below the limit: 4096-frame Hann windows with half overlap over
    // each channel, the mean removed and the DC bin left out.
    const std::vector<double> window = Hann(4096);
    const double meanL = Mean(s.L), meanR = Mean(s.R);
    constexpr std::size_t kOctaves = std::size(kOctaveCentres);
    double low = 0, all = 0, octave[kOctaves] = {};
    long windows = 0;
    for (long start = -2048; start < static_cast<long>(s.Frames()); start += 2048, ++windows)
        for (int c = 0; c < 2; ++c) {
            const std::vector<double> p = PowerSpectrum(c == 0 ? s.L : s.R, start, window, c == 0 ? meanL : meanR);
            for (std::size_t k = 1; k < p.size(); ++k) {
                const double hz = static_cast<double>(k) * s.Rate / 4096.0;
                all += p[k];
                if (hz < kLowShareHz)
                    low += p[k];
                for (std::size_t o = 0; o < kOctaves; ++o)
                    if (hz >= kOctaveCentres[o] / std::sqrt(2.0) && hz < kOctaveCentres[o] * std::sqrt(2.0))
                        octave[o] += p[k];
            }
        }
    st.LowShare = all > 0 ? low / all : 0;
    // Parseval with the Hann window (sum of squares 1536 for 4096 frames,
    // windows at half overlap): the mean square of a channel in the band.
    for (double e : octave)
        st.OctaveDb.push_back(10 * std::log10(std::max(e * 2 / (4096.0 * 1536.0 * 2 * windows), 1e-20)));

    double sl = 0, sr = 0, slr = 0;
    for (std::size_t i = 0; i < s.Frames(); ++i) {
        const double l = s.L[i] - meanL, r = s.R[i] - meanR;
        sl += l * l;
        sr += r * r;
        slr += l * r;
    }
    st.Correlation = sl > 0 && sr > 0 ? slr / std::sqrt(sl * sr) : (sl == sr ? 1 : 0);
    double sum = 0, peak = 0;
    for (std::size_t i = 0; i < s.Frames(); ++i) {
        sum += double(s.L[i]) * s.L[i] + double(s.R[i]) * s.R[i];
        peak = std::max({peak, std::fabs(double(s.L[i])), std::fabs(double(s.R[i]))});
    }
    st.RmsDb = 10 * std::log10(std::max(sum / (2.0 * static_cast<double>(s.Frames())), 1e-20));
    st.PeakDb = 20 * std::log10(std::max(peak, 1e-10));
    st.PopTimes = FindPops(s, rule);
    return st;
}

std::vector<std::uint8_t> RenderSpectrogram(const TStereoSamples& s, double from, double seconds, int height,
                                            int& width, int& totalHeight)
{
    constexpr int kHop = 128, kMarks = 8, kStrip = 60;
    const long first = std::lround(from * s.Rate);
    width = std::max(1, static_cast<int>(seconds * s.Rate / kHop));
    totalHeight = kMarks + height + kStrip;
    std::vector<std::uint8_t> px(static_cast<std::size_t>(width) * totalHeight * 4, 0);
    auto put = [&](int x, int y, Rgb c) {
        std::uint8_t* p = &px[(static_cast<std::size_t>(y) * width + x) * 4];
        p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
    };
    for (int y = 0; y < totalHeight; ++y)
        for (int x = 0; x < width; ++x)
            put(x, y, {0, 0, 0});

    const std::vector<double> window = Hann(1024);
    double wsum = 0;
    for (double w : window)
        wsum += w;
    std::vector<float> mid(s.Frames());
    for (std::size_t i = 0; i < s.Frames(); ++i)
        mid[i] = 0.5f * (s.L[i] + s.R[i]);
    const double fTop = s.Rate / 2.0, fBottom = 30;
    auto rowOf = [&](double hz) { return static_cast<int>(std::lround((height - 1) * (1 - std::log(hz / fBottom) / std::log(fTop / fBottom)))); };
    for (int x = 0; x < width; ++x) {
        const long centre = first + static_cast<long>(x) * kHop;
        const std::vector<double> p = PowerSpectrum(mid, centre - 512, window, 0);
        for (int y = 0; y < height; ++y) {
            const double hz = fBottom * std::pow(fTop / fBottom, 1 - static_cast<double>(y) / (height - 1));
            const double bin = hz * 1024 / s.Rate;
            const std::size_t k = std::min(p.size() - 2, static_cast<std::size_t>(bin));
            const double frac = bin - static_cast<double>(k);
            const double amp = std::sqrt(p[k] * (1 - frac) + p[k + 1] * frac) / (wsum / 2);
            const double db = 20 * std::log10(std::max(amp, 1e-9));
            put(x, kMarks + y, Heat((db + 100) / 80));
        }
        for (double hz : {100.0, 400.0, 1000.0, 4000.0})
            if (x % 4 < 2)
                put(x, kMarks + rowOf(hz), {120, 120, 120});
        // level strip: left upwards from the middle line, right downwards
        const int mid0 = kMarks + height + kStrip / 2;
        for (int c = 0; c < 2; ++c) {
            const std::vector<float>& ch = c == 0 ? s.L : s.R;
            double sum = 0;
            for (long i = centre; i < centre + kHop; ++i)
                if (i >= 0 && i < static_cast<long>(ch.size()))
                    sum += double(ch[static_cast<std::size_t>(i)]) * ch[static_cast<std::size_t>(i)];
            const double db = 10 * std::log10(std::max(sum / kHop, 1e-12));
            const int bar = std::clamp(static_cast<int>((db + 60) / 60 * (kStrip / 2 - 1)), 0, kStrip / 2 - 1);
            for (int k = 0; k <= bar; ++k)
                put(x, c == 0 ? mid0 - 1 - k : mid0 + k, c == 0 ? Rgb{90, 220, 90} : Rgb{90, 200, 230});
        }
    }
    for (double t : FindPops(s, {})) {
        const int x = static_cast<int>((t - from) * s.Rate / kHop);
        if (x >= 0 && x < width)
            for (int y = 0; y < kMarks - 2; ++y)
                put(x, y, {255, 40, 40});
    }
    return px;
}
