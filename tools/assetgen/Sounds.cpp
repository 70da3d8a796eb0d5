// The two crackle loops of a wood fire, as heard from across a living room:
// - the roar: the low, soft rumble of the flames (noise of 40-250 Hz with a
//   weaker flutter band up to about 700 Hz), from a few flames at their own
//   places in the fire, each flickering on its own, over a diffuse part that
//   differs left and right; the whole fire breathes in slow swells;
// - crackle: runs of tiny ticks from a spot where the wood is splitting;
// - pops: steam pockets bursting, a sharp click that rings a short wooden
//   body; bigger pops are lower, louder and ring longer (5 to 40 ms);
// - snaps: rare loud cracks with a thump and a rattle of splinters;
// - sap: thin hisses that swell, sputter and fade;
// - the room: a short, soft reverberation, different on both sides.
// Everything is built on a circular buffer: the filters and the room run
// twice round the loop so that their state at the end is the state they
// start with, and an event that runs past the end carries on at the start,
// so the last frame runs into the first as smoothly as any other pair.
#include <cmath>

#include "tools/assetgen/AssetGen.h"
#include "assets/LittleEndian.h"

namespace assetgen {

namespace {

constexpr int kRate = 22050;
constexpr double kPiD = 3.14159265358979323846;
// The loudness of both loops: the loudest snaps of the two together stay a
// few dB under full scale.
constexpr float kLevel = 1.4f;

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(int n) : l(static_cast<std::size_t>(n)), r(static_cast<std::size_t>(n)) {}
    int Size() const { return static_cast<int>(l.size()); }
};

int Samples(float seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

// A second-order filter section (the usual audio cookbook designs).
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;

    static Biquad Make(double f, double q, int kind) {
        double w = 2 * kPiD * f / kRate, c = std::cos(w), alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        Biquad bq;
        if (kind == 0) {  // low-pass
            bq.b0 = bq.b2 = (1 - c) / 2 / a0;
            bq.b1 = (1 - c) / a0;
        } else if (kind == 1) {  // high-pass
            bq.b0 = bq.b2 = (1 + c) / 2 / a0;
            bq.b1 = -(1 + c) / a0;
        } else {  // band-pass, 0 dB at the centre
            bq.b0 = alpha / a0;
            bq.b1 = 0;
            bq.b2 = -alpha / a0;
        }
        bq.a1 = -2 * c / a0;
        bq.a2 = (1 - alpha) / a0;
        return bq;
    }
    static Biquad LowPass(double f, double q = 0.7071) { return Make(f, q, 0); }
    static Biquad HighPass(double f, double q = 0.7071) { return Make(f, q, 1); }
    static Biquad BandPass(double f, double q) { return Make(f, q, 2); }

    // Filters x in place. Looped: runs twice round x as a periodic signal
    // and keeps the second pass, so the output is periodic as well (every
    // filter here forgets its past within a small part of a loop).
    void Run(std::vector<float>& x, bool looped) const {
        const std::vector<float> in = x;
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (int pass = looped ? 0 : 1; pass < 2; ++pass)
            for (std::size_t i = 0; i < in.size(); ++i) {
                double v = in[i], y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
                x2 = x1, x1 = v, y2 = y1, y1 = y;
                if (pass == 1) x[i] = static_cast<float>(y);
            }
    }
};

std::vector<float> WhiteNoise(int n, Rng& rng) {
    std::vector<float> v(static_cast<std::size_t>(n));
    for (float& s : v) s = rng.Gauss() * 1.7320508f;  // unit deviation
    return v;
}

float Rms(const std::vector<float>& v) {
    double s = 0;
    for (float x : v) s += double(x) * x;
    return v.empty() ? 0.0f : static_cast<float>(std::sqrt(s / v.size()));
}

void ScaleTo(std::vector<float>& v, float target, bool byPeak) {
    float m = 0;
    if (byPeak)
        for (float x : v) m = std::max(m, std::fabs(x));
    else
        m = Rms(v);
    if (m > 0)
        for (float& x : v) x *= target / m;
}

// A smooth random curve of about unit deviation: random knots joined by
// cubic segments, a whole number of them, so that it closes on itself.
std::vector<float> Wobble(int n, float knotsPerSec, Rng& rng) {
    int k = std::max(3, static_cast<int>(std::lround(static_cast<float>(n) / kRate * knotsPerSec)));
    std::vector<float> knots(static_cast<std::size_t>(k));
    for (float& v : knots) v = rng.Gauss() * 1.7320508f;
    std::vector<float> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) * k / n;
        int j = static_cast<int>(t);
        float f = static_cast<float>(t - j);
        float p0 = knots[(j + k - 1) % k], p1 = knots[j % k], p2 = knots[(j + 1) % k], p3 = knots[(j + 2) % k];
        out[i] = 0.5f * (2 * p1 + (p2 - p0) * f + (2 * p0 - 5 * p1 + 4 * p2 - p3) * f * f +
                         (3 * p1 - p0 - 3 * p2 + p3) * f * f * f);
    }
    return out;
}

// A damped resonance driven by x: a mode of the wood ringing at f with an
// amplitude time constant of tau seconds.
std::vector<float> Ring(const std::vector<float>& x, double f, double tau) {
    double r = std::exp(-1 / (tau * kRate)), c = 2 * r * std::cos(2 * kPiD * f / kRate), y1 = 0, y2 = 0;
    std::vector<float> y(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        double v = x[i] + c * y1 - r * r * y2;
        y2 = y1, y1 = v;
        y[i] = static_cast<float>(v);
    }
    return y;
}

// A noise burst with an instant attack and an exponential decay.
std::vector<float> Burst(int len, double tau, Rng& rng) {
    std::vector<float> v(static_cast<std::size_t>(len));
    for (int k = 0; k < len; ++k) v[k] = rng.Gauss() * static_cast<float>(std::exp(-k / (tau * kRate)));
    return v;
}

void AddInto(std::vector<float>& to, const std::vector<float>& from, int at, float gain) {
    for (std::size_t k = 0; k < from.size() && at + k < to.size(); ++k) to[at + k] += from[k] * gain;
}

// --- the events ------------------------------------------------------------

// A tick: a very short, bright burst, the grain of crackling wood.
std::vector<float> Tick(Rng& rng, float amp) {
    int len = Samples(rng.Range(0.0008f, 0.003f));
    std::vector<float> v = Burst(len, len / 3.0 / kRate, rng);
    float tilt = rng.Range(0.3f, 0.85f), prev = 0;
    for (float& s : v) {
        float d = s - prev * tilt;  // tilted towards the highs
        prev = s;
        s = d;
    }
    ScaleTo(v, amp, true);
    return v;
}

// A pop: a steam pocket bursting. A sharp click rings two modes of the wood
// and leaves a short rough tail. size 0..1: bigger pops are lower and ring
// longer (time constants 1.5-9 ms, so 30 dB down after 5-40 ms).
std::vector<float> Pop(Rng& rng, float amp, float size) {
    double f0 = Lerp(2600, 420, size) * rng.Range(0.75f, 1.3f);
    double tau = Lerp(0.0015f, 0.009f, size) * rng.Range(0.7f, 1.4f);
    int len = static_cast<int>(tau * kRate * 8) + 64;
    std::vector<float> click = Burst(Samples(rng.Range(0.0003f, 0.0012f)), 0.00025, rng);
    click.resize(static_cast<std::size_t>(len));
    click[0] += 2.5f * (rng.Real() < 0.5f ? -1 : 1);  // the instant of the burst
    std::vector<float> body = Ring(click, f0, tau), second = Ring(click, f0 * rng.Range(1.4f, 2.9f), tau * 0.6);
    ScaleTo(body, rng.Range(0.4f, 0.8f), true);
    ScaleTo(second, rng.Range(0.15f, 0.4f), true);
    std::vector<float> tail = Burst(len, tau * 0.8, rng);
    Biquad::HighPass(300).Run(tail, false);
    ScaleTo(tail, rng.Range(0.5f, 0.9f), true);
    std::vector<float> crack = click;
    Biquad::HighPass(1500).Run(crack, false);
    ScaleTo(crack, rng.Range(0.5f, 0.9f), true);
    std::vector<float> v(static_cast<std::size_t>(len));
    for (int k = 0; k < len; ++k) v[k] = body[k] + second[k] + tail[k] + crack[k];
    ScaleTo(v, amp, true);
    return v;
}

// A snap: a loud crack as a piece of wood splits, a low thump of the log, a
// rough splintering tail and a rattle of small bits.
std::vector<float> Snap(Rng& rng, float amp) {
    int len = Samples(rng.Range(0.18f, 0.35f));
    std::vector<float> v(static_cast<std::size_t>(len));
    std::vector<float> crack = Burst(Samples(rng.Range(0.002f, 0.004f)), 0.0008, rng);
    crack[0] += 3.0f;
    Biquad::HighPass(900).Run(crack, false);
    ScaleTo(crack, 1, true);
    AddInto(v, crack, 0, 1);
    std::vector<float> kick = Burst(Samples(0.006f), 0.0015, rng);
    kick.resize(static_cast<std::size_t>(len));
    std::vector<float> thump = Ring(kick, rng.Range(110, 240), rng.Range(0.012f, 0.025f));
    ScaleTo(thump, rng.Range(0.35f, 0.6f), true);
    AddInto(v, thump, 0, 1);
    std::vector<float> ring = Ring(kick, rng.Range(600, 1400), rng.Range(0.004f, 0.008f));
    ScaleTo(ring, rng.Range(0.2f, 0.4f), true);
    AddInto(v, ring, 0, 1);
    // splinters: noise that decays and darkens
    double tauN = rng.Range(0.008f, 0.02f), lp = 0;
    for (int k = 0; k < len; ++k) {
        double e = std::exp(-k / (tauN * kRate)), a = 0.15 + 0.8 * e;
        lp += a * (rng.Gauss() - lp);
        v[k] += static_cast<float>(lp * e * 0.9);
    }
    int bits = 2 + rng.Below(6);
    for (int j = 0; j < bits; ++j) {
        float t = rng.Range(0.02f, 0.3f);
        int at = Samples(t);
        if (at < len) AddInto(v, Tick(rng, rng.Range(0.05f, 0.3f) * (1 - t * 2)), at, 1);
    }
    ScaleTo(v, amp, true);
    return v;
}

// Sap boiling out of a log end: a thin hiss that swells, sputters and fades,
// with a few tiny bursts of steam in it.
std::vector<float> Sizzle(Rng& rng, float amp) {
    int len = Samples(rng.Range(0.6f, 2.2f));
    std::vector<float> v = WhiteNoise(len, rng);
    Biquad::BandPass(rng.Range(3500, 6500), 0.9).Run(v, false);
    Biquad::HighPass(2200).Run(v, false);
    std::vector<float> sputter = Wobble(len, rng.Range(12, 30), rng);
    float rise = rng.Range(0.08f, 0.3f);
    for (int k = 0; k < len; ++k) {
        float t = static_cast<float>(k) / len;
        float env = t < rise ? Smooth(0, rise, t) : std::pow(1 - Smooth(rise, 1, t), 1.5f);
        v[k] *= env * std::max(0.0f, 0.55f + 0.5f * sputter[k]);
    }
    ScaleTo(v, 1, true);
    for (int j = 0, n = 2 + rng.Below(10); j < n; ++j) {
        int at = rng.Below(std::max(1, len - 100));
        AddInto(v, Tick(rng, rng.Range(0.3f, 0.9f)), at, 1);
    }
    ScaleTo(v, amp, true);
    return v;
}

// --- placing them ------------------------------------------------------------

// Adds an event at `start` (wrapping past the end) at pan 0 (left) .. 1
// (right): equal-power gains and the far side up to a quarter of a
// millisecond later, as from a source to one side.
void AddEvent(Stereo& out, int start, const std::vector<float>& ev, float pan) {
    pan = std::min(0.92f, std::max(0.08f, pan));
    float gl = std::cos(pan * kPi / 2) * 1.41f, gr = std::sin(pan * kPi / 2) * 1.41f;
    int lag = static_cast<int>(std::lround((pan - 0.5f) * 12));  // > 0: the left ear hears it later
    int n = out.Size(), dl = std::max(0, lag), dr = std::max(0, -lag);
    for (std::size_t k = 0; k < ev.size(); ++k) {
        out.l[(start + dl + k) % n] += ev[k] * gl;
        out.r[(start + dr + k) % n] += ev[k] * gr;
    }
}

// Places in the fire: mostly near the middle of the hearth, some to the sides.
float FirePan(Rng& rng) { return 0.5f + rng.Gauss() * 0.45f; }

// A run of crackling: a spot in the wood ticking for a while, fast and loud
// at first, then slower and softer, sometimes opened by a pop.
void AddRun(Stereo& out, Rng& rng, int at, float loud) {
    float seconds = rng.Range(0.25f, 1.6f), rate = rng.Range(15, 70), pan = FirePan(rng);
    if (rng.Real() < 0.35f) AddEvent(out, at, Pop(rng, loud * rng.Range(1.5f, 3.0f), rng.Real() * 0.5f), pan);
    for (float t = 0; t < seconds; t += -std::log(1 - rng.Real() * 0.999f) / (rate * (1.2f - t / seconds))) {
        float fade = 1 - 0.7f * t / seconds;
        float amp = loud * fade * std::exp(rng.Range(-1.6f, 0.9f));
        AddEvent(out, at + Samples(t), Tick(rng, amp), pan + rng.Gauss() * 0.06f);
    }
}

// The small room: eight delay lines with a lossless mix, losses set for the
// reverberation time and darker as the sound dies away. Left and right are
// read from different lines, so the room differs on the two sides. Run twice
// round the loop like the filters.
void AddRoom(Stereo& out, const Stereo& dry, float send, float rt60) {
    static const int delays[8] = {293, 359, 431, 503, 587, 673, 761, 857};
    std::vector<std::vector<float>> lines(8);
    double gain[8], lp[8] = {0};
    for (int i = 0; i < 8; ++i) {
        lines[i].assign(static_cast<std::size_t>(delays[i]), 0.0f);
        gain[i] = std::pow(10.0, -3.0 * delays[i] / (rt60 * kRate));
    }
    const int n = dry.Size();
    const int pre = Samples(0.008f);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < n; ++i) {
            double y[8];
            for (int j = 0; j < 8; ++j) y[j] = lines[j][static_cast<std::size_t>(i % delays[j])];
            // Hadamard mix of the eight lines (scaled to keep the energy)
            for (int h = 1; h < 8; h <<= 1)
                for (int j = 0; j < 8; j += 2 * h)
                    for (int k = j; k < j + h; ++k) {
                        double a = y[k], b = y[k + h];
                        y[k] = a + b, y[k + h] = a - b;
                    }
            int src = (i - pre + n) % n;
            double inL = dry.l[src] * send, inR = dry.r[src] * send;
            double outL = 0, outR = 0;
            for (int j = 0; j < 8; ++j) {
                double v = y[j] * 0.35355339;  // 1 / sqrt(8)
                lp[j] += 0.45 * (v - lp[j]);
                double in = (j % 2 == 0 ? inL : inR);
                lines[j][static_cast<std::size_t>(i % delays[j])] = static_cast<float>(in + gain[j] * lp[j]);
                (j % 2 == 0 ? outL : outR) += lines[j][static_cast<std::size_t>(i % delays[j])] * (j < 4 ? 1 : -1);
            }
            if (pass == 1) {
                out.l[i] += static_cast<float>(outL * 0.5);
                out.r[i] += static_cast<float>(outR * 0.5);
            }
        }
}

// The roar: `flames` sources at their places in the fire, each a band of low
// noise with its own flicker, over a diffuse part that differs left and
// right; the whole fire swells and eases every few seconds. A flaring flame
// is louder and a little brighter. `rms` is the level of the whole roar.
void AddRoar(Stereo& out, Rng& rng, float rms, int flames) {
    const int n = out.Size();
    Stereo roar(n);
    std::vector<float> breath = Wobble(n, 0.45f, rng), swell = Wobble(n, 1.3f, rng);
    auto rumble = [&](float lowHz, float highHz) {
        std::vector<float> v = WhiteNoise(n, rng);
        Biquad::HighPass(lowHz).Run(v, true);
        Biquad::HighPass(lowHz).Run(v, true);
        Biquad::LowPass(highHz).Run(v, true);
        ScaleTo(v, 1, false);
        return v;
    };
    auto flutter = [&] {
        std::vector<float> v = WhiteNoise(n, rng);
        Biquad::BandPass(rng.Range(380, 520), 0.6).Run(v, true);
        Biquad::LowPass(900).Run(v, true);
        ScaleTo(v, 1, false);
        return v;
    };
    for (int f = 0; f < flames; ++f) {
        float pan = flames == 1 ? 0.5f : 0.2f + 0.6f * f / (flames - 1) + rng.Range(-0.08f, 0.08f);
        float gl = std::cos(pan * kPi / 2) * 1.41f, gr = std::sin(pan * kPi / 2) * 1.41f;
        std::vector<float> low = rumble(rng.Range(38, 50), rng.Range(170, 240)), mid = flutter();
        std::vector<float> flicker = Wobble(n, rng.Range(5, 9), rng), sway = Wobble(n, rng.Range(1.5f, 2.5f), rng);
        float weight = rng.Range(0.7f, 1.0f);
        for (int i = 0; i < n; ++i) {
            float e = std::exp(0.35f * breath[i] + 0.18f * swell[i] + 0.16f * sway[i] + 0.12f * flicker[i]) * weight;
            float s = (low[i] + 0.32f * mid[i] * e) * e;
            roar.l[i] += s * gl;
            roar.r[i] += s * gr;
        }
    }
    // the diffuse part: the same kind of sound, but a different one on each side
    std::vector<float> dl = rumble(35, 200), dr = rumble(35, 200), ml = flutter(), mr = flutter();
    for (int i = 0; i < n; ++i) {
        float e = std::exp(0.35f * breath[i] + 0.18f * swell[i]);
        roar.l[i] += (dl[i] + 0.3f * ml[i]) * e * 0.65f * std::sqrt(static_cast<float>(flames));
        roar.r[i] += (dr[i] + 0.3f * mr[i]) * e * 0.65f * std::sqrt(static_cast<float>(flames));
    }
    // a faint breath of air in the flames, following the same swells
    std::vector<float> air = WhiteNoise(n, rng), airR = WhiteNoise(n, rng);
    for (std::vector<float>* a : {&air, &airR}) {
        Biquad::BandPass(3000, 0.5).Run(*a, true);
        ScaleTo(*a, 1, false);
    }
    float total = std::sqrt(0.5f * (Rms(roar.l) * Rms(roar.l) + Rms(roar.r) * Rms(roar.r)));
    float scale = rms / total;
    for (int i = 0; i < n; ++i) {
        float e = std::exp(0.45f * breath[i] + 0.25f * swell[i]);
        out.l[i] += roar.l[i] * scale + air[i] * e * rms * 0.05f;
        out.r[i] += roar.r[i] * scale + airR[i] * e * rms * 0.05f;
    }
}

struct Recipe {
    float seconds;
    std::uint64_t seed;
    float roar;  // level of the roar (RMS)
    int flames;
    float runsPerSec, ticksPerSec, popsPerSec, snapsPerSec, sizzlesPerSec;
    float popSize;  // 0..1, how big the pops grow
    float popLoud, tickLoud;
    float room;  // send of the events into the room
};

Stereo Make(const Recipe& rc) {
    Rng rng(rc.seed);
    const int n = Samples(rc.seconds);
    Stereo out(n), events(n);
    AddRoar(out, rng, rc.roar, rc.flames);
    // No event starts in the first or last few hundredths of a second, so
    // that the loop joins in the bed; a tail that runs past the end goes on
    // at the start.
    const int margin = Samples(0.03f);
    auto when = [&](float endRoom) { return margin + rng.Below(n - 2 * margin - Samples(endRoom)); };
    auto count = [&](float perSec) { return static_cast<int>(std::lround(perSec * rc.seconds)); };
    for (int i = 0, c = count(rc.runsPerSec); i < c; ++i) AddRun(events, rng, when(0.1f), rc.tickLoud);
    for (int i = 0, c = count(rc.ticksPerSec); i < c; ++i)
        AddEvent(events, when(0), Tick(rng, rc.tickLoud * std::exp(rng.Range(-1.5f, 1.2f))), FirePan(rng));
    for (int i = 0, c = count(rc.popsPerSec); i < c; ++i) {
        float size = rc.popSize * std::pow(rng.Real(), 1.6f);
        AddEvent(events, when(0), Pop(rng, rc.popLoud * (0.35f + 0.9f * size) * rng.Range(0.6f, 1.2f), size), FirePan(rng));
    }
    for (int i = 0, c = count(rc.snapsPerSec); i < c; ++i)
        AddEvent(events, when(0.15f), Snap(rng, rng.Range(0.32f, 0.5f)), FirePan(rng));
    for (int i = 0, c = count(rc.sizzlesPerSec); i < c; ++i)
        AddEvent(events, when(0), Sizzle(rng, rng.Range(0.02f, 0.045f)), FirePan(rng));
    // the air between the fire and the listener takes the edge off the highest crackle
    for (std::vector<float>* side : {&events.l, &events.r}) Biquad::LowPass(7500, 0.6).Run(*side, true);
    AddRoom(out, events, rc.room, 0.4f);
    for (int i = 0; i < n; ++i) {
        out.l[i] = (out.l[i] + events.l[i]) * kLevel;
        out.r[i] = (out.r[i] + events.r[i]) * kLevel;
    }
    return out;
}

std::vector<std::uint8_t> WavBytes(const Stereo& s) {
    std::vector<std::uint8_t> b;
    auto put16 = [&](std::uint32_t v) { AppendLE16(b, v); };
    auto put32 = [&](std::uint32_t v) { AppendLE32(b, v); };
    auto tag = [&](const char* t) {
        for (int k = 0; k < 4; ++k) b.push_back(static_cast<std::uint8_t>(t[k]));
    };
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
    // The two loops play together, so each carries part of the fire; either
    // alone still sounds like one. Their lengths share no common factor, so
    // the pair repeats only every 130 s.
    // Snap: the bigger pops and the snaps, over two flames.
    WriteFile(dir + "/fireplace1.wav",
              WavBytes(Make({13.0f, 0x5A4B, 0.007f, 2, 0.25f, 4, 1.0f, 0.16f, 0.08f, 1.0f, 0.5f, 0.035f, 0.35f})));
    // Crackle: the roar of three flames, runs of crackling, small pops and sap.
    WriteFile(dir + "/fireplace2.wav",
              WavBytes(Make({10.0f, 0xC4AC, 0.0085f, 3, 0.9f, 12, 2.2f, 0.1f, 0.25f, 0.5f, 0.35f, 0.04f, 0.3f})));
}

}  // namespace assetgen
