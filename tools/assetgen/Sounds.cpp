// The two crackle loops: a bed of soft hiss and low roar with irregular
// ticks, pops and snaps of burning wood. Everything is built on a circular
// buffer (filters run round the loop until settled, events never straddle the
// end), so the last frame runs into the first as smoothly as any other pair.
#include <cmath>

#include "tools/assetgen/AssetGen.h"
#include "assets/LittleEndian.h"

namespace assetgen {

namespace {

constexpr int kRate = 22050;

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(int n) : l(static_cast<std::size_t>(n)), r(static_cast<std::size_t>(n)) {}
    int Size() const { return static_cast<int>(l.size()); }
};

// One-pole low-pass run twice round a periodic signal so that its state at
// the end of the loop equals the state it starts with.
std::vector<float> LowPassLoop(const std::vector<float>& x, float cutoff) {
    float a = 1 - std::exp(-2 * kPi * cutoff / kRate);
    std::vector<float> y(x.size());
    float s = 0;
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < x.size(); ++i) {
            s += a * (x[i] - s);
            y[i] = s;
        }
    return y;
}

std::vector<float> HighPassLoop(const std::vector<float>& x, float cutoff) {
    std::vector<float> lp = LowPassLoop(x, cutoff), y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = x[i] - lp[i];
    return y;
}

std::vector<float> WhiteNoise(int n, Rng& rng) {
    std::vector<float> v(static_cast<std::size_t>(n));
    for (float& s : v) s = rng.Gauss();
    return v;
}

// A slow periodic swell: a few sines with whole numbers of cycles per loop.
float Swell(int i, int n, const float* phases, float depth) {
    float t = static_cast<float>(i) / n;
    float v = std::sin(2 * kPi * (2 * t) + phases[0]) * 0.5f + std::sin(2 * kPi * (5 * t) + phases[1]) * 0.3f +
              std::sin(2 * kPi * (11 * t) + phases[2]) * 0.2f;
    return 1 + depth * v;
}

void Bed(Stereo& out, Rng& rng, float hissLevel, float roarLevel) {
    int n = out.Size();
    std::vector<float> common = WhiteNoise(n, rng), left = WhiteNoise(n, rng), right = WhiteNoise(n, rng);
    std::vector<float> roarSrc = WhiteNoise(n, rng);
    float phases[3] = {rng.Range(0, 6.28f), rng.Range(0, 6.28f), rng.Range(0, 6.28f)};
    std::vector<float> hl(static_cast<std::size_t>(n)), hr(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        hl[i] = common[i] * 0.6f + left[i] * 0.8f;
        hr[i] = common[i] * 0.6f + right[i] * 0.8f;
    }
    hl = HighPassLoop(LowPassLoop(hl, 3200), 900);
    hr = HighPassLoop(LowPassLoop(hr, 3200), 900);
    std::vector<float> roar = HighPassLoop(LowPassLoop(LowPassLoop(roarSrc, 260), 260), 40);
    for (int i = 0; i < n; ++i) {
        float sw = Swell(i, n, phases, 0.35f);
        out.l[i] += (hl[i] * hissLevel + roar[i] * roarLevel) * sw;
        out.r[i] += (hr[i] * hissLevel + roar[i] * roarLevel * 0.9f) * sw;
    }
}

// A burst placed at `start` with the given pan (0 left .. 1 right).
void AddEvent(Stereo& out, int start, const std::vector<float>& ev, float pan) {
    float gl = std::cos(pan * kPi / 2), gr = std::sin(pan * kPi / 2);
    for (std::size_t k = 0; k < ev.size(); ++k) {
        int i = start + static_cast<int>(k);
        if (i >= out.Size()) break;
        out.l[i] += ev[k] * gl * 1.41f;
        out.r[i] += ev[k] * gr * 1.41f;
    }
}

// A tick: a very short, bright noise burst (the crackle's grain).
std::vector<float> Tick(Rng& rng, float amp) {
    int len = static_cast<int>(kRate * rng.Range(0.002f, 0.006f));
    float tau = rng.Range(0.0003f, 0.0012f) * kRate;
    std::vector<float> v(static_cast<std::size_t>(len));
    float prev = 0;
    for (int k = 0; k < len; ++k) {
        float s = rng.Gauss() * std::exp(-k / tau);
        v[k] = (s - prev * 0.85f) * amp;  // tilted towards the highs
        prev = s;
    }
    return v;
}

// A pop: a woody knock, a damped resonance started by a click.
std::vector<float> Pop(Rng& rng, float amp) {
    float f = rng.Range(700, 2600), tau = rng.Range(0.003f, 0.012f) * kRate;
    int len = static_cast<int>(tau * 7);
    std::vector<float> v(static_cast<std::size_t>(len));
    float ph = rng.Range(0, 6.28f);
    for (int k = 0; k < len; ++k) {
        float env = std::exp(-k / tau);
        float click = k < 40 ? rng.Gauss() * std::exp(-k / 6.0f) : 0;
        v[k] = amp * (env * std::sin(2 * kPi * f * k / kRate + ph) * 0.8f + click * 0.7f);
    }
    return v;
}

// A snap: a loud crack followed by a short rattle of ticks and a knock.
std::vector<float> Snap(Rng& rng, float amp) {
    int len = static_cast<int>(kRate * rng.Range(0.05f, 0.12f));
    std::vector<float> v(static_cast<std::size_t>(len));
    std::vector<float> crack = Tick(rng, amp * 1.3f);
    for (std::size_t k = 0; k < crack.size() && k < v.size(); ++k) v[k] += crack[k];
    std::vector<float> knock = Pop(rng, amp * 0.6f);
    for (std::size_t k = 0; k < knock.size() && k < v.size(); ++k) v[k] += knock[k];
    int rattles = 2 + rng.Below(6);
    for (int j = 0; j < rattles; ++j) {
        int at = static_cast<int>(rng.Range(0.004f, 0.8f) * len);
        std::vector<float> t = Tick(rng, amp * rng.Range(0.15f, 0.6f));
        for (std::size_t k = 0; k < t.size() && at + k < v.size(); ++k) v[at + k] += t[k];
    }
    return v;
}

// Sap boiling out of a log: a thin high hiss that swells and fades.
std::vector<float> Sizzle(Rng& rng, float amp) {
    int len = static_cast<int>(kRate * rng.Range(0.25f, 0.7f));
    std::vector<float> src = WhiteNoise(len, rng);
    std::vector<float> v(static_cast<std::size_t>(len));
    float lp = 0, lp2 = 0;
    for (int k = 0; k < len; ++k) {
        lp += 0.55f * (src[k] - lp);
        lp2 += 0.08f * (lp - lp2);
        float env = std::sin(kPi * k / len);
        v[k] = (lp - lp2) * env * env * amp * (0.6f + 0.4f * std::sin(k * 0.004f));
    }
    return v;
}

struct Recipe {
    float seconds;
    std::uint64_t seed;
    float hiss, roar;
    float ticksPerSec, popsPerSec, snapsPerSec, sizzlesPerSec;
    float clustering;  // 0: ticks spread evenly; 1: ticks come in bursts
};

Stereo Make(const Recipe& rc) {
    Rng rng(rc.seed);
    int n = static_cast<int>(rc.seconds * kRate);
    Stereo out(n);
    Bed(out, rng, rc.hiss, rc.roar);
    const int tail = kRate / 4;  // no event may run past the end of the loop
    auto place = [&](float perSec, auto make) {
        int count = static_cast<int>(perSec * rc.seconds);
        for (int i = 0; i < count; ++i) {
            std::vector<float> ev = make();
            int room = n - static_cast<int>(ev.size()) - tail;
            if (room <= kRate / 50) continue;
            int at = kRate / 50 + rng.Below(room - kRate / 50);
            AddEvent(out, at, ev, Clamp01(0.5f + rng.Gauss() * 0.3f));
        }
    };
    // ticks gather in crackling bursts around random centres
    int bursts = std::max(1, static_cast<int>(rc.seconds * 1.5f));
    std::vector<float> centres;
    for (int i = 0; i < bursts; ++i) centres.push_back(rng.Range(0.05f, 0.95f));
    int ticks = static_cast<int>(rc.ticksPerSec * rc.seconds);
    for (int i = 0; i < ticks; ++i) {
        float amp = 0.02f * std::exp(rng.Range(0, 2.6f));
        std::vector<float> ev = Tick(rng, amp);
        float pos = rng.Real();
        if (rng.Real() < rc.clustering) pos = centres[static_cast<std::size_t>(rng.Below(bursts))] + rng.Gauss() * 0.012f;
        int at = static_cast<int>(Clamp01(pos) * n);
        at = std::max(kRate / 50, std::min(at, n - tail - static_cast<int>(ev.size())));
        AddEvent(out, at, ev, Clamp01(0.5f + rng.Gauss() * 0.35f));
    }
    place(rc.popsPerSec, [&] { return Pop(rng, 0.05f * std::exp(rng.Range(0, 1.8f))); });
    place(rc.snapsPerSec, [&] { return Snap(rng, 0.18f * std::exp(rng.Range(0, 1.1f))); });
    place(rc.sizzlesPerSec, [&] { return Sizzle(rng, 0.05f); });
    return out;
}

std::vector<std::uint8_t> WavBytes(const Stereo& s) {
    std::vector<std::uint8_t> b;
    auto put16 = [&](std::uint32_t v) { AppendLE16(b, v); };
    auto put32 = [&](std::uint32_t v) { AppendLE32(b, v); };
    auto tag = [&](const char* t) { b.insert(b.end(), t, t + 4); };
    const std::uint32_t frames = static_cast<std::uint32_t>(s.Size());
    const std::uint32_t dataSize = frames * 4;
    tag("RIFF");
    put32(36 + dataSize);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1);              // PCM
    put16(2);              // stereo
    put32(kRate);
    put32(kRate * 4);      // bytes per second
    put16(4);              // block alignment
    put16(16);             // bits per sample
    tag("data");
    put32(dataSize);
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (float v : {s.l[i], s.r[i]}) {
            float soft = std::tanh(v * 1.1f) / 1.1f;  // gentle limiter for the loudest snaps
            long q = std::lround(soft * 32767.0f);
            q = std::max(-32768L, std::min(32767L, q));
            put16(static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(q))));
        }
    }
    return b;
}

}  // namespace

void WriteSounds(const std::string& dir) {
    // Snap: a quiet bed with sparse loud snaps and knocks.
    WriteFile(dir + "/fireplace1.wav", WavBytes(Make({9.0f, 0x5A4B, 0.035f, 0.05f, 7, 1.6f, 0.55f, 0.25f, 0.5f})));
    // Crackle: a busier, softer crackle that comes in bursts, with sap sizzles.
    WriteFile(dir + "/fireplace2.wav", WavBytes(Make({12.0f, 0xC4AC, 0.045f, 0.07f, 30, 3.0f, 0.15f, 0.35f, 0.75f})));
}

}  // namespace assetgen
