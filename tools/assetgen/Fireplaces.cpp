// The two fireplace models and the particle quads.
//
// Units are centimetres in a Y-up frame with the camera at (0, 105, 240)
// looking along -Z. The fire sits where the particle fields rise: sparkles are
// born 50..125 units behind the origin and smoke 35..40, so the front face of
// the masonry stands in front of z = -35 and the back wall behind z = -125.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "tools/assetgen/AssetGen.h"
#include "tools/assetgen/Model.h"

namespace assetgen {

namespace {

constexpr float kTile = 90.0f;  // world size of one repeat of the masonry pictures
// The simulated flames burn in the lower third of their 256-row texture and the
// rows above stay empty, so flame and light-map quads show only the lower half
// of it: the flames are stretched upwards into tall tongues instead of squat
// ones, and no quad spends its height on empty rows.
constexpr float kFlameV = 0.5f;
// Share of the light map's width that each side wall of a firebox takes.
constexpr float kSideU = 0.15f;
// The firebox floor is paved with the lowest courses of the back-wall picture.
constexpr float kFloorV = 0.3f;

const V3 kFront{0, 0, 1}, kBack{0, 0, -1}, kUp{0, 1, 0}, kDown{0, -1, 0}, kLeft{-1, 0, 0}, kRight{1, 0, 0};

// Texture coordinates that follow the world so that masonry courses line up
// across faces: each axis-aligned plane uses the two coordinates it spans.
V2 WorldUV(V3 p, V3 n) {
    if (std::fabs(n.z) >= std::fabs(n.x) && std::fabs(n.z) >= std::fabs(n.y)) return {p.x / kTile, p.y / kTile};
    if (std::fabs(n.x) >= std::fabs(n.y)) return {p.z / kTile, p.y / kTile};
    return {p.x / kTile, p.z / kTile};
}

void WorldQuad(ModelObject& o, V3 a, V3 b, V3 c, V3 d, V3 n) {
    o.Quad(a, b, c, d, WorldUV(a, n), WorldUV(b, n), WorldUV(c, n), WorldUV(d, n), n);
}

// Axis-aligned box; `faces` selects the sides drawn: F(ront) B(ack) L R T(op) D(own).
void Box(ModelObject& o, V3 lo, V3 hi, const char* faces) {
    for (const char* f = faces; *f; ++f) {
        switch (*f) {
        case 'F': WorldQuad(o, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, kFront); break;
        case 'B': WorldQuad(o, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, kBack); break;
        case 'L': WorldQuad(o, {lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {lo.x, hi.y, lo.z}, kLeft); break;
        case 'R': WorldQuad(o, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, kRight); break;
        case 'T': WorldQuad(o, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, kUp); break;
        case 'D': WorldQuad(o, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}, kDown); break;
        default: break;
        }
    }
}

// A front-facing rectangle with explicit texture coordinates.
void Card(ModelObject& o, float x0, float x1, float y0, float y1, float zBottom, float zTop, float u0, float u1,
          float v0, float v1) {
    V3 n = Cross(V3{x1 - x0, 0, 0}, V3{0, y1 - y0, zTop - zBottom});
    o.Quad({x0, y0, zBottom}, {x1, y0, zBottom}, {x1, y1, zTop}, {x0, y1, zTop}, {u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}, n);
}

ModelMaterial Mat(const std::string& name, float amb, float dif, const std::string& map, const std::string& alpha = "") {
    ModelMaterial m;
    m.name = name;
    m.ambient = {amb, amb * 0.96f, amb * 0.92f};
    m.diffuse = {dif, dif * 0.94f, dif * 0.88f};
    m.diffuseMap = map;
    m.opacityMap = alpha;
    return m;
}

// A layer that glows with the animated flame picture in the given tint,
// added to the frame (additive opacity).
ModelMaterial FlameGlow(const std::string& name, std::array<float, 3> tint) {
    ModelMaterial g = Mat(name, 0, 0, "FLAME.jpg", "FLAME.jpg");
    g.selfIllum = tint;
    g.opacityType = 2;
    return g;
}

// Materials shared by both models; each model prefixes its own names so that a
// model switch never inherits the other's colours from the scene's list.
void AddMaterials(Model& m, const std::string& p) {
    m.materials.push_back(Mat(p + "Front", 92, 48, "Front.jpg"));
    // the firebox is lit by the fire: warm, and brighter than the room light
    // alone would make it; the light map darkens it where the fire is low
    ModelMaterial back = Mat(p + "Back", 0, 0, "Back.jpg");
    back.ambient = {150, 112, 80};
    back.diffuse = {40, 30, 22};
    m.materials.push_back(back);
    // untextured wood: painted for the classic surround, dark oak for the rustic beam
    ModelMaterial paint = Mat(p + "Paint", 0, 0, "");
    paint.ambient = {122, 115, 104};
    paint.diffuse = {40, 38, 35};
    paint.specular = {80, 80, 80};
    paint.specularLevel = 20;
    paint.glossiness = 25;
    m.materials.push_back(paint);
    ModelMaterial oak = Mat(p + "Oak", 0, 0, "");
    oak.ambient = {70, 46, 28};
    oak.diffuse = {40, 28, 18};
    m.materials.push_back(oak);
    ModelMaterial embers = Mat(p + "Embers", 255, 255, "Embers01.jpg");
    embers.selfIllum = {255, 255, 255};
    m.materials.push_back(embers);
    // the logs show their picture much as painted: charred bark with cracks
    // that glow by themselves, whatever the room light
    ModelMaterial wood = Mat(p + "Wood", 140, 40, "FireWood.jpg", "FireWoodA.jpg");
    wood.selfIllum = {80, 76, 72};
    wood.twoSided = true;
    m.materials.push_back(wood);
    ModelMaterial lightMap = Mat(p + "LightMap", 255, 255, "LightMap.jpg", "LightMap.jpg");
    lightMap.selfIllum = {255, 255, 255};
    m.materials.push_back(lightMap);
    // The flames glow by themselves and are added to what lies behind them, so
    // that hot flame saturates to yellow-white instead of letting the bricks
    // show through. The simulation's palettes run from a transparent blue
    // through orange to white; the tint turns that into red edges, orange
    // tongues and a warm yellow core.
    m.materials.push_back(FlameGlow(p + "Flame", {255, 214, 140}));
    // Firelight: the same animated flame picture, dimmed and added to the
    // surfaces around the fire (see LitSurface), so they brighten and flicker
    // as the flames rise and fall.
    m.materials.push_back(FlameGlow(p + "FireLight", {150, 92, 28}));
    // The same, much fainter, for faces turned towards the room: they catch
    // only the light that comes back from it.
    m.materials.push_back(FlameGlow(p + "RoomLight", {84, 50, 14}));
    // The ember bed's breathing glow, from the hottest rows of the flame.
    m.materials.push_back(FlameGlow(p + "EmberGlow", {190, 96, 30}));
    ModelMaterial guard = Mat(p + "Guard", 130, 60, "FireGuard.jpg", "FireGuardA.jpg");
    guard.specular = {255, 230, 200};
    guard.specularLevel = 40;
    guard.glossiness = 30;
    guard.twoSided = true;
    m.materials.push_back(guard);
}

ModelObject Obj(const std::string& name, const std::string& material) {
    ModelObject o;
    o.name = name;
    o.material = material;
    return o;
}

// The embers bed: a low mound over an ellipse, textured once from above.
ModelObject EmbersBed(const std::string& mat, float cx, float cz, float rx, float rz, float y, float height) {
    ModelObject o = Obj("Embers", mat);
    const int n = 12;
    std::vector<int> idx((n + 1) * (n + 1));
    for (int j = 0; j <= n; ++j)
        for (int i = 0; i <= n; ++i) {
            float sx = -1 + 2.0f * i / n, sz = -1 + 2.0f * j / n;
            // squash the square grid onto the ellipse so the rim lies on the floor
            float r = std::max(std::fabs(sx), std::fabs(sz));
            float len = std::hypot(sx, sz);
            float k = len > 0 ? r / len : 0;
            float ex = sx * k, ez = sz * k;
            float d2 = ex * ex + ez * ez;
            float hump = height * (1 - d2) * (0.8f + 0.2f * std::cos(ex * 5.0f + ez * 3.0f));
            V3 p{cx + ex * rx, y + std::max(0.0f, hump) - 0.5f, cz + ez * rz};
            idx[j * (n + 1) + i] = o.Add(p, {0.5f + ex * 0.5f, 0.5f - ez * 0.5f});
        }
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            int a = idx[j * (n + 1) + i], b = idx[j * (n + 1) + i + 1];
            int c = idx[(j + 1) * (n + 1) + i + 1], d = idx[(j + 1) * (n + 1) + i];
            o.Tri(a, b, c, kUp);
            o.Tri(a, c, d, kUp);
        }
    return o;
}

// A three-panel guard: a centre panel and two wings folded back towards the
// masonry. The picture holds the panels side by side: wing, centre, wing.
ModelObject FoldingGuard(const std::string& mat, float halfWidth, float zFront, float wingDx, float wingDz, float y0,
                         float y1) {
    ModelObject o = Obj("FireGuard", mat);
    const float uSplit = 0.15f;
    float xl = -halfWidth, xr = halfWidth;
    V3 n = kFront;
    o.Quad({xl - wingDx, y0, zFront - wingDz}, {xl, y0, zFront}, {xl, y1, zFront}, {xl - wingDx, y1, zFront - wingDz},
           {0, 0}, {uSplit, 0}, {uSplit, 1}, {0, 1}, Cross(V3{wingDx, 0, wingDz}, kUp));
    o.Quad({xl, y0, zFront}, {xr, y0, zFront}, {xr, y1, zFront}, {xl, y1, zFront}, {uSplit, 0}, {1 - uSplit, 0},
           {1 - uSplit, 1}, {uSplit, 1}, n);
    o.Quad({xr, y0, zFront}, {xr + wingDx, y0, zFront - wingDz}, {xr + wingDx, y1, zFront - wingDz}, {xr, y1, zFront},
           {1 - uSplit, 0}, {1, 0}, {1, 1}, {1 - uSplit, 1}, Cross(V3{wingDx, 0, -wingDz}, kUp));
    return o;
}

// A guard bowed along an arc, drawn in strips across the same picture.
ModelObject BowedGuard(const std::string& mat, float halfWidth, float zFront, float sag, float y0, float y1) {
    ModelObject o = Obj("FireGuard", mat);
    const int n = 12;
    for (int i = 0; i < n; ++i) {
        float t0 = static_cast<float>(i) / n, t1 = static_cast<float>(i + 1) / n;
        float x0 = -halfWidth + 2 * halfWidth * t0, x1 = -halfWidth + 2 * halfWidth * t1;
        float z0 = zFront - sag * (2 * t0 - 1) * (2 * t0 - 1), z1 = zFront - sag * (2 * t1 - 1) * (2 * t1 - 1);
        V3 nrm = Cross(V3{x1 - x0, 0, z1 - z0}, kUp);
        o.Quad({x0, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z0}, {t0, 0}, {t1, 0}, {t1, 1}, {t0, 1}, nrm);
    }
    return o;
}

// Firelight: the surfaces round the fire sample the animated flame picture.
// The nearer a point lies to the fire, the lower (hotter) the row it reads, so
// the light falls off with distance and fades out where the flame picture is
// clear; across, it reads the column of the flame beside it, so the light
// moves with the tongues. A point far enough away reads no flame at all.
constexpr float kLightNearV = 0.03f, kLightFalloff = 0.00105f;

V2 FireLightUV(V3 p, V3 fire, float away) {
    const V3 d = p - fire;
    const float dist = std::sqrt(Dot(d, d)) + away;
    const float u = std::clamp(0.5f + d.x * 0.0026f, 0.08f, 0.92f);
    return {u, kLightNearV + dist * kLightFalloff};
}

// A grid over the quad a-b-c-d, lifted off the surface along its normal, with
// firelight coordinates at every vertex (a grid, so that the falloff follows
// the distance and not just the corners). `away` dims a surface that does not
// face the fire: it reads the flame as if that much further off. Edges listed
// in `soft` (L: a-d, R: b-c, T: d-c) read the picture's top row, where the
// flame never reaches, so a layer that ends in the middle of a face fades out
// there instead of ending in a line, however tall the flames burn.
void LitSurface(ModelObject& o, V3 a, V3 b, V3 c, V3 d, V3 n, V3 fire, int div = 6, float away = 0,
                const char* soft = "") {
    const float len = std::sqrt(Dot(n, n));
    const V3 lift = n * (0.4f / len);
    std::vector<int> idx((div + 1) * (div + 1));
    for (int j = 0; j <= div; ++j)
        for (int i = 0; i <= div; ++i) {
            const float s = static_cast<float>(i) / div, t = static_cast<float>(j) / div;
            const V3 bottom = a + (b - a) * s, top = d + (c - d) * s;
            const V3 p = bottom + (top - bottom) * t + lift;
            V2 uv = FireLightUV(p, fire, away);
            const bool cold = (i == 0 && std::strchr(soft, 'L')) || (i == div && std::strchr(soft, 'R')) ||
                              (j == div && std::strchr(soft, 'T'));
            if (cold) uv.v = 0.995f;
            idx[j * (div + 1) + i] = o.Add(p, uv);
        }
    for (int j = 0; j < div; ++j)
        for (int i = 0; i < div; ++i) {
            const int p0 = idx[j * (div + 1) + i], p1 = idx[j * (div + 1) + i + 1];
            const int p2 = idx[(j + 1) * (div + 1) + i + 1], p3 = idx[(j + 1) * (div + 1) + i];
            o.Tri(p0, p1, p2, n);
            o.Tri(p0, p2, p3, n);
        }
}

// The ember bed's glow: the bed's mound again, just above it, reading the
// hottest rows of the flame so that the embers brighten and dim with it.
ModelObject EmberGlow(const ModelObject& bed, const std::string& mat) {
    ModelObject o = bed;
    o.name = "EmberGlow";
    o.material = mat;
    for (std::size_t i = 0; i < o.verts.size(); ++i) {
        o.verts[i].y += 0.5f;
        const V2 t = bed.uvs[i];
        const float r = std::hypot(t.u - 0.5f, t.v - 0.5f) * 2;  // 0 centre .. 1 rim
        o.uvs[i] = {0.12f + 0.76f * t.u, 0.015f + 0.09f * r};
    }
    return o;
}

// One flame layer: a sheet bowed back towards its ends (zCentre is its depth
// in the middle, zEnd at x = +-halfW). It grows lower towards its ends while
// showing the same rows of the picture, down to nothing at the ends, so the
// tongues shorten and die away towards the walls and the fire stands highest
// in the middle (the picture itself burns right up to its side edges).
void FlameSheet(ModelObject& o, float halfW, float zCentre, float zEnd, float y0, float y1, float u0, float u1,
                float v0, float v1) {
    const int n = 16;
    auto z = [&](float x) { return zCentre + (zEnd - zCentre) * (x / halfW) * (x / halfW); };
    auto top = [&](float x) {
        const float t = 1 - (x / halfW) * (x / halfW);
        return y0 + (y1 - y0) * std::pow(std::max(t, 0.0f), 1.2f);
    };
    for (int i = 0; i < n; ++i) {
        const float s0 = static_cast<float>(i) / n, s1 = static_cast<float>(i + 1) / n;
        const float x0 = -halfW + 2 * halfW * s0, x1 = -halfW + 2 * halfW * s1;
        const float ua = u0 + (u1 - u0) * s0, ub = u0 + (u1 - u0) * s1;
        o.Quad({x0, y0, z(x0)}, {x1, y0, z(x1)}, {x1, top(x1), z(x1)}, {x0, top(x0), z(x0)}, {ua, v0}, {ub, v0},
               {ub, v1}, {ua, v1}, Cross(V3{x1 - x0, 0, z(x1) - z(x0)}, kUp));
    }
}

// The flames: three layers of the one animated picture at different depths,
// behind the logs, through the middle of the log pile and in front of it,
// each showing another part or the mirror image of the picture so that no
// tongue repeats; the nearer layers show fewer columns, so their tongues are
// broader. The lower rows of the picture are the flames' roots. `wall(z)` is
// the firebox's half-width at depth z: every layer dies away short of the
// walls.
template <class Wall>
ModelObject Flames(const std::string& mat, float floorY, float zBack, float zMid, float zFront, Wall wall) {
    ModelObject o = Obj("Flames", mat);
    FlameSheet(o, wall(zBack) - 3, zBack, zBack, floorY + 10, floorY + 132, 0, 1, 0, 0.32f);
    const float zMidEnd = zMid - 22, zFrontEnd = zFront - 30;
    FlameSheet(o, wall(zMidEnd) - 4, zMid, zMidEnd, floorY + 6, floorY + 120, 0.92f, 0.2f, 0, 0.31f);
    FlameSheet(o, wall(zFrontEnd) - 8, zFront, zFrontEnd, floorY + 22, floorY + 102, 0.24f, 0.76f, 0.015f, 0.27f);
    return o;
}

// Classic fireplace: raised hearth, rectangular opening framed by a raised
// surround, a mantel shelf, and a splayed firebox with a sloping throat.
Model ClassicFireplace() {
    Model m;
    const std::string p = "Classic";
    AddMaterials(m, p);
    const float zF = -30, floorY = 15, openW = 75, openTop = 120, backZ = -128, backW = 56, backTop = 138;

    ModelObject front = Obj("Masonry", p + "Front");
    // the chimney breast around the opening
    WorldQuad(front, {-240, floorY, zF}, {-openW, floorY, zF}, {-openW, 340, zF}, {-240, 340, zF}, kFront);
    WorldQuad(front, {openW, floorY, zF}, {240, floorY, zF}, {240, 340, zF}, {openW, 340, zF}, kFront);
    WorldQuad(front, {-openW, openTop, zF}, {openW, openTop, zF}, {openW, 340, zF}, {-openW, 340, zF}, kFront);
    // raised hearth
    Box(front, {-140, 0, zF}, {140, floorY, 28}, "FLRT");
    m.objects.push_back(front);

    // a painted wooden surround: pilasters, a frieze and a moulded shelf
    ModelObject surround = Obj("Surround", p + "Paint");
    const float zS = -22, sw = 104, sTop = 142.5f;
    Box(surround, {-sw, floorY, zF}, {-openW, sTop, zS}, "FLR");
    Box(surround, {openW, floorY, zF}, {sw, sTop, zS}, "FLR");
    Box(surround, {-openW, openTop, zF}, {openW, sTop, zS}, "FD");
    Box(surround, {-sw + 5, floorY + 6, zS}, {-openW - 5, sTop - 8, zS + 2}, "FLRTD");  // pilaster faces
    Box(surround, {openW + 5, floorY + 6, zS}, {sw - 5, sTop - 8, zS + 2}, "FLRTD");
    Box(surround, {-122, sTop, zF}, {122, sTop + 7, -4}, "FLRTD");
    Box(surround, {-114, sTop - 4, zS}, {114, sTop, -8}, "FLRD");
    m.objects.push_back(surround);

    ModelObject box = Obj("Firebox", p + "Back");
    auto backUV = [&](V3 q) { return V2{(q.x + backW) / (2 * backW), (q.y - floorY) / (backTop - floorY)}; };
    {
        V3 a{-backW, floorY, backZ}, b{backW, floorY, backZ}, c{backW, backTop, backZ}, d{-backW, backTop, backZ};
        box.Quad(a, b, c, d, backUV(a), backUV(b), backUV(c), backUV(d), kFront);
    }
    // splayed side walls: texture runs along the wall from the back corner
    float sideLen = std::hypot(openW - backW, zF - backZ);
    float us = sideLen / (2 * backW);
    box.Quad({-backW, floorY, backZ}, {-openW, floorY, zF}, {-openW, openTop, zF}, {-backW, backTop, backZ},
             {0, 0}, {-us, 0}, {-us, (openTop - floorY) / (backTop - floorY)}, {0, 1}, {1, 0, 0.2f});
    box.Quad({openW, floorY, zF}, {backW, floorY, backZ}, {backW, backTop, backZ}, {openW, openTop, zF},
             {1 + us, 0}, {1, 0}, {1, 1}, {1 + us, (openTop - floorY) / (backTop - floorY)}, {-1, 0, 0.2f});
    // sloping throat above the fire
    box.Quad({-openW, openTop, zF}, {openW, openTop, zF}, {backW, backTop, backZ}, {-backW, backTop, backZ},
             {0, 0.93f}, {1, 0.93f}, {1, 1}, {0, 1}, {0, -1, -0.15f});
    // firebox floor
    box.Quad({-openW, floorY, zF}, {openW, floorY, zF}, {backW, floorY, backZ}, {-backW, floorY, backZ},
             {-0.17f, 0}, {1.17f, 0}, {1, kFloorV}, {0, kFloorV}, kUp);
    m.objects.push_back(box);

    const ModelObject bed = EmbersBed(p + "Embers", 0, -86, 60, 34, floorY, 6);
    m.objects.push_back(bed);

    // translucent parts, back to front
    ModelObject light = Obj("LightMap", p + "LightMap");
    Card(light, -backW, backW, floorY, backTop, backZ + 0.6f, backZ + 0.6f, 0, 1, 0, kFlameV);
    {
        // the splayed sides take the outer columns of the light map, so they
        // flicker with the flames nearest to them
        const V3 nl = V3{1, 0, 0.2f} * 0.6f, nr = V3{-1, 0, 0.2f} * 0.6f;
        const float vTop = kFlameV, vFront = kFlameV * (openTop - floorY) / (backTop - floorY);
        light.Quad(V3{-backW, floorY, backZ} + nl, V3{-openW, floorY, zF} + nl, V3{-openW, openTop, zF} + nl,
                   V3{-backW, backTop, backZ} + nl, {kSideU, 0}, {0, 0}, {0, vFront}, {kSideU, vTop}, {1, 0, 0.2f});
        light.Quad(V3{openW, floorY, zF} + nr, V3{backW, floorY, backZ} + nr, V3{backW, backTop, backZ} + nr,
                   V3{openW, openTop, zF} + nr, {1, 0}, {1 - kSideU, 0}, {1 - kSideU, vTop}, {1, vFront}, {-1, 0, 0.2f});
    }
    m.objects.push_back(light);
    // blended layers are drawn back to front: the logs, then the glows on
    // the embers and round the fire, then the flame sheets from the back
    ModelObject wood = Obj("Logs", p + "Wood");
    Card(wood, -70, 70, 11, 81, -66, -78, 0, 1, 0, 1);
    m.objects.push_back(wood);
    m.objects.push_back(EmberGlow(bed, p + "EmberGlow"));
    {
        const V3 fire{0, floorY + 30, -80};
        ModelObject lit = Obj("FireLight", p + "FireLight");
        // firebox floor in front of the embers, the hearth and its front edge
        LitSurface(lit, {-openW, floorY, zF}, {openW, floorY, zF}, {backW, floorY, backZ}, {-backW, floorY, backZ}, kUp, fire);
        LitSurface(lit, {-140, floorY, 28}, {140, floorY, 28}, {140, floorY, zF}, {-140, floorY, zF}, kUp, fire, 8);
        LitSurface(lit, {-140, 0, 28}, {140, 0, 28}, {140, floorY, 28}, {-140, floorY, 28}, kFront, fire, 8);
        // the surround: the inner edges of the opening, the pilasters, the
        // frieze and its underside, and the shelf's edge
        LitSurface(lit, {-openW, floorY, zF}, {-openW, floorY, zS}, {-openW, openTop, zS}, {-openW, openTop, zF}, kRight, fire, 4);
        LitSurface(lit, {openW, floorY, zS}, {openW, floorY, zF}, {openW, openTop, zF}, {openW, openTop, zS}, kLeft, fire, 4);
        LitSurface(lit, {-openW, openTop, zS}, {openW, openTop, zS}, {openW, openTop, zF}, {-openW, openTop, zF}, kDown, fire, 4);
        m.objects.push_back(lit);
        // faces turned towards the room: faint, but flickering with the rest
        ModelObject roomLit = Obj("RoomLight", p + "RoomLight");
        const float room = 20;
        LitSurface(roomLit, {-sw, floorY, zS + 2}, {-openW, floorY, zS + 2}, {-openW, sTop, zS + 2}, {-sw, sTop, zS + 2}, kFront, fire, 6, room);
        LitSurface(roomLit, {openW, floorY, zS + 2}, {sw, floorY, zS + 2}, {sw, sTop, zS + 2}, {openW, sTop, zS + 2}, kFront, fire, 6, room);
        LitSurface(roomLit, {-openW, openTop, zS}, {openW, openTop, zS}, {openW, sTop, zS}, {-openW, sTop, zS}, kFront, fire, 6, room);
        LitSurface(roomLit, {-122, sTop, -4}, {122, sTop, -4}, {122, sTop + 7, -4}, {-122, sTop + 7, -4}, kFront, fire, 8, room);
        m.objects.push_back(roomLit);
    }
    m.objects.push_back(Flames(p + "Flame", floorY, -104, -73, -61,
                               [&](float z) { return backW + (openW - backW) * (z - backZ) / (zF - backZ); }));
    m.objects.push_back(FoldingGuard(p + "Guard", 80, -10, 24, 17, floorY, floorY + 72));
    return m;
}

// Rustic fireplace: a deep arched opening in a wide stone breast, a heavy
// stone shelf on corbels and a broad raised hearth.
Model RusticFireplace() {
    Model m;
    const std::string p = "Rustic";
    AddMaterials(m, p);
    const float zF = -24, floorY = 20, halfW = 82, spring = 86, crown = 130, backZ = -134, top = 340, side = 240;
    const float R = (halfW * halfW + (crown - spring) * (crown - spring)) / (2 * (crown - spring));
    const float cy = crown - R;
    auto arch = [&](float x) { return cy + std::sqrt(std::max(0.0f, R * R - x * x)); };
    const int n = 14;

    ModelObject front = Obj("Masonry", p + "Front");
    WorldQuad(front, {-side, floorY, zF}, {-halfW, floorY, zF}, {-halfW, top, zF}, {-side, top, zF}, kFront);
    WorldQuad(front, {halfW, floorY, zF}, {side, floorY, zF}, {side, top, zF}, {halfW, top, zF}, kFront);
    for (int i = 0; i < n; ++i) {
        float x0 = -halfW + 2 * halfW * i / n, x1 = -halfW + 2 * halfW * (i + 1) / n;
        WorldQuad(front, {x0, arch(x0), zF}, {x1, arch(x1), zF}, {x1, top, zF}, {x0, top, zF}, kFront);
    }
    // broad hearth slab
    Box(front, {-160, 0, zF}, {160, floorY, 36}, "FLRT");
    // stone corbels under the beam
    Box(front, {-124, 126, zF}, {-102, 150, -6}, "FLRD");
    Box(front, {102, 126, zF}, {124, 150, -6}, "FLRD");
    m.objects.push_back(front);

    // a heavy oak beam as the shelf
    ModelObject beam = Obj("Beam", p + "Oak");
    Box(beam, {-136, 150, zF}, {136, 166, 2}, "FLRTD");
    m.objects.push_back(beam);

    // the opening as a tunnel: straight sides, an arched vault, a back wall
    ModelObject box = Obj("Firebox", p + "Back");
    const float depth = zF - backZ;
    const float h = crown - floorY;
    auto bu = [&](float x) { return (x + halfW) / (2 * halfW); };
    auto bv = [&](float y) { return (y - floorY) / h; };
    {
        std::vector<V3> poly{{-halfW, floorY, backZ}, {halfW, floorY, backZ}};
        for (int i = 0; i <= n; ++i) {
            float x = halfW - 2 * halfW * i / n;
            poly.push_back({x, arch(x), backZ});
        }
        std::vector<V2> uv;
        for (const V3& q : poly) uv.push_back({bu(q.x), bv(q.y)});
        box.Poly(poly, uv, kFront);
    }
    float ud = depth / (2 * halfW);
    box.Quad({-halfW, floorY, backZ}, {-halfW, floorY, zF}, {-halfW, spring, zF}, {-halfW, spring, backZ},
             {0, 0}, {-ud, 0}, {-ud, bv(spring)}, {0, bv(spring)}, kRight);
    box.Quad({halfW, floorY, zF}, {halfW, floorY, backZ}, {halfW, spring, backZ}, {halfW, spring, zF},
             {1 + ud, 0}, {1, 0}, {1, bv(spring)}, {1 + ud, bv(spring)}, kLeft);
    for (int i = 0; i < n; ++i) {
        float x0 = -halfW + 2 * halfW * i / n, x1 = -halfW + 2 * halfW * (i + 1) / n;
        V3 mid{(x0 + x1) / 2, arch((x0 + x1) / 2), 0};
        V3 inward{-mid.x, cy - mid.y, 0};
        box.Quad({x0, arch(x0), zF}, {x1, arch(x1), zF}, {x1, arch(x1), backZ}, {x0, arch(x0), backZ},
                 {bu(x0), 1.0f + ud * 0.0f}, {bu(x1), 1}, {bu(x1), 0.9f}, {bu(x0), 0.9f}, inward);
    }
    box.Quad({-halfW, floorY, zF}, {halfW, floorY, zF}, {halfW, floorY, backZ}, {-halfW, floorY, backZ},
             {0, 0}, {1, 0}, {1, kFloorV}, {0, kFloorV}, kUp);
    m.objects.push_back(box);

    const ModelObject bed = EmbersBed(p + "Embers", 0, -88, 64, 34, floorY, 7);
    m.objects.push_back(bed);

    ModelObject light = Obj("LightMap", p + "LightMap");
    {
        std::vector<V3> poly{{-halfW, floorY, backZ + 0.6f}, {halfW, floorY, backZ + 0.6f}};
        for (int i = 0; i <= n; ++i) {
            float x = halfW - 2 * halfW * i / n;
            poly.push_back({x, arch(x), backZ + 0.6f});
        }
        std::vector<V2> uv;
        for (const V3& q : poly) uv.push_back({bu(q.x), bv(q.y) * kFlameV});
        light.Poly(poly, uv, kFront);
        const float d = 0.6f, vs = bv(spring) * kFlameV;
        light.Quad({-halfW + d, floorY, backZ}, {-halfW + d, floorY, zF}, {-halfW + d, spring, zF},
                   {-halfW + d, spring, backZ}, {kSideU, 0}, {0, 0}, {0, vs}, {kSideU, vs}, kRight);
        light.Quad({halfW - d, floorY, zF}, {halfW - d, floorY, backZ}, {halfW - d, spring, backZ},
                   {halfW - d, spring, zF}, {1, 0}, {1 - kSideU, 0}, {1 - kSideU, vs}, {1, vs}, kLeft);
    }
    m.objects.push_back(light);
    ModelObject wood = Obj("Logs", p + "Wood");
    Card(wood, -72, 72, 15, 87, -70, -84, 0, 1, 0, 1);
    m.objects.push_back(wood);
    m.objects.push_back(EmberGlow(bed, p + "EmberGlow"));
    {
        const V3 fire{0, floorY + 30, -86};
        ModelObject lit = Obj("FireLight", p + "FireLight");
        // firebox floor, the hearth slab and its front edge
        LitSurface(lit, {-halfW, floorY, zF}, {halfW, floorY, zF}, {halfW, floorY, backZ}, {-halfW, floorY, backZ}, kUp, fire);
        LitSurface(lit, {-160, floorY, 36}, {160, floorY, 36}, {160, floorY, zF}, {-160, floorY, zF}, kUp, fire, 8);
        LitSurface(lit, {-160, 0, 36}, {160, 0, 36}, {160, floorY, 36}, {-160, floorY, 36}, kFront, fire, 8);
        // the vault over the fire, lit from below
        for (int i = 0; i < n; ++i) {
            float x0 = -halfW + 2 * halfW * i / n, x1 = -halfW + 2 * halfW * (i + 1) / n;
            V3 mid{(x0 + x1) / 2, arch((x0 + x1) / 2), 0};
            LitSurface(lit, {x0, arch(x0), zF}, {x1, arch(x1), zF}, {x1, arch(x1), backZ}, {x0, arch(x0), backZ},
                       V3{-mid.x, cy - mid.y, 0}, fire, 3);
        }
        LitSurface(lit, {-136, 150, zF}, {136, 150, zF}, {136, 150, 2}, {-136, 150, 2}, kDown, fire, 8);
        m.objects.push_back(lit);
        // the stone breast round the arch and the beam, which face the room
        ModelObject roomLit = Obj("RoomLight", p + "RoomLight");
        const float room = 20;
        LitSurface(roomLit, {-side + 60, floorY, zF}, {-halfW, floorY, zF}, {-halfW, 150, zF}, {-side + 60, 150, zF}, kFront, fire, 6, room, "LT");
        LitSurface(roomLit, {halfW, floorY, zF}, {side - 60, floorY, zF}, {side - 60, 150, zF}, {halfW, 150, zF}, kFront, fire, 6, room, "RT");
        for (int i = 0; i < n; ++i) {
            float x0 = -halfW + 2 * halfW * i / n, x1 = -halfW + 2 * halfW * (i + 1) / n;
            LitSurface(roomLit, {x0, arch(x0), zF}, {x1, arch(x1), zF}, {x1, 150, zF}, {x0, 150, zF}, kFront, fire, 2, room);
        }
        LitSurface(roomLit, {-136, 150, 2}, {136, 150, 2}, {136, 166, 2}, {-136, 166, 2}, kFront, fire, 8, room);
        m.objects.push_back(roomLit);
    }
    m.objects.push_back(Flames(p + "Flame", floorY, -110, -77, -64, [&](float) { return halfW; }));
    m.objects.push_back(BowedGuard(p + "Guard", 92, -4, 14, floorY, floorY + 66));
    return m;
}

ModelMaterial ParticleMaterial(const std::string& name, const std::string& map, const std::string& alpha) {
    ModelMaterial mat;
    mat.name = name;
    mat.ambient = {255, 255, 255};
    mat.diffuse = {255, 255, 255};
    mat.selfIllum = {255, 255, 255};
    mat.twoSided = true;
    mat.diffuseMap = map;
    mat.opacityMap = alpha;
    return mat;
}

// A smoke puff: one upright quad, halfW wide and halfH high each way, drawn
// `back` units behind its particle.
Model SmokePuff(float halfW, float halfH, float back) {
    Model m;
    m.materials.push_back(ParticleMaterial("Smoke01", "Smoke.jpg", "SmokeA.jpg"));
    ModelObject o = Obj("Smoke01", "Smoke01");
    o.Add({-halfW, -halfH, -back}, {0, 0});
    o.Add({halfW, -halfH, -back}, {1, 0});
    o.Add({halfW, halfH, -back}, {1, 1});
    o.Add({-halfW, halfH, -back}, {0, 1});
    o.faces.push_back({2, 3, 0});
    o.faces.push_back({1, 2, 0});
    m.objects.push_back(o);
    return m;
}

// A spark: three crossed quads, so that it shows from whichever side it turns
// to as it tumbles, added to the frame so that it glows.
Model SparkStar(float half) {
    Model m;
    ModelMaterial mat = ParticleMaterial("Sparkle01", "Sparkle.jpg", "SparkleA.jpg");
    mat.opacityType = 2;
    m.materials.push_back(mat);
    ModelObject o = Obj("Sparkle01", "Sparkle01");
    auto quad = [&](V3 a, V3 b) {  // spanned by the axes a and b
        const int i0 = o.Add(a * -half + b * -half, {0, 0});
        const int i1 = o.Add(a * half + b * -half, {1, 0});
        const int i2 = o.Add(a * half + b * half, {1, 1});
        const int i3 = o.Add(a * -half + b * half, {0, 1});
        o.faces.push_back({i2, i3, i0});
        o.faces.push_back({i1, i2, i0});
    };
    quad(kRight, kUp);
    quad(kFront, kUp);
    quad(kRight, kFront);
    m.objects.push_back(o);
    return m;
}

}  // namespace

void WriteModels(const std::string& dir) {
    WriteText(dir + "/Fireplace01.3dm", ClassicFireplace().Text());
    WriteText(dir + "/Fireplace02.3dm", RusticFireplace().Text());
    WriteText(dir + "/Sparkle.3dm", SparkStar(9.0f).Text());
    // Smoke puffs are born level with the logs and rise fast, turning as they
    // go. Each is drawn deeper in the firebox than its particle, behind the
    // logs, which hide it while it is low; turning about the depth axis
    // leaves that depth alone. The puffs are pale and lit warm by the fire,
    // so where they cross the flames these stay bright.
    WriteText(dir + "/Smoke.3dm", SmokePuff(34.0f, 34.0f, 55.0f).Text());
}

}  // namespace assetgen
