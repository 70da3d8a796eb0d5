#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gl/DArrays.h"
#include "gl/Errors.h"
#include "tests/common/TestUtil.h"

namespace {

using testutil::ErrorOf;

TEST(DArray, GrowShrinkAndZeroFill)
{
    TDArray a(4);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Memory(), nullptr);
    a.Grow(0);
    a.Grow(-5);
    a.Shrink(-1);
    EXPECT_EQ(a.Count(), 0);

    a.Grow(2);
    std::uint32_t v = 0xDEADBEEF;
    a.SetItem(1, &v);
    a.Grow(3);
    ASSERT_EQ(a.Count(), 5);
    std::uint32_t out = 1;
    a.GetItem(1, &out);
    EXPECT_EQ(out, 0xDEADBEEFu);
    for (int i : {0, 2, 3, 4}) {
        a.GetItem(i, &out);
        EXPECT_EQ(out, 0u) << i;
    }

    a.Shrink(3);
    ASSERT_EQ(a.Count(), 2);
    a.GetItem(1, &out);
    EXPECT_EQ(out, 0xDEADBEEFu);
    // Regrowing after a shrink gives zero items again, not the old contents.
    a.SetCount(4);
    a.GetItem(1, &out);
    EXPECT_EQ(out, 0xDEADBEEFu);
    a.GetItem(2, &out);
    EXPECT_EQ(out, 0u);

    a.Shrink(100);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(a.Memory(), nullptr);
}

TEST(DArray, IndexErrorsHaveExactMessagesAndLeaveArrayUnchanged)
{
    TDArray a(2);
    a.SetCount(3);
    std::uint16_t v = 7;
    a.SetItem(2, &v);
    EXPECT_EQ(ErrorOf([&] { a.GetItem(3, &v); }), "TDArray GetItem: index out of bounds.");
    EXPECT_EQ(ErrorOf([&] { a.GetItem(-1, &v); }), "TDArray GetItem: index out of bounds.");
    std::uint16_t w = 9;
    EXPECT_EQ(ErrorOf([&] { a.SetItem(-1, &w); }), "TDArray SetItem: index out of bounds.");
    EXPECT_EQ(a.Count(), 3);
    a.GetItem(2, &v);
    EXPECT_EQ(v, 7);

    a.SetCount(0);
    EXPECT_EQ(a.Memory(), nullptr);
    EXPECT_EQ(ErrorOf([&] { a.GetItem(0, &v); }), "TDArray GetItem: index out of bounds.");
}

TEST(DArray, HugeGrowIsRefusedWithoutCorruption)
{
    TGLVectorDArray a;
    a.SetCount(2);
    a.SetVector(1, 1, 2, 3);
    EXPECT_THROW(a.Grow(0x7FFFFFFF), EPyrelumeError);
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetVector(1), (TGLVector{1, 2, 3}));
}

TEST(DArray, CopyAndMoveAreDeep)
{
    TGLVectorDArray a;
    a.SetCount(2);
    a.SetVector(0, 1, 2, 3);
    TGLVectorDArray b = a;
    b.SetVector(0, 9, 9, 9);
    EXPECT_EQ(a.GetVector(0), (TGLVector{1, 2, 3}));
    TGLVectorDArray c = std::move(a);
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(c.GetVector(0), (TGLVector{1, 2, 3}));
}

TEST(TypedArrays, VectorArray)
{
    TGLVectorDArray a;
    a.SetCount(2);
    a.SetVector(0, 1, 2, 3);
    a.SetVector(1, TGLVector{4, 5, 6});
    EXPECT_EQ(a.GetVector(0), (TGLVector{1, 2, 3}));

    const std::vector<float> seven = {1, 2, 3, 4, 5, 6, 7};
    a.SetValues(seven);
    ASSERT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetVector(1), (TGLVector{4, 5, 6}));
    EXPECT_EQ(a.Data()[0], (TGLVector{1, 2, 3}));

    a.ClearValues();
    EXPECT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetVector(0), (TGLVector{0, 0, 0}));
    EXPECT_EQ(a.GetVector(1), (TGLVector{0, 0, 0}));

    a.SetValues(std::vector<float>{1, 2});
    EXPECT_EQ(a.Count(), 0);
    EXPECT_THROW(a.GetVector(0), EPyrelumeError);
}

TEST(TypedArrays, TexCoordColorAndIndexArrays)
{
    TGLTextureCoordDArray t;
    t.SetValues(std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f, 0.5f});
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.GetTexCoord(1), (TGLTexCoord{0.3f, 0.4f}));
    t.SetTexCoord(0, 1, 2);
    EXPECT_EQ(t.GetTexCoord(0), (TGLTexCoord{1, 2}));

    TGLColorDArray c;
    c.SetCount(1);
    c.SetColor(0, MakeColorBytes(1, 2, 3, 4));
    EXPECT_EQ(c.GetColor(0), MakeColorBytes(1, 2, 3, 4));
    // Memory order is R, G, B, A as GL reads RGBA unsigned bytes.
    const auto* bytes = static_cast<const std::uint8_t*>(c.Memory());
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[3], 4);
    EXPECT_THROW(c.SetColor(1, {}), EPyrelumeError);

    TGLIndexDArray idx;
    idx.SetValues(std::vector<std::uint16_t>{0, 65535, 2});
    ASSERT_EQ(idx.Count(), 3);
    EXPECT_EQ(idx.GetIndex(1), 65535);
    idx.SetIndex(2, 42);
    EXPECT_EQ(idx.Data()[2], 42);
    EXPECT_EQ(ErrorOf([&] { idx.SetIndex(3, 0); }), "TDArray SetItem: index out of bounds.");
}

}  // namespace
