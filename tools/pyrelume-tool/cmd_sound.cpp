#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "assets/Streams.h"
#include "gl/Errors.h"
#include "sound/FileWaveOutput.h"
#include "sound/SceneSounds.h"
#include "sound/WaveSound.h"
#include "tools/pyrelume-tool/Command.h"
#include "tools/pyrelume-tool/PngWrite.h"
#include "tools/pyrelume-tool/RenderScene.h"
#include "tools/pyrelume-tool/WaveAnalysis.h"
#ifdef _WIN32
#include "platform/win32/WinWaveOutput.h"
#else
#include "platform/posix/AlsaWaveOutput.h"
#endif
#include <chrono>
#include <thread>

namespace {

const char* TagName(int tag)
{
    switch (tag) {
    case 1: return "PCM";
    case 2: return "MS ADPCM";
    case 3: return "IEEE float";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x11: return "IMA ADPCM";
    case 0x55: return "MPEG layer 3";
    case 0xFFFE: return "extensible";
    default: return "unknown";
    }
}

// wav info FILE: the format as stored in the file, the data size and the duration.
int RunWavInfo(const std::string& file)
{
    const auto bytes = ReadFileBytes(file);
    const TWaveChunks chunks = ReadWaveChunks(bytes, file);
    const TWaveFormatInfo f = DecodeWaveFormat(chunks.Format);
    std::printf("format: tag %d (%s), %d channels, %u Hz, %d bits\n", f.FormatTag, TagName(f.FormatTag), f.Channels,
                f.SamplesPerSec, f.BitsPerSample);
    std::printf("block align: %d, bytes per second: %u, extra size: %d\n", f.BlockAlign, f.AvgBytesPerSec, f.ExtraSize);
    std::printf("data: %u bytes\n", chunks.DataSize);
    if (f.AvgBytesPerSec != 0)
        std::printf("duration: %.3f s\n", static_cast<double>(chunks.DataSize) / f.AvgBytesPerSec);
    else
        std::printf("duration: unknown\n");
    return 0;
}

// wav stats FILE: the energy share below 400 Hz, the left/right correlation
// and the pops per second (see TPopRule for what counts as a pop).
int RunWavStats(const std::string& file)
{
    const TWaveStats st = MeasureWave(DecodePcmWave(ReadFileBytes(file), file));
    std::printf("seconds: %.3f\n", st.Seconds);
    std::printf("level: rms %.1f dBFS, peak %.1f dBFS\n", st.RmsDb, st.PeakDb);
    std::printf("energy below %.0f Hz: %.1f%%\n", kLowShareHz, st.LowShare * 100);
    std::printf("left/right correlation: %.3f\n", st.Correlation);
    std::printf("pops: %zu, %.2f per second\n", st.PopTimes.size(), st.PopsPerSecond());
    std::printf("octaves (Hz: dBFS):");
    for (std::size_t o = 0; o < st.OctaveDb.size(); ++o)
        std::printf(" %g: %.1f", kOctaveCentres[o], st.OctaveDb[o]);
    std::printf("\n");
    return 0;
}

// wav spectrogram FILE --out FILE.png [--from S] [--seconds S] [--height H]
int RunWavSpectrogram(const std::vector<std::string>& args)
{
    std::string out;
    double from = 0, seconds = -1;
    int height = 400;
    auto number = [](const std::string& v, const char* what, double lo, double hi) {
        char* end = nullptr;
        const double d = std::strtod(v.c_str(), &end);
        if (v.empty() || *end != '\0' || !(d >= lo) || d > hi)
            throw ToolUsageError{std::string("bad ") + what + " \"" + v + "\""};
        return d;
    };
    for (std::size_t i = 2; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--out" && hasValue)
            out = args[++i];
        else if (args[i] == "--from" && hasValue)
            from = number(args[++i], "--from", 0, 36000);
        else if (args[i] == "--seconds" && hasValue)
            seconds = number(args[++i], "--seconds", 0.01, 600);
        else if (args[i] == "--height" && hasValue)
            height = static_cast<int>(number(args[++i], "--height", 16, 4000));
        else
            throw ToolUsageError{"unexpected argument \"" + args[i] + "\""};
    }
    if (out.empty())
        throw ToolUsageError{"expected: wav spectrogram FILE.wav --out FILE.png"};
    const TStereoSamples s = DecodePcmWave(ReadFileBytes(args[1]), args[1]);
    const double length = static_cast<double>(s.Frames()) / s.Rate;
    if (from >= length)
        RaiseMessage("--from lies beyond the end of " + args[1]);
    if (seconds < 0 || from + seconds > length)
        seconds = length - from;
    int width = 0, total = 0;
    const std::vector<std::uint8_t> px = RenderSpectrogram(s, from, seconds, height, width, total);
    WritePngRGBA(out, width, total, px.data(), false);
    std::printf("spectrogram: %dx%d, %.3f s from %.3f s\n", width, total, seconds, from);
    return 0;
}

int RunWav(const std::vector<std::string>& args)
{
    if (args.size() == 2 && args[0] == "info")
        return RunWavInfo(args[1]);
    if (args.size() == 2 && args[0] == "stats")
        return RunWavStats(args[1]);
    if (args.size() >= 2 && args[0] == "spectrogram")
        return RunWavSpectrogram(args);
    throw ToolUsageError{"expected: wav info FILE.wav | wav stats FILE.wav | wav spectrogram FILE.wav --out FILE.png"};
}

ToolCommand regWav("wav",
                   "wav info FILE.wav | wav stats FILE.wav | wav spectrogram FILE.wav --out FILE.png [--from S] "
                   "[--seconds S] [--height H]",
                   &RunWav);

// Settings given on the command line, as the program's settings store would hold them.
class TToolSettings : public TSceneSettingsStore {
public:
    std::map<std::string, std::string> Values;

    std::string ReadString(const std::string& name, const std::string& def) override
    {
        auto it = Values.find(name);
        return it == Values.end() ? def : it->second;
    }
    bool ReadBool(const std::string& name, bool def) override
    {
        const std::string v = LowerAscii(ReadString(name, def ? "1" : "0"));
        if (v == "1" || v == "true")
            return true;
        if (v == "0" || v == "false")
            return false;
        RaiseMessage("setting \"" + name + "\" is not a Boolean: " + v);
    }
    int ReadInteger(const std::string& name, int def) override
    {
        int v = def;
        auto it = Values.find(name);
        if (it != Values.end() && !TryStrToInt(it->second, v))
            RaiseMessage("setting \"" + name + "\" is not a number: " + it->second);
        return v;
    }
    void WriteString(const std::string& name, const std::string& value) override { Values[name] = value; }
    void WriteBool(const std::string& name, bool value) override { Values[name] = value ? "1" : "0"; }
    void WriteInteger(const std::string& name, int value) override { Values[name] = std::to_string(value); }
};

// One --setting NAME=VALUE into the settings.
void AddSetting(TToolSettings& settings, const std::string& kv)
{
    const auto eq = kv.find('=');
    if (eq == std::string::npos || eq == 0)
        throw ToolUsageError{"bad --setting \"" + kv + "\", expected NAME=VALUE"};
    settings.Values[kv.substr(0, eq)] = kv.substr(eq + 1);
}

// The device's output for mix: the capture is made once the loaded scene has
// set the device's format, and opening before that fails as a closed card would.
class TLateCapture : public TWaveOutput {
public:
    TFileWaveOutput* Capture = nullptr;
    void Open(const TWaveOutputFormat& format, std::size_t bufferSize, TWaveSource& source) override
    {
        if (!Capture)
            RaiseError("TFileWaveOutput", "Open", "no capture yet");
        Capture->Open(format, bufferSize, source);
    }
    void Close() override
    {
        if (Capture)
            Capture->Close();
    }
    bool IsOpen() const override { return Capture && Capture->IsOpen(); }
    void Pause() override
    {
        if (Capture)
            Capture->Pause();
    }
    void Resume() override
    {
        if (Capture)
            Capture->Resume();
    }
};

// Loads only the sound lists among the scene's direct children (with their
// sounds), the way the scene loader would: mixing needs no pictures or models.
std::vector<TSceneSoundList*> LoadSoundLists(TMainScene& scene, const std::string& source)
{
    const std::vector<std::string> lines = ReadTextLines(source, true);
    if (lines.empty())
        RaiseMessage("cannot read the scene description " + source);
    TResourceLoader loader;
    loader.MainScene = &scene;
    loader.Types = scene.Types;
    loader.FromArchive = true;
    loader.OpenFromLines(lines);
    loader.Section = scene.Name();
    const int count = loader.ReadInteger("Count", 0);
    std::vector<TSceneSoundList*> lists;
    for (int i = 1; i <= count; ++i) {
        loader.Section = scene.Name() + std::to_string(i);
        if (!SameText(loader.ReadString("Type", ""), "TSceneSoundList"))
            continue;
        std::unique_ptr<TMainObject> obj = loader.CreateObject();
        auto* list = static_cast<TSceneSoundList*>(obj.get());
        if (!scene.AddItem(list))
            continue;
        obj.release();
        list->LoadFromLoader(loader);
        const std::string sourceName = loader.ReadString("SourceName", "");
        if (!sourceName.empty()) {
            list->SourceName = ResolveFileName(sourceName, list->Path);
            list->LoadFromSource();
        } else {
            loader.LoadChildren(*list);
        }
        lists.push_back(list);
    }
    if (lists.empty())
        RaiseMessage("the scene has no TSceneSoundList");
    return lists;
}

// mix (ARCHIVE.rfa | FILE.gsc) --seconds S --out FILE.wav [--dt S] [--setting NAME=VALUE ...]:
// plays the scene's sounds for S seconds of frames and writes what the wave
// output would have played, in the device format of the description.
int RunMix(const std::vector<std::string>& args)
{
    std::string sceneFile, out;
    double seconds = -1, dt = 1.0 / 60.0;
    TToolSettings settings;
    auto number = [](const std::string& v, const char* what) {
        char* end = nullptr;
        const double d = std::strtod(v.c_str(), &end);
        if (v.empty() || *end != '\0' || !(d > 0) || d > 3600)
            throw ToolUsageError{std::string("bad ") + what + " \"" + v + "\""};
        return d;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--seconds" && hasValue) {
            seconds = number(args[++i], "--seconds");
        } else if (a == "--dt" && hasValue) {
            dt = number(args[++i], "--dt");
        } else if (a == "--out" && hasValue) {
            out = std::filesystem::absolute(args[++i]).string();
        } else if (a == "--setting" && hasValue) {
            AddSetting(settings, args[++i]);
        } else if (sceneFile.empty() && !a.empty() && a[0] != '-') {
            sceneFile = a;
        } else {
            throw ToolUsageError{"unexpected argument \"" + a + "\""};
        }
    }
    if (sceneFile.empty() || out.empty() || seconds <= 0)
        throw ToolUsageError{"expected: mix (ARCHIVE.rfa | FILE.gsc) --seconds S --out FILE.wav"};

    const std::string source = tool::PrepareSceneSource(sceneFile);
    std::unique_ptr<TFileWaveOutput> capture;  // outlives the device that streams to it
    TLateCapture late;
    TWinSoundDevice device(&late);
    TSceneTypeTable types;
    RegisterSoundSceneTypes(types, device);
    {
        TMainScene scene;
        scene.Types = &types;
        scene.SourceMode = 2;
        scene.Settings = &settings;
        const std::vector<TSceneSoundList*> lists = LoadSoundLists(scene, source);
        const TWaveOutputFormat format = device.OutputFormat();
        if (!device.Usable() || format.BlockAlign() <= 0)
            RaiseMessage("the sound device is not usable with the scene's format");
        capture = std::make_unique<TFileWaveOutput>(format);
        late.Capture = capture.get();
        for (TSceneSoundList* l : lists)
            l->ReadSettings();

        // Each frame renders the lists, then dt of output time passes.
        const double rate = format.AvgBytesPerSec();
        const std::size_t total = static_cast<std::size_t>(std::llround(seconds * format.SamplesPerSec)) *
                                  static_cast<std::size_t>(format.BlockAlign());
        std::size_t played = 0;
        for (long frame = 0; played < total; ++frame) {
            for (TSceneSoundList* l : lists)
                if (l->Visible)
                    l->Render();
            std::size_t target = static_cast<std::size_t>(static_cast<double>(frame + 1) * dt * rate);
            target -= target % static_cast<std::size_t>(format.BlockAlign());
            target = std::min(target, total);
            if (target > played) {
                capture->Advance(target - played);
                played = target;
            }
        }
        device.SetActive(false);
    }
    capture->SaveToFile(out, true);
    const TWaveOutputFormat& f = capture->Format();
    std::printf("mix: %zu bytes, %d channels, %d Hz, %d bits, %.3f s\n", capture->Captured().size(), f.Channels,
                f.SamplesPerSec, f.BitsPerSample,
                static_cast<double>(capture->Captured().size()) / f.AvgBytesPerSec());
    device.Clear();
    return 0;
}

ToolCommand regMix("mix", "mix (ARCHIVE.rfa | FILE.gsc) --seconds S --out FILE.wav [--dt S] [--setting NAME=VALUE ...]",
                   &RunMix);

// play (ARCHIVE.rfa | FILE.gsc) --seconds S [--setting NAME=VALUE ...]: plays the
// scene's sounds through the system's wave output (waveOut on Windows, ALSA's
// default PCM elsewhere) for S seconds, rendering the sound lists 60 times a second.
int RunPlay(const std::vector<std::string>& args)
{
    std::string sceneFile;
    double seconds = -1;
    TToolSettings settings;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--seconds" && hasValue) {
            char* end = nullptr;
            const std::string& v = args[++i];
            seconds = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !(seconds > 0) || seconds > 3600)
                throw ToolUsageError{"bad --seconds \"" + v + "\""};
        } else if (a == "--setting" && hasValue) {
            AddSetting(settings, args[++i]);
        } else if (sceneFile.empty() && !a.empty() && a[0] != '-') {
            sceneFile = a;
        } else {
            throw ToolUsageError{"unexpected argument \"" + a + "\""};
        }
    }
    if (sceneFile.empty() || seconds <= 0)
        throw ToolUsageError{"expected: play (ARCHIVE.rfa | FILE.gsc) --seconds S"};

    const std::string source = tool::PrepareSceneSource(sceneFile);
#ifdef _WIN32
    TWinSoundDevice device(CreateWinWaveOutput());
#else
    TWinSoundDevice device(CreateAlsaWaveOutput("default"));
#endif
    TSceneTypeTable types;
    RegisterSoundSceneTypes(types, device);
    bool played = false;
    {
        TMainScene scene;
        scene.Types = &types;
        scene.SourceMode = 2;
        scene.Settings = &settings;
        const std::vector<TSceneSoundList*> lists = LoadSoundLists(scene, source);
        for (TSceneSoundList* l : lists)
            l->ReadSettings();
        const auto start = std::chrono::steady_clock::now();
        const auto stop = start + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < stop) {
            for (TSceneSoundList* l : lists)
                if (l->Visible)
                    l->Render();
            played = played || device.OutputOpen();
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        device.SetActive(false);
    }
    const bool usable = device.Usable();
    device.Clear();
    if (!played || !usable)
        RaiseMessage("the wave output could not be opened; nothing was played");
    std::printf("play: %.1f s through the wave output\n", seconds);
    return 0;
}

ToolCommand regPlay("play", "play (ARCHIVE.rfa | FILE.gsc) --seconds S [--setting NAME=VALUE ...]", &RunPlay);

}  // namespace
