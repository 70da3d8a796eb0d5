#pragma once
// Geometry and camera objects: vertex-array primitives, viewports (viewport
// rectangle, projection volume and camera) and display lists.
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "gl/DArrays.h"
#include "gl/FastMath.h"
#include "gl/GLApi.h"
#include "gl/GLItems.h"

class TGLPrimitive;
class TGLViewport;
class TGLDisplayList;

// Sees every primitive draw before it happens (the frame cache's passes use
// it to measure, sort and pick what is drawn). At most one is installed, for
// the duration of a pass; none is installed normally.
class IGLDrawFilter {
public:
    virtual ~IGLDrawFilter() = default;
    // How many times the primitive is drawn now (0: not at all).
    virtual int BeforeDraw(const TGLPrimitive& primitive) = 0;
    // Before each of those times, counted from 0 (a filter that cuts the
    // draws to several rectangles sets the scissor here).
    virtual void BeforeEach(int index) {}
    // After a primitive that BeforeDraw let through was drawn.
    virtual void AfterDraw(const TGLPrimitive& primitive) {}
};
IGLDrawFilter* GLDrawFilter();
void SetGLDrawFilter(IGLDrawFilter* filter);

// Installs a filter for its lifetime and puts the previous one back.
class TGLDrawFilterScope {
public:
    explicit TGLDrawFilterScope(IGLDrawFilter* filter) : previous_(GLDrawFilter()) { SetGLDrawFilter(filter); }
    ~TGLDrawFilterScope() { SetGLDrawFilter(previous_); }
    TGLDrawFilterScope(const TGLDrawFilterScope&) = delete;
    TGLDrawFilterScope& operator=(const TGLDrawFilterScope&) = delete;

private:
    IGLDrawFilter* previous_;
};

class TGLPrimitiveList : public TGLItemList {
public:
    explicit TGLPrimitiveList(IGLCapabilities* context = nullptr) : TGLItemList(context) {}

    // MaxTextureUnits from GL_MAX_TEXTURE_UNITS_ARB with multitexturing, else 1.
    void InitGL() override;
    // A new primitive with empty arrays and Mode GL_TRIANGLES.
    TGLPrimitive* AddPrimitive();
    TGLPrimitive* Primitive(int index) const;

    int MaxTextureUnits = 1;
};

class TGLPrimitive : public TGLItem {
public:
    TGLPrimitive() = default;

    // Texture-coordinate set 0..2; any other index raises
    // "TGLPrimitive.GetTextureCoords error: Index out of bounds".
    TGLTextureCoordDArray& GetTextureCoords(int index);

    // Draws the primitive with client-side vertex arrays (when the installed
    // draw filter, if any, lets it through).
    void Render();
    // Fills normals from vertices with Mode and Indices: smooth (shared) face
    // normals with indices, flat normals per consecutive triple without.
    void ComputeNormals(const TGLVectorDArray& vertices, TGLVectorDArray& normals) const;
    void ComputeOwnNormals() { ComputeNormals(Vertices, Normals); }
    // Transforms Vertices in place.
    void ApplyMatrix(const TGLMatrix& matrix);
    // Vertex-frame animation: with frames of equal count, the target becomes
    // A + t(B - A); frames of different counts change nothing.
    // InterpolateNormals does nothing while Normals is empty.
    void InterpolateVertices(std::span<const TGLVector> a, std::span<const TGLVector> b, float t);
    void InterpolateNormals(std::span<const TGLVector> a, std::span<const TGLVector> b, float t);
    void InterpolateVertices(const TGLVectorDArray& a, const TGLVectorDArray& b, float t);
    void InterpolateNormals(const TGLVectorDArray& a, const TGLVectorDArray& b, float t);

    TGLIndexDArray Indices;
    std::array<TGLTextureCoordDArray, 3> TexCoords;
    TGLVectorDArray Normals;
    TGLVectorDArray Vertices;
    TGLColorDArray Colors;
    GLenum Mode = GL_TRIANGLES;
};

// Cuts the triangles of src (GL_TRIANGLES, at most maxTriangles of them) to
// the rectangle s0..s1 x t0..t1 of texture-coordinate set 0, interpolating
// positions, normals, colours and coordinates along the cut edges, and
// writes the pieces to out as indexed triangles. Parts outside the rectangle
// are dropped. Returns false (out untouched) when nothing lies outside it or
// src cannot be cut; then src itself is what should be drawn. Edges shared by
// two triangles are cut identically in both, so the pieces meet without gaps.
bool ClipToTexCoordRect(const TGLPrimitive& src, float s0, float t0, float s1, float t1, TGLPrimitive& out,
                        int maxTriangles = 64);

// A projection volume: left, right, bottom, top, near, far.
struct TGLVolume {
    double Left = -1, Right = 1, Bottom = -1, Top = 1, Near = 1, Far = 100;
};

class TGLViewportList : public TGLItemList {
public:
    explicit TGLViewportList(IGLCapabilities* context = nullptr) : TGLItemList(context) {}
    TGLViewport* AddViewport();
    TGLViewport* Viewport(int index) const;
};

class TGLViewport : public TGLItem {
public:
    TGLViewport() = default;

    void SetRect(int left, int bottom, int width, int height);
    void SetOrtho(double left, double right, double bottom, double top, double nearZ, double farZ);
    void SetFrustum(double left, double right, double bottom, double top, double nearZ, double farZ);
    // Frustum from a vertical field of view in degrees: top = tan(fov/2) x near,
    // right = top x aspect. Perspective is not changed.
    void SetPerspective(double fieldOfView, double aspect, double nearZ, double farZ);
    // Stores up and direction normalised.
    void SetCamera(const TGLVector& up, const TGLVector& direction);

    // Sets the GL viewport, the projection (Frustum or Ortho) and the
    // model-view matrix of the camera.
    void Apply();

    // The matrices Apply loads, for callers that need them without a context.
    TGLMatrix ProjectionMatrix() const;
    TGLMatrix ModelViewMatrix() const;

    int Left = 0, Bottom = 0, Width = 100, Height = 100;
    TGLVolume Ortho;
    TGLVolume Frustum;
    bool Perspective = true;
    TGLVector Up{0, 1, 0};
    TGLVector Direction{0, 0, -1};
    TGLVector Position{0, 0, 0};
};

// The matrices of glFrustum and glOrtho, column-major.
TGLMatrix FrustumMatrix(const TGLVolume& v);
TGLMatrix OrthoMatrix(const TGLVolume& v);

class TGLDisplayListList : public TGLItemList {
public:
    explicit TGLDisplayListList(IGLCapabilities* context = nullptr) : TGLItemList(context) {}

    // An item whose callback records range lists starting at Base.
    TGLDisplayList* AddDisplayList(int range, std::function<void(TGLDisplayList&)> build);
    TGLDisplayList* DisplayList(int index) const;

    // After each activation: (re)generate the list names and run every callback.
    void BuildAll();
    // When deactivating: delete the list names of every built item.
    void ReleaseAll();
};

class TGLDisplayList : public TGLItem {
public:
    std::function<void(TGLDisplayList&)> Build;
    GLuint Base = 0;
    int Range = 1;
    bool Built = false;
};
