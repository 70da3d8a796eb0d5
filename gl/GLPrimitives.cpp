#include "gl/GLPrimitives.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "gl/Errors.h"
#include "gl/GLCapabilities.h"

// ---- TGLPrimitiveList ----

void TGLPrimitiveList::InitGL()
{
    IGLCapabilities* gl = Context();
    MaxTextureUnits = (gl && gl->HasExtension("GL_ARB_multitexture")) ? gl->GetInt(GL_MAX_TEXTURE_UNITS_ARB) : 1;
}

TGLPrimitive* TGLPrimitiveList::AddPrimitive()
{
    auto* primitive = new TGLPrimitive();
    Add(primitive);
    return primitive;
}

TGLPrimitive* TGLPrimitiveList::Primitive(int index) const { return static_cast<TGLPrimitive*>(Item(index)); }

// ---- Draw filter ----

namespace {
IGLDrawFilter* g_drawFilter = nullptr;
} // namespace

IGLDrawFilter* GLDrawFilter()
{
    return g_drawFilter;
}

void SetGLDrawFilter(IGLDrawFilter* filter)
{
    g_drawFilter = filter;
}

// ---- TGLPrimitive ----

TGLTextureCoordDArray& TGLPrimitive::GetTextureCoords(int index)
{
    if (index < 0 || index > 2)
        RaiseError("TGLPrimitive", "GetTextureCoords", "Index out of bounds");
    return TexCoords[static_cast<std::size_t>(index)];
}

void TGLPrimitive::Render()
{
    const int count = Vertices.Count();
    if (count == 0 || !glDrawArrays)
        return;
    IGLDrawFilter* filter = g_drawFilter;
    const int times = filter ? filter->BeforeDraw(*this) : 1;
    if (times <= 0)
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 12, Vertices.Data());

    if (Colors.Count() == count) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, 4, Colors.Data());
    } else {
        glDisableClientState(GL_COLOR_ARRAY);
        if (Colors.Count() == 1) {
            const TGLColorBytes c = Colors.GetColor(0);
            glColor4ub(c.R, c.G, c.B, c.A);
        }
    }

    if (Normals.Count() == count) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 12, Normals.Data());
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        if (Normals.Count() == 1) {
            const TGLVector n = Normals.GetVector(0);
            glNormal3f(n.X, n.Y, n.Z);
        }
    }

    // A coordinate set that does not fit the vertices is not used: reading it
    // as an array would run past its end.
    const TGLTextureCoordDArray& coords = TexCoords[0];
    if (coords.Count() == count) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, 8, coords.Data());
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }

    if (glLockArraysEXT)
        glLockArraysEXT(0, count);
    for (int k = 0; k < times; ++k) {
        if (filter)
            filter->BeforeEach(k);
        if (Indices.Count() == 0)
            glDrawArrays(Mode, 0, count);
        else
            glDrawElements(Mode, Indices.Count(), GL_UNSIGNED_SHORT, Indices.Data());
    }
    if (glUnlockArraysEXT)
        glUnlockArraysEXT();
    if (filter)
        filter->AfterDraw(*this);
}

namespace {

// One vertex with every attribute the cut interpolates.
struct TClipVertex {
    float a[12]; // x y z, nx ny nz, r g b a, s t
};
constexpr int kS = 10, kT = 11;

// The point of edge p-q where attribute k equals c. The endpoints are taken
// in a fixed order, so both triangles of a shared edge get the same point.
TClipVertex Cut(const TClipVertex& p, const TClipVertex& q, int k, float c)
{
    const bool swap = std::lexicographical_compare(std::begin(q.a), std::end(q.a), std::begin(p.a), std::end(p.a));
    const TClipVertex& u = swap ? q : p;
    const TClipVertex& v = swap ? p : q;
    const float f = (c - u.a[k]) / (v.a[k] - u.a[k]);
    TClipVertex r;
    for (int i = 0; i < 12; ++i)
        r.a[i] = u.a[i] + f * (v.a[i] - u.a[i]);
    r.a[k] = c;
    return r;
}

// Keeps the part of a convex polygon where attribute k is >= c (keepAbove)
// or <= c.
void ClipPolygon(std::vector<TClipVertex>& poly, int k, float c, bool keepAbove)
{
    std::vector<TClipVertex> out;
    const std::size_t n = poly.size();
    for (std::size_t i = 0; i < n; ++i) {
        const TClipVertex& p = poly[i];
        const TClipVertex& q = poly[(i + 1) % n];
        const bool pin = keepAbove ? p.a[k] >= c : p.a[k] <= c;
        const bool qin = keepAbove ? q.a[k] >= c : q.a[k] <= c;
        if (pin)
            out.push_back(p);
        if (pin != qin)
            out.push_back(Cut(p, q, k, c));
    }
    poly.swap(out);
}

} // namespace

bool ClipToTexCoordRect(const TGLPrimitive& src, float s0, float t0, float s1, float t1, TGLPrimitive& out,
                        int maxTriangles)
{
    const int count = src.Vertices.Count();
    const TGLTextureCoordDArray& coords = src.TexCoords[0];
    if (src.Mode != GL_TRIANGLES || count == 0 || coords.Count() != count)
        return false;
    const int indexCount = src.Indices.Count() > 0 ? src.Indices.Count() : count;
    const int triangles = indexCount / 3;
    if (triangles > maxTriangles)
        return false;
    auto index = [&](int i) { return src.Indices.Count() > 0 ? src.Indices.Data()[i] : static_cast<int>(i); };
    bool outside = false;
    for (int i = 0; i < 3 * triangles; ++i) {
        if (index(i) >= count)
            return false;
        const TGLTexCoord c = coords.Data()[index(i)];
        outside = outside || c.S < s0 || c.S > s1 || c.T < t0 || c.T > t1;
    }
    if (!outside)
        return false;

    const bool normals = src.Normals.Count() == count;
    const bool colors = src.Colors.Count() == count;
    auto vertex = [&](int i) {
        TClipVertex v{};
        const TGLVector p = src.Vertices.Data()[i];
        v.a[0] = p.X, v.a[1] = p.Y, v.a[2] = p.Z;
        if (normals) {
            const TGLVector n = src.Normals.Data()[i];
            v.a[3] = n.X, v.a[4] = n.Y, v.a[5] = n.Z;
        }
        if (colors) {
            const TGLColorBytes c = src.Colors.Data()[i];
            v.a[6] = c.R, v.a[7] = c.G, v.a[8] = c.B, v.a[9] = c.A;
        }
        const TGLTexCoord t = coords.Data()[i];
        v.a[kS] = t.S, v.a[kT] = t.T;
        return v;
    };
    std::vector<TClipVertex> verts;
    std::vector<std::uint16_t> indices;
    std::vector<TClipVertex> poly;
    for (int t = 0; t < triangles; ++t) {
        poly = {vertex(index(3 * t)), vertex(index(3 * t + 1)), vertex(index(3 * t + 2))};
        ClipPolygon(poly, kS, s0, true);
        ClipPolygon(poly, kS, s1, false);
        ClipPolygon(poly, kT, t0, true);
        ClipPolygon(poly, kT, t1, false);
        if (poly.size() < 3 || verts.size() + poly.size() > 65535)
            continue;
        const auto base = static_cast<std::uint16_t>(verts.size());
        verts.insert(verts.end(), poly.begin(), poly.end());
        for (std::size_t k = 1; k + 1 < poly.size(); ++k) {
            indices.push_back(base);
            indices.push_back(static_cast<std::uint16_t>(base + k));
            indices.push_back(static_cast<std::uint16_t>(base + k + 1));
        }
    }
    const auto n = static_cast<std::int32_t>(verts.size());
    out.Mode = GL_TRIANGLES;
    out.Vertices.SetCount(n);
    out.TexCoords[0].SetCount(n);
    out.Normals.SetCount(normals ? n : std::min(src.Normals.Count(), 1));
    out.Colors.SetCount(colors ? n : std::min(src.Colors.Count(), 1));
    if (!normals && src.Normals.Count() == 1)
        out.Normals.Data()[0] = src.Normals.Data()[0];
    if (!colors && src.Colors.Count() == 1)
        out.Colors.Data()[0] = src.Colors.Data()[0];
    for (std::int32_t i = 0; i < n; ++i) {
        const float* a = verts[static_cast<std::size_t>(i)].a;
        out.Vertices.Data()[i] = TGLVector{a[0], a[1], a[2]};
        if (normals)
            out.Normals.Data()[i] = TGLVector{a[3], a[4], a[5]};
        if (colors)
            out.Colors.Data()[i] = TGLColorBytes{static_cast<std::uint8_t>(std::lround(a[6])),
                                                 static_cast<std::uint8_t>(std::lround(a[7])),
                                                 static_cast<std::uint8_t>(std::lround(a[8])),
                                                 static_cast<std::uint8_t>(std::lround(a[9]))};
        out.TexCoords[0].Data()[i] = TGLTexCoord{a[kS], a[kT]};
    }
    out.Indices.SetCount(static_cast<std::int32_t>(indices.size()));
    if (!indices.empty())
        std::copy(indices.begin(), indices.end(), out.Indices.Data());
    return true;
}

void TGLPrimitive::ComputeNormals(const TGLVectorDArray& vertices, TGLVectorDArray& normals) const
{
    const int count = vertices.Count();
    normals.SetCount(count);
    normals.ClearValues();
    if (count == 0)
        return;
    const TGLVector* v = vertices.Data();
    TGLVector* n = normals.Data();
    auto faceNormal = [&](int i0, int i1, int i2) {
        return CrossProduct(VectorSub(v[i1], v[i0]), VectorSub(v[i2], v[i0]));
    };
    if (Mode == GL_TRIANGLES) {
        if (Indices.Count() > 0) {
            const std::uint16_t* idx = Indices.Data();
            const int triples = Indices.Count() / 3;
            for (int t = 0; t < triples; ++t) {
                const int i0 = idx[3 * t], i1 = idx[3 * t + 1], i2 = idx[3 * t + 2];
                // An index beyond the vertices names no vertex; its face is skipped.
                if (i0 >= count || i1 >= count || i2 >= count)
                    continue;
                const TGLVector f = faceNormal(i0, i1, i2);
                n[i0] = VectorAdd(n[i0], f);
                n[i1] = VectorAdd(n[i1], f);
                n[i2] = VectorAdd(n[i2], f);
            }
        } else {
            for (int i = 0; i + 2 < count; i += 3) {
                const TGLVector f = faceNormal(i, i + 1, i + 2);
                n[i] = n[i + 1] = n[i + 2] = f;
            }
        }
    }
    NormalizeArray(n, n, count);
}

void TGLPrimitive::ApplyMatrix(const TGLMatrix& matrix)
{
    if (Vertices.Count() > 0)
        TransformPoints(Vertices.Data(), Vertices.Data(), Vertices.Count(), matrix);
}

void TGLPrimitive::InterpolateVertices(std::span<const TGLVector> a, std::span<const TGLVector> b, float t)
{
    if (a.size() != b.size())
        return;
    const int n = static_cast<int>(a.size());
    if (Vertices.Count() != n)
        Vertices.SetCount(n);
    if (n > 0)
        LerpArray(a.data(), b.data(), Vertices.Data(), t, n);
}

void TGLPrimitive::InterpolateNormals(std::span<const TGLVector> a, std::span<const TGLVector> b, float t)
{
    if (a.size() != b.size() || Normals.Count() == 0)
        return;
    const int n = static_cast<int>(a.size());
    if (Normals.Count() != n)
        Normals.SetCount(n);
    if (n > 0)
        LerpArray(a.data(), b.data(), Normals.Data(), t, n);
}

namespace {
std::span<const TGLVector> AsSpan(const TGLVectorDArray& a)
{
    return {a.Data(), static_cast<std::size_t>(a.Count())};
}
} // namespace

void TGLPrimitive::InterpolateVertices(const TGLVectorDArray& a, const TGLVectorDArray& b, float t)
{
    InterpolateVertices(AsSpan(a), AsSpan(b), t);
}

void TGLPrimitive::InterpolateNormals(const TGLVectorDArray& a, const TGLVectorDArray& b, float t)
{
    InterpolateNormals(AsSpan(a), AsSpan(b), t);
}

// ---- Viewports ----

TGLViewport* TGLViewportList::AddViewport()
{
    auto* viewport = new TGLViewport();
    Add(viewport);
    return viewport;
}

TGLViewport* TGLViewportList::Viewport(int index) const { return static_cast<TGLViewport*>(Item(index)); }

void TGLViewport::SetRect(int left, int bottom, int width, int height)
{
    Left = left;
    Bottom = bottom;
    Width = width;
    Height = height;
}

void TGLViewport::SetOrtho(double left, double right, double bottom, double top, double nearZ, double farZ)
{
    Ortho = {left, right, bottom, top, nearZ, farZ};
}

void TGLViewport::SetFrustum(double left, double right, double bottom, double top, double nearZ, double farZ)
{
    Frustum = {left, right, bottom, top, nearZ, farZ};
}

void TGLViewport::SetPerspective(double fieldOfView, double aspect, double nearZ, double farZ)
{
    const double top = std::tan(fieldOfView * 3.14159265358979323846 / 360.0) * nearZ;
    const double right = top * aspect;
    Frustum = {-right, right, -top, top, nearZ, farZ};
}

void TGLViewport::SetCamera(const TGLVector& up, const TGLVector& direction)
{
    Up = Normalize(up);
    Direction = Normalize(direction);
}

TGLMatrix FrustumMatrix(const TGLVolume& v)
{
    TGLMatrix m;
    const double w = v.Right - v.Left, h = v.Top - v.Bottom, d = v.Far - v.Near;
    if (w == 0 || h == 0 || d == 0)
        return IdentityMatrix();
    m[0] = static_cast<float>(2 * v.Near / w);
    m[5] = static_cast<float>(2 * v.Near / h);
    m[8] = static_cast<float>((v.Right + v.Left) / w);
    m[9] = static_cast<float>((v.Top + v.Bottom) / h);
    m[10] = static_cast<float>(-(v.Far + v.Near) / d);
    m[11] = -1;
    m[14] = static_cast<float>(-2 * v.Far * v.Near / d);
    return m;
}

TGLMatrix OrthoMatrix(const TGLVolume& v)
{
    TGLMatrix m;
    const double w = v.Right - v.Left, h = v.Top - v.Bottom, d = v.Far - v.Near;
    if (w == 0 || h == 0 || d == 0)
        return IdentityMatrix();
    m[0] = static_cast<float>(2 / w);
    m[5] = static_cast<float>(2 / h);
    m[10] = static_cast<float>(-2 / d);
    m[12] = static_cast<float>(-(v.Right + v.Left) / w);
    m[13] = static_cast<float>(-(v.Top + v.Bottom) / h);
    m[14] = static_cast<float>(-(v.Far + v.Near) / d);
    m[15] = 1;
    return m;
}

TGLMatrix TGLViewport::ProjectionMatrix() const { return Perspective ? FrustumMatrix(Frustum) : OrthoMatrix(Ortho); }

TGLMatrix TGLViewport::ModelViewMatrix() const
{
    return LookAtMatrix(Position, VectorAdd(Position, Direction), Up);
}

void TGLViewport::Apply()
{
    if (!glViewport)
        return;
    glViewport(Left, Bottom, Width, Height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const TGLMatrix projection = ProjectionMatrix();
    glMultMatrixf(projection.Data());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const TGLMatrix view = ModelViewMatrix();
    glMultMatrixf(view.Data());
}

// ---- Display lists ----

TGLDisplayList* TGLDisplayListList::AddDisplayList(int range, std::function<void(TGLDisplayList&)> build)
{
    auto* item = new TGLDisplayList();
    item->Range = range < 1 ? 1 : range;
    item->Build = std::move(build);
    Add(item);
    return item;
}

TGLDisplayList* TGLDisplayListList::DisplayList(int index) const
{
    return static_cast<TGLDisplayList*>(Item(index));
}

void TGLDisplayListList::BuildAll()
{
    for (TGLItem* item : Items()) {
        auto* list = static_cast<TGLDisplayList*>(item);
        if (!list->Build)
            continue;
        if (list->Built)
            glDeleteLists(list->Base, list->Range);
        list->Base = glGenLists(list->Range);
        list->Build(*list);
        list->Built = true;
    }
}

void TGLDisplayListList::ReleaseAll()
{
    for (TGLItem* item : Items()) {
        auto* list = static_cast<TGLDisplayList*>(item);
        if (list->Built) {
            if (glDeleteLists)
                glDeleteLists(list->Base, list->Range);
            list->Built = false;
        }
    }
}
