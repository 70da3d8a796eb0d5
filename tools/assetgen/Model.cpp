#include "tools/assetgen/Model.h"

#include <cmath>
#include <cstdio>

namespace assetgen {

namespace {
std::string Num(float v) {
    if (std::fabs(v) < 5e-5f) v = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(v));
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}
std::string Color(const std::array<float, 3>& c) {
    return "(color " + Num(c[0]) + " " + Num(c[1]) + " " + Num(c[2]) + ")";
}
std::string MapName(const std::string& s) { return s.empty() ? "undefined" : s; }
}  // namespace

void ModelObject::Tri(int a, int b, int c, V3 facing) {
    V3 n = Cross(verts[b] - verts[a], verts[c] - verts[a]);
    if (Dot(n, facing) < 0) std::swap(b, c);
    faces.push_back({a, b, c});
}

void ModelObject::Poly(const std::vector<V3>& p, const std::vector<V2>& t, V3 facing) {
    std::vector<int> idx;
    for (std::size_t i = 0; i < p.size(); ++i) idx.push_back(Add(p[i], t[i]));
    for (std::size_t i = 1; i + 1 < idx.size(); ++i) Tri(idx[0], idx[i], idx[i + 1], facing);
}

std::string Model::Text() const {
    std::string s;
    auto line = [&s](const std::string& l) { s += l + "\r\n"; };
    line("#Header 1");
    line("Version 1");
    line("#MaterialCount 1");
    line("Count " + std::to_string(materials.size()));
    for (const ModelMaterial& m : materials) {
        line("#MaterialStandard 17");
        line("Name " + m.name);
        line("ShaderType 1 Blinn");
        line(std::string("Faceted false"));
        line("WireSize 1");
        line(std::string("TwoSided ") + (m.twoSided ? "true" : "false"));
        line("OpacityType " + std::to_string(m.opacityType));
        line("Opacity " + Num(m.opacity));
        line("selfIllumColor " + Color(m.selfIllum));
        line("Ambient " + Color(m.ambient));
        line("Diffuse " + Color(m.diffuse));
        line("Specular " + Color(m.specular));
        line("SpecularLevel " + Num(m.specularLevel));
        line("Glossiness " + Num(m.glossiness));
        line("DiffuseMap " + MapName(m.diffuseMap));
        line("OpacityMap " + MapName(m.opacityMap));
        line("BumpMap undefined");
        line("ReflectionMap undefined");
    }
    for (const ModelObject& o : objects) {
        line("#Object 1");
        line("Name " + o.name);
        line("#Material 1");
        line("Name " + o.material);
        line("#Vertices " + std::to_string(o.verts.size()));
        for (const V3& v : o.verts) line("[" + Num(v.x) + "," + Num(v.y) + "," + Num(v.z) + "]");
        line("#TextureCoords " + std::to_string(o.uvs.size()));
        for (const V2& t : o.uvs) line("[" + Num(t.u) + "," + Num(t.v) + ",0]");
        auto faces = [&](const char* tag) {
            line(std::string("#") + tag + " " + std::to_string(o.faces.size()));
            for (const auto& f : o.faces)
                line("[" + std::to_string(f[0] + 1) + "," + std::to_string(f[1] + 1) + "," + std::to_string(f[2] + 1) + "]");
        };
        faces("VertexFaces");
        faces("TextureCoordFaces");
        line("#FaceMatID " + std::to_string(o.faces.size()));
        for (std::size_t i = 0; i < o.faces.size(); ++i) line("1");
    }
    return s;
}

}  // namespace assetgen
