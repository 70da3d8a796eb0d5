// pyrelume-tool flame: runs the flame simulation from a fresh generator and dumps
// the heat grid and the palettes, so that builds can be compared byte for byte.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "assets/LittleEndian.h"
#include "fire/FlameClasses.h"
#include "gl/Errors.h"
#include "gl/Random.h"
#include "tools/pyrelume-tool/Command.h"

namespace {

std::int32_t ParseInt(const std::string& option, const std::string& text, std::int64_t lo, std::int64_t hi)
{
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last)
        RaiseMessage(option + ": \"" + text + "\" is not a whole number");
    if (value < lo || value > hi)
        RaiseMessage(option + ": " + text + " is out of range " + std::to_string(lo) + ".." + std::to_string(hi));
    return static_cast<std::int32_t>(value);
}

void PutInt32(std::vector<std::uint8_t>& out, std::int32_t v)
{
    AppendLE32(out, static_cast<std::uint32_t>(v));
}

void PutPixel(std::vector<std::uint8_t>& out, const TFlamePixel& p)
{
    out.push_back(p.B);
    out.push_back(p.G);
    out.push_back(p.R);
    out.push_back(p.A);
}

// Removes a temporary file unless it has been moved into place.
class TTempFile {
public:
    explicit TTempFile(std::string target) : target_(std::move(target)), path_(target_ + ".tmp~") {}
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile()
    {
        if (!committed_) {
            std::error_code ec;
            std::filesystem::remove(path_, ec);
        }
    }

    void Write(const std::vector<std::uint8_t>& bytes)
    {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        if (!f)
            RaiseMessage("cannot create \"" + path_ + "\"");
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        const bool closed = std::fclose(f) == 0;
        if (!ok || !closed)
            RaiseMessage("cannot write \"" + path_ + "\"");
    }

    void Commit()
    {
        std::error_code ec;
        std::filesystem::rename(path_, target_, ec);
        if (ec)
            RaiseMessage("cannot replace \"" + target_ + "\": " + ec.message());
        committed_ = true;
    }

private:
    std::string target_;
    std::string path_;
    bool committed_ = false;
};

int RunFlame(const std::vector<std::string>& args)
{
    std::optional<std::int32_t> steps, width, decay, rate, color;
    bool swap = false;
    std::string dumpFile, paletteFile;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                RaiseMessage(a + ": missing value");
            return args[++i];
        };
        if (a == "--steps")
            steps = ParseInt(a, value(), 0, 100000000);
        else if (a == "--width")
            width = ParseInt(a, value(), INT32_MIN, INT32_MAX);
        else if (a == "--decay")
            decay = ParseInt(a, value(), INT32_MIN, INT32_MAX);
        else if (a == "--rate")
            rate = ParseInt(a, value(), INT32_MIN, INT32_MAX);
        else if (a == "--color")
            color = ParseInt(a, value(), INT32_MIN, INT32_MAX);
        else if (a == "--swap")
            swap = true;
        else if (a == "--dump")
            dumpFile = value();
        else if (a == "--palettes")
            paletteFile = value();
        else
            throw ToolUsageError{"unknown option \"" + a + "\""};
    }
    if (!steps)
        RaiseMessage("--steps: missing");
    if (dumpFile.empty())
        RaiseMessage("--dump: missing");

    Random::SetState(0);
    TFlame2D flame;
    if (width)
        flame.SetFlameWidth(*width);
    if (decay)
        flame.SetDecay(*decay);
    if (rate)
        flame.SetBurningRate(*rate);
    if (color)
        flame.SetFlameColor(*color);
    if (swap) {
        flame.SetSwapBytes(true);
        flame.RebuildPalette();
    }
    for (std::int32_t n = 0; n < *steps; ++n)
        flame.Step();

    std::vector<std::uint8_t> grid;
    grid.reserve(static_cast<std::size_t>(flame.Width()) * flame.Height() * 4);
    for (int y = 0; y < flame.Height(); ++y) {
        const std::int32_t* row = flame.Row(y);
        for (int x = 0; x < flame.Width(); ++x)
            PutInt32(grid, row[x]);
    }

    // Both outputs are written completely before either replaces its target.
    TTempFile dump(dumpFile);
    dump.Write(grid);
    std::optional<TTempFile> palettes;
    if (!paletteFile.empty()) {
        std::vector<std::uint8_t> bytes;
        bytes.reserve(TFlame2D::PaletteSize * 4 * 6);
        for (const TFlamePixel& p : flame.Palette())
            PutPixel(bytes, p);
        for (const auto& entry : flame.DitherPalette())
            for (const TFlamePixel& p : entry)
                PutPixel(bytes, p);
        for (const TFlamePixel& p : flame.LightPalette())
            PutPixel(bytes, p);
        palettes.emplace(paletteFile);
        palettes->Write(bytes);
    }
    dump.Commit();
    if (palettes)
        palettes->Commit();
    return 0;
}

ToolCommand reg("flame",
                "flame --steps N [--width W] [--decay D] [--rate R] [--color I] [--swap] --dump FILE "
                "[--palettes FILE]",
                &RunFlame);

} // namespace
