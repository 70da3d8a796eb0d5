#include <gtest/gtest.h>

#include <cmath>

#include "gl/Errors.h"
#include "tests/common/TestUtil.h"
#include "tests/gl/FakeGL.h"

namespace {
void ExpectVector(const TGLVector& v, float x, float y, float z)
{
    EXPECT_NEAR(v.X, x, 1e-6);
    EXPECT_NEAR(v.Y, y, 1e-6);
    EXPECT_NEAR(v.Z, z, 1e-6);
}
} // namespace

TEST(PrimitiveNormals, IndexedQuadSharesNormals)
{
    TGLPrimitive p;
    const float v[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    p.Vertices.SetValues(v);
    const std::uint16_t i[] = {0, 1, 2, 0, 2, 3};
    p.Indices.SetValues(i);
    p.ComputeOwnNormals();
    ASSERT_EQ(p.Normals.Count(), 4);
    for (int k = 0; k < 4; ++k)
        ExpectVector(p.Normals.GetVector(k), 0, 0, 1);
    // Indices beyond the vertices are skipped.
    const std::uint16_t bad[] = {0, 1, 2, 0, 1, 900};
    p.Indices.SetValues(bad);
    p.ComputeOwnNormals();
    ExpectVector(p.Normals.GetVector(0), 0, 0, 1);
}

TEST(PrimitiveNormals, LargerFacesWeighMore)
{
    TGLPrimitive p;
    // Vertex 0 is shared by a big face in the XY plane and a small one in XZ.
    const float v[] = {0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, -1, 1, 0, 0};
    p.Vertices.SetValues(v);
    const std::uint16_t i[] = {0, 1, 2, 0, 4, 3};
    p.Indices.SetValues(i);
    p.ComputeOwnNormals();
    const TGLVector n = p.Normals.GetVector(0);
    EXPECT_GT(n.Z, n.Y); // face normals (0,0,16) and (0,1,0): the big face dominates
    EXPECT_NEAR(VectorLength(n), 1, 1e-6);
    ExpectVector(p.Normals.GetVector(3), 0, 1, 0);
}

TEST(PrimitiveNormals, UnindexedTriplesGetFlatNormalsAndLeftoversZero)
{
    TGLPrimitive p;
    const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 5, 5, 5};
    p.Vertices.SetValues(v);
    p.ComputeOwnNormals();
    ASSERT_EQ(p.Normals.Count(), 7);
    ExpectVector(p.Normals.GetVector(1), 0, 0, 1);
    ExpectVector(p.Normals.GetVector(4), 0, 1, 0);
    ExpectVector(p.Normals.GetVector(6), 0, 0, 0);
}

TEST(PrimitiveFrames, InterpolationNeedsEqualCounts)
{
    TGLPrimitive p;
    TGLVectorDArray a, b, c;
    const float va[] = {0, 0, 0, 2, 2, 2};
    const float vb[] = {10, 20, 30, 4, 4, 4};
    a.SetValues(va);
    b.SetValues(vb);
    c.SetCount(3);
    p.InterpolateVertices(a, b, 0);
    ASSERT_EQ(p.Vertices.Count(), 2);
    ExpectVector(p.Vertices.GetVector(0), 0, 0, 0);
    p.InterpolateVertices(a, b, 0.5f);
    ExpectVector(p.Vertices.GetVector(0), 5, 10, 15);
    ExpectVector(p.Vertices.GetVector(1), 3, 3, 3);
    p.InterpolateVertices(a, c, 0.5f); // different counts: unchanged
    ExpectVector(p.Vertices.GetVector(0), 5, 10, 15);
    p.InterpolateNormals(a, b, 1); // no normals yet: nothing
    EXPECT_EQ(p.Normals.Count(), 0);
    p.Normals.SetCount(1);
    p.InterpolateNormals(a, b, 1);
    ASSERT_EQ(p.Normals.Count(), 2);
    ExpectVector(p.Normals.GetVector(1), 4, 4, 4);
}

TEST(PrimitiveMisc, TextureCoordSetsAndMatrix)
{
    TGLPrimitive p;
    EXPECT_EQ(&p.GetTextureCoords(2), &p.TexCoords[2]);
    EXPECT_EQ(testutil::ErrorOf([&] { p.GetTextureCoords(3); }), "TGLPrimitive.GetTextureCoords error: Index out of bounds");
    EXPECT_THROW(p.GetTextureCoords(-1), EPyrelumeError);
    const float v[] = {1, 2, 3};
    p.Vertices.SetValues(v);
    TGLMatrix m = IdentityMatrix();
    m[12] = 10;
    p.ApplyMatrix(m);
    ExpectVector(p.Vertices.GetVector(0), 11, 2, 3);
}

namespace {
class PrimitiveRender : public ::testing::Test {
protected:
    void SetUp() override { InstallFakeGL(); }
    void TearDown() override { ClearGLEntryPoints(); }
};
} // namespace

TEST_F(PrimitiveRender, SingleColourBecomesCurrentColour)
{
    TGLPrimitive p;
    const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    p.Vertices.SetValues(v);
    p.Colors.SetCount(1);
    p.Colors.SetColor(0, {1, 2, 3, 4});
    p.Normals.SetCount(3);
    p.Render();
    EXPECT_EQ(FakeCalls("glColor4ub").at(0).Args, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(FakeCalls("glNormalPointer").size(), 1u);
    auto draws = FakeCalls("glDrawArrays");
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].Args, (std::vector<double>{GL_TRIANGLES, 0, 3}));
}

TEST_F(PrimitiveRender, MismatchedArraysAreDisabledNotUsed)
{
    TGLPrimitive p;
    const float v[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    p.Vertices.SetValues(v);
    p.Colors.SetCount(2);
    p.TexCoords[0].SetCount(2);
    const std::uint16_t i[] = {0, 1, 2};
    p.Indices.SetValues(i);
    p.Render();
    EXPECT_TRUE(FakeCalls("glColor4ub").empty());
    EXPECT_TRUE(FakeCalls("glColorPointer").empty());
    EXPECT_TRUE(FakeCalls("glTexCoordPointer").empty());
    std::vector<double> disabled;
    for (const FakeCall& c : FakeCalls("glDisableClientState"))
        disabled.push_back(c.Args[0]);
    EXPECT_EQ(disabled, (std::vector<double>{GL_COLOR_ARRAY, GL_NORMAL_ARRAY, GL_TEXTURE_COORD_ARRAY}));
    EXPECT_EQ(FakeCalls("glDrawElements").at(0).Args, (std::vector<double>{GL_TRIANGLES, 3, GL_UNSIGNED_SHORT}));
    FakeLog().clear();
    TGLPrimitive empty;
    empty.Render();
    EXPECT_TRUE(FakeLog().empty());
}

TEST(Viewport, SetPerspectiveFillsTheFrustumOnly)
{
    TGLViewport vp;
    vp.Perspective = false;
    vp.SetPerspective(90, 1.3333334, 100, 10000);
    EXPECT_FALSE(vp.Perspective); // not changed by SetPerspective
    EXPECT_NEAR(vp.Frustum.Top, 100, 1e-9);
    EXPECT_NEAR(vp.Frustum.Bottom, -100, 1e-9);
    EXPECT_NEAR(vp.Frustum.Right, 133.33334, 1e-4);
    EXPECT_NEAR(vp.Frustum.Left, -133.33334, 1e-4);
    EXPECT_EQ(vp.Frustum.Near, 100);
    EXPECT_EQ(vp.Frustum.Far, 10000);
}

TEST(Viewport, CameraMatrixIsTranslationForStraightView)
{
    TGLViewport vp;
    vp.Position = {0, 105, 240};
    const TGLMatrix m = vp.ModelViewMatrix();
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, -105, -240, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-5) << i;
    vp.SetCamera({0, 5, 0}, {3, 0, -4});
    ExpectVector(vp.Up, 0, 1, 0);
    ExpectVector(vp.Direction, 0.6f, 0, -0.8f);
}

TEST(Viewport, ProjectionMatricesMatchTheVolumes)
{
    TGLVolume v{-2, 2, -1, 1, 1, 3};
    const TGLMatrix f = FrustumMatrix(v);
    EXPECT_FLOAT_EQ(f[0], 0.5f);
    EXPECT_FLOAT_EQ(f[5], 1);
    EXPECT_FLOAT_EQ(f[10], -2);
    EXPECT_FLOAT_EQ(f[11], -1);
    EXPECT_FLOAT_EQ(f[14], -3);
    EXPECT_FLOAT_EQ(f[15], 0);
    const TGLMatrix o = OrthoMatrix({0, 4, 0, 2, -1, 1});
    EXPECT_FLOAT_EQ(o[0], 0.5f);
    EXPECT_FLOAT_EQ(o[12], -1);
    EXPECT_FLOAT_EQ(o[13], -1);
    EXPECT_FLOAT_EQ(o[10], -1);
    EXPECT_FLOAT_EQ(o[15], 1);
    // A degenerate volume gives the identity instead of infinities.
    EXPECT_EQ(FrustumMatrix({1, 1, -1, 1, 1, 100}), IdentityMatrix());
    TGLViewport vp;
    vp.Perspective = false;
    EXPECT_EQ(vp.ProjectionMatrix(), OrthoMatrix(vp.Ortho));
}

TEST(PrimitiveClip, CutsTrianglesToATextureRectangleAndSharesCutEdges)
{
    TGLPrimitive quad; // 0..10 x 0..10 with coordinates 0..1, two triangles
    const std::uint16_t idx[6] = {0, 1, 2, 0, 2, 3};
    quad.Indices.SetValues(idx);
    quad.Vertices.SetCount(4);
    quad.TexCoords[0].SetCount(4);
    const float xy[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    for (int i = 0; i < 4; ++i) {
        quad.Vertices.SetVector(i, xy[i][0], xy[i][1], 0);
        quad.TexCoords[0].SetTexCoord(i, xy[i][0] / 10, xy[i][1] / 10);
    }
    TGLPrimitive out;
    EXPECT_FALSE(ClipToTexCoordRect(quad, -1, -1, 2, 2, out)); // nothing outside: draw the original
    ASSERT_TRUE(ClipToTexCoordRect(quad, 0, 0, 1, 0.25f, out));
    double area = 0;
    for (int t = 0; t + 2 < out.Indices.Count(); t += 3) {
        const TGLVector a = out.Vertices.GetVector(out.Indices.Data()[t]);
        const TGLVector b = out.Vertices.GetVector(out.Indices.Data()[t + 1]);
        const TGLVector c = out.Vertices.GetVector(out.Indices.Data()[t + 2]);
        area += std::fabs((b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y)) / 2;
    }
    EXPECT_NEAR(area, 25.0, 1e-3); // the lowest quarter of the quad
    for (int i = 0; i < out.Vertices.Count(); ++i) {
        EXPECT_LE(out.Vertices.GetVector(i).Y, 2.5f + 1e-5f);
        EXPECT_NEAR(out.TexCoords[0].Data()[i].T * 10, out.Vertices.GetVector(i).Y, 1e-5);
    }
    ASSERT_TRUE(ClipToTexCoordRect(quad, 2, 2, 3, 3, out)); // entirely outside: nothing left
    EXPECT_EQ(out.Vertices.Count(), 0);
}
