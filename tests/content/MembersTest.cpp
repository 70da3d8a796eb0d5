// The packed fireplace archive holds every member the scene needs, with the
// sizes and formats the loaders and the flame copy rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "assets/File3DM.h"
#include "tests/content/ContentArchive.h"

using namespace content_test;

namespace {

struct PictureSpec {
    const char* name;
    int width, height;
};

const PictureSpec kJpegs[] = {
    {"FLAME.jpg", 256, 256},        {"LightMap.jpg", 128, 128},     {"Front01.jpg", 512, 512},
    {"Front02.jpg", 512, 512},      {"Back01.jpg", 512, 512},       {"Back02.jpg", 512, 256},
    {"About.jpg", 106, 133},        {"Embers01.jpg", 512, 512},     {"FireGuard01.jpg", 512, 256},  {"FireGuardA01.jpg", 512, 256},
    {"FireGuard05.jpg", 512, 256},  {"FireGuardA05.jpg", 512, 256}, {"FireWood01.jpg", 1024, 512},
    {"FireWoodA01.jpg", 1024, 512}, {"FireWood02.jpg", 1024, 512},  {"FireWood02A.jpg", 1024, 512},
    {"Sparkle.jpg", 64, 64},        {"SparkleA.jpg", 64, 64},       {"Smoke.jpg", 64, 64},
    {"SmokeA.jpg", 64, 64},
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

}  // namespace

TEST(ContentMembers, JpegPicturesHaveTheirSizesAndDecodeAsColour) {
    for (const PictureSpec& s : kJpegs) {
        SCOPED_TRACE(s.name);
        ASSERT_TRUE(Has(s.name));
        Picture p = JpegHeader(Member(s.name));
        EXPECT_EQ(p.width, s.width);
        EXPECT_EQ(p.height, s.height);
        // three components, so every loader sees a 24-bit picture (alpha images included)
        EXPECT_EQ(p.components, 3);
    }
}

TEST(ContentMembers, ClockImagesArePalettised256Square) {
    for (const char* name : {"clock.bmp", "ClockA.bmp"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Has(name));
        std::vector<std::uint8_t> b = Member(name);
        Picture p = BmpHeader(b);
        EXPECT_EQ(p.width, 256);
        EXPECT_EQ(p.height, 256);
        EXPECT_EQ(p.bitsPerPixel, 8);
    }
}

TEST(ContentMembers, ClockSpritesHaveInkInsideTheirRectangles) {
    // Every sprite rectangle of the clock holds something visible in the alpha
    // image, and the gap rows between the digit rows stay clear.
    std::vector<std::uint8_t> b = Member("ClockA.bmp");
    const std::uint32_t offBits = b[10] | (b[11] << 8) | (b[12] << 16);
    auto alpha = [&](int x, int y) { return b[offBits + static_cast<std::size_t>(255 - y) * 256 + x]; };
    struct R {
        const char* name;
        int u, v, w, h;
    };
    const R rects[] = {{"Plate", 0, 0, 180, 131}, {"0", 0, 140, 36, 58},  {"4", 144, 140, 36, 58}, {"5", 0, 198, 36, 58},
                       {"9", 144, 198, 36, 58},    {":", 180, 198, 13, 58}, {"\\", 216, 198, 36, 58}, {"sun", 184, 0, 66, 25},
                       {"sat", 184, 167, 66, 25},  {"am", 192, 199, 25, 17}, {"pm", 192, 215, 25, 17}};
    for (const R& r : rects) {
        SCOPED_TRACE(r.name);
        int peak = 0;
        for (int y = r.v; y < r.v + r.h; ++y)
            for (int x = r.u; x < r.u + r.w; ++x) peak = std::max<int>(peak, alpha(x, y));
        EXPECT_GT(peak, 200);
    }
    for (int x = 0; x < 180; ++x) EXPECT_EQ(alpha(x, 135), 0) << "between plate and digits at x " << x;
}

TEST(ContentMembers, SoundsArePcmStereo22kHz16Bit) {
    for (const char* name : {"fireplace1.wav", "fireplace2.wav"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Has(name));
        Wave w = ParseWave(Member(name));
        EXPECT_EQ(w.formatTag, 1);
        EXPECT_EQ(w.fmtSize, 16);
        EXPECT_EQ(w.channels, 2);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_EQ(w.bits, 16);
        EXPECT_EQ(w.blockAlign, 4);
        EXPECT_GE(w.samples.size() / 2, 3u * 22050u) << "a loop of several seconds";
    }
}

TEST(ContentMembers, FileListsNameExistingMembers) {
    const std::pair<const char*, std::size_t> lists[] = {
        {"DemoFireplace.txt", 2}, {"DemoFront.txt", 2}, {"DemoBack.txt", 2}, {"DemoFireGuard.txt", 4}, {"FireWood.txt", 4}};
    for (const auto& [list, count] : lists) {
        SCOPED_TRACE(list);
        ASSERT_TRUE(Has(list));
        std::string text = MemberText(list);
        EXPECT_EQ(text.find('\r'), std::string::npos) << "lines end in LF only";
        std::vector<std::string> lines = Lines(text);
        EXPECT_EQ(lines.size(), count);
        for (const std::string& l : lines) EXPECT_TRUE(Has(l)) << l;
    }
}

TEST(ContentMembers, SceneDescriptionIsPacked) {
    ASSERT_TRUE(Has("pyrelume.gsc"));
    std::string text = MemberText("pyrelume.gsc");
    EXPECT_NE(text.find("[MainScene]"), std::string::npos);
    EXPECT_NE(text.find("\n;Quality=High\n"), std::string::npos);
    EXPECT_NE(text.find("\n;ColorBit=32bit\n"), std::string::npos);
    // every sound the description names is in the archive
    for (const std::string& l : Lines(text))
        if (l.rfind("FileName=", 0) == 0) EXPECT_TRUE(Has(l.substr(9))) << l;
}

namespace {

// Names a model material's maps resolve to: the scene's own textures (whose
// pictures come through the file lists) or archive members.
const std::set<std::string> kSceneTextures = {"flamea.jpg", "lightmapa.jpg", "front.jpg", "back.jpg",
                                               "fireguarda.jpg", "firewooda.jpg"};

std::string TextureNameFor(const std::string& map, const std::string& alpha) {
    if (alpha.empty()) return map;
    std::size_t dot = map.find('.');
    return map.substr(0, dot) + "A" + (dot == std::string::npos ? "" : map.substr(dot));
}

struct Bounds {
    float minZ = 1e9f, maxZ = -1e9f, minY = 1e9f, maxY = -1e9f;
};

Bounds ObjectBounds(const T3DMObject& o) {
    Bounds b;
    for (std::int32_t i = 1; i <= o.Vertices.Count(); ++i) {
        const T3DMVertex& v = o.Vertices.Get(i);
        b.minZ = std::min(b.minZ, v.Z);
        b.maxZ = std::max(b.maxZ, v.Z);
        b.minY = std::min(b.minY, v.Y);
        b.maxY = std::max(b.maxY, v.Y);
    }
    return b;
}

}  // namespace

TEST(ContentModels, MaterialsNameTexturesTheSceneCanFind) {
    for (const char* name : {"Fireplace01.3dm", "Fireplace02.3dm", "Sparkle.3dm", "Smoke.3dm"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Has(name));
        T3DMFile model;
        model.LoadFromText(MemberText(name));
        ASSERT_GT(model.Count(), 0);
        for (std::int32_t i = 0; i < model.Materials.Count(); ++i) {
            auto* m = dynamic_cast<T3DMMaterialStandard*>(&model.Materials.Items(i));
            ASSERT_NE(m, nullptr);
            SCOPED_TRACE(m->Name());
            if (m->DiffuseMap.empty()) {  // drawn in its own colour; an alpha map alone would be lost
                EXPECT_TRUE(m->OpacityMap.empty());
                continue;
            }
            std::string tex = TextureNameFor(m->DiffuseMap, m->OpacityMap);
            bool scene = kSceneTextures.count(Lower(tex)) > 0;
            EXPECT_TRUE(scene || (Has(m->DiffuseMap) && (m->OpacityMap.empty() || Has(m->OpacityMap))));
        }
        for (std::int32_t i = 0; i < model.Count(); ++i) {
            const T3DMObject& o = model.Objects(i);
            SCOPED_TRACE(o.Name);
            EXPECT_NE(model.Materials.FindMaterial(o.MaterialName), nullptr);
            EXPECT_EQ(o.TextureCoords.Count(), o.Vertices.Count());
            EXPECT_EQ(o.FaceMatIDs.size(), static_cast<std::size_t>(o.VertexFaces.Count()));
            EXPECT_LT(o.Vertices.Count(), 65536) << "16-bit indices";
            for (std::int32_t f = 0; f < o.VertexFaces.Count(); ++f) {
                const T3DMFace& face = o.VertexFaces.Items(f);
                for (std::int32_t k : {face.A, face.B, face.C}) {
                    ASSERT_GE(k, 1);
                    ASSERT_LE(k, o.Vertices.Count());
                }
            }
        }
    }
}

TEST(ContentModels, FireSitsWhereTheParticlesRise) {
    // Sparkles are born 50..125 units behind the origin and smoke 35..40, so
    // the flames, logs and embers lie inside that band, the masonry's front
    // stands in front of the smoke, and the firebox reaches behind the sparkles.
    for (const char* name : {"Fireplace01.3dm", "Fireplace02.3dm"}) {
        SCOPED_TRACE(name);
        T3DMFile model;
        model.LoadFromText(MemberText(name));
        std::set<std::string> seen;
        for (std::int32_t i = 0; i < model.Count(); ++i) {
            const T3DMObject& o = model.Objects(i);
            Bounds b = ObjectBounds(o);
            seen.insert(o.Name);
            if (o.Name == "Flames" || o.Name == "Logs" || o.Name == "Embers") {
                EXPECT_LE(b.maxZ, -50.0f) << o.Name;
                EXPECT_GE(b.minZ, -125.0f) << o.Name;
            }
            if (o.Name == "Firebox") EXPECT_LT(b.minZ, -125.0f);
            if (o.Name == "Masonry") EXPECT_GT(b.maxZ, -35.0f);
            if (o.Name == "FireGuard") EXPECT_GT(b.minZ, -35.0f);
        }
        for (const char* part : {"Masonry", "Firebox", "Embers", "LightMap", "Flames", "Logs", "FireGuard"})
            EXPECT_TRUE(seen.count(part)) << part;
    }
}
