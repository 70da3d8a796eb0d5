#include "gl/GLPrimitives.h"

#include <cmath>

#include "gl/Errors.h"
#include "gl/GLClasses.h"

// ---- TGLPrimitiveList ----

void TGLPrimitiveList::InitGL()
{
    TCustomOpenGL* gl = Context();
    MaxTextureUnits = (gl && gl->HasExtension("GL_ARB_multitexture")) ? gl->GetInt(GL_MAX_TEXTURE_UNITS_ARB) : 1;
}

TGLPrimitive* TGLPrimitiveList::AddPrimitive()
{
    auto* primitive = new TGLPrimitive();
    Add(primitive);
    return primitive;
}

TGLPrimitive* TGLPrimitiveList::Primitive(int index) const { return static_cast<TGLPrimitive*>(Item(index)); }

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
    if (Indices.Count() == 0)
        glDrawArrays(Mode, 0, count);
    else
        glDrawElements(Mode, Indices.Count(), GL_UNSIGNED_SHORT, Indices.Data());
    if (glUnlockArraysEXT)
        glUnlockArraysEXT();
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
