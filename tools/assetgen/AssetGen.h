#pragma once
// Entry points of the asset generator: each writes its members into `dir`.
#include <string>

#include "tools/assetgen/Raster.h"

namespace assetgen {

void WriteMasonry(const std::string& dir);    // Front01/02, Back01/02
void WriteFireParts(const std::string& dir);  // Embers01, FLAME, LightMap, Sparkle(A), Smoke(A)
void WriteFireWood(const std::string& dir);   // FireWood01/02 with their alpha images
void WriteFireGuards(const std::string& dir); // FireGuard01/05 with their alpha images
void WriteClock(const std::string& dir, const std::string& fontFile);  // clock.bmp, ClockA.bmp
void WriteModels(const std::string& dir);     // Fireplace01/02, Sparkle, Smoke .3dm
void WriteSounds(const std::string& dir);     // fireplace1.wav, fireplace2.wav

// A height field shaded by a light from the upper left; returns per-pixel light factors.
std::vector<float> ShadeHeights(const std::vector<float>& h, int w, int hgt, float strength, bool wrap);

}  // namespace assetgen
