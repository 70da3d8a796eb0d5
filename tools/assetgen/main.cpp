// pyrelume-assetgen OUTDIR [--font FILE]
// Writes the generated members of the fireplace archive into OUTDIR: the
// pictures, the models and the sounds. The output depends only on this
// program and the font, so repeated runs give identical files.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "tools/assetgen/AssetGen.h"

int main(int argc, char** argv) {
    std::string out, font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--font" && i + 1 < argc) font = argv[++i];
        else if (out.empty() && !a.empty() && a[0] != '-') out = a;
        else {
            std::fprintf(stderr, "usage: pyrelume-assetgen OUTDIR [--font FILE]\n");
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: pyrelume-assetgen OUTDIR [--font FILE]\n");
        return 2;
    }
    try {
        std::filesystem::create_directories(out);
        assetgen::WriteModels(out);
        assetgen::WriteClock(out, font);
        assetgen::WriteSounds(out);
        assetgen::WriteFireParts(out);
        assetgen::WriteFireGuards(out);
        assetgen::WriteMasonry(out);
        assetgen::WriteFireWood(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pyrelume-assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
