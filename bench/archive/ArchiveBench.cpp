// Opening a large member (a sound-sized block inflated whole) and loading the
// directory and blocks of an archive with many members.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/ArchiveWriter.h"
#include "assets/ResourceFile.h"

namespace {

// 16-bit mono samples: a few decaying tones under crackle-like noise bursts,
// which deflate only part of the way, like a recorded sound.
std::vector<std::uint8_t> SoundLike(std::size_t bytes, std::uint32_t seed)
{
    std::vector<std::uint8_t> out(bytes);
    double phase = 0;
    for (std::size_t i = 0; i + 1 < bytes; i += 2) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(static_cast<std::int32_t>(seed)) / 2147483648.0;
        phase += 0.031 + 0.002 * std::sin(static_cast<double>(i) * 1e-5);
        const double burst = ((i / 2) % 4410 < 300) ? 9000.0 : 600.0;
        const auto sample = static_cast<std::int16_t>(2500.0 * std::sin(phase) + burst * noise);
        out[i] = static_cast<std::uint8_t>(sample & 0xFF);
        out[i + 1] = static_cast<std::uint8_t>((sample >> 8) & 0xFF);
    }
    return out;
}

std::vector<std::uint8_t> TextLike(std::size_t bytes, std::uint32_t seed)
{
    static const char* words[] = {"Texture", "=", "Fireplace", "0.25,0.5,1", "\n", "Material", "Smoke", "[Scene]"};
    std::string s;
    while (s.size() < bytes) {
        seed = seed * 1664525u + 1013904223u;
        s += words[seed >> 29];
        s += ' ';
    }
    s.resize(bytes);
    return {s.begin(), s.end()};
}

void BM_OpenLargeMember(benchmark::State& state)
{
    TResourceArchiveWriter writer;
    const std::size_t size = 1536 * 1024;
    writer.Add("crackle1.wav", SoundLike(size, 1));
    writer.Add("scene.gsc", TextLike(20000, 2));
    const std::vector<std::uint8_t> archive = writer.SaveToBytes();
    struct : IProgramResources {
        const std::vector<std::uint8_t>* archive = nullptr;
        std::optional<std::span<const std::uint8_t>> Find(const std::string& name) override
        {
            if (CompareResourceNames(name, "data_rfa") == 0)
                return std::span<const std::uint8_t>(*archive);
            return std::nullopt;
        }
    } resources;
    resources.archive = &archive;
    TResourceFileReader reader;
    reader.Resources = &resources;
    reader.Source = ReadSource::ArchiveResource;
    reader.ArchiveName = "data.rfa";
    for (auto _ : state) {
        if (!reader.Open("crackle1.wav"))
            state.SkipWithError("member not found");
        benchmark::DoNotOptimize(reader.Stream());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
    int index = 0;
    reader.Archive()->Find("crackle1.wav", index);
    state.counters["ratio"] = static_cast<double>(reader.Archive()->Files(index).CompressedSize) / static_cast<double>(size);
    reader.Close();
}
BENCHMARK(BM_OpenLargeMember)->Unit(benchmark::kMillisecond);

void BM_LoadArchive50Members(benchmark::State& state)
{
    TResourceArchiveWriter writer;
    for (int i = 0; i < 50; ++i) {
        const std::string name = "member" + std::to_string(i) + (i % 3 == 0 ? ".jpg" : i % 3 == 1 ? ".3dm" : ".txt");
        writer.Add(name, TextLike(2000 + 1000 * static_cast<std::size_t>(i), static_cast<std::uint32_t>(i)));
    }
    const std::vector<std::uint8_t> archive = writer.SaveToBytes();
    for (auto _ : state) {
        TResourceFileArchive loaded;
        TReadOnlyMemoryStream stream(archive);
        loaded.LoadFromStream(stream);
        benchmark::DoNotOptimize(loaded.Count());
    }
    state.counters["archive_bytes"] = static_cast<double>(archive.size());
}
BENCHMARK(BM_LoadArchive50Members)->Unit(benchmark::kMicrosecond);

}  // namespace
