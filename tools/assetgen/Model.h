#pragma once
// A small builder for text models in the .3dm layout: materials, objects with
// positions, texture coordinates and faces. Faces are wound counter-clockwise
// as seen from the side their normal points to, which is the side drawn.
#include <array>
#include <string>
#include <vector>

namespace assetgen {

struct V3 {
    float x = 0, y = 0, z = 0;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

struct V2 {
    float u = 0, v = 0;
};

struct ModelMaterial {
    std::string name;
    std::array<float, 3> ambient{150, 150, 150};
    std::array<float, 3> diffuse{128, 128, 128};
    std::array<float, 3> specular{0, 0, 0};
    std::array<float, 3> selfIllum{0, 0, 0};
    float opacity = 100;
    int opacityType = 0;      // 2: additive, a layer that glows (added to the frame)
    float specularLevel = 0;
    float glossiness = 10;
    bool twoSided = false;
    std::string diffuseMap;   // empty: none
    std::string opacityMap;   // empty: none
};

struct ModelObject {
    std::string name;
    std::string material;
    std::vector<V3> verts;
    std::vector<V2> uvs;  // one per vertex
    std::vector<std::array<int, 3>> faces;  // 0-based vertex indices

    int Add(V3 p, V2 t) {
        verts.push_back(p);
        uvs.push_back(t);
        return static_cast<int>(verts.size()) - 1;
    }
    // Adds triangle a, b, c facing `facing` (the winding is fixed up to match).
    void Tri(int a, int b, int c, V3 facing);
    // Adds a convex polygon (as a fan) facing `facing`.
    void Poly(const std::vector<V3>& p, const std::vector<V2>& t, V3 facing);
    void Quad(V3 a, V3 b, V3 c, V3 d, V2 ta, V2 tb, V2 tc, V2 td, V3 facing) {
        Poly({a, b, c, d}, {ta, tb, tc, td}, facing);
    }
};

struct Model {
    std::vector<ModelMaterial> materials;
    std::vector<ModelObject> objects;
    std::string Text() const;  // the .3dm text
};

}  // namespace assetgen
