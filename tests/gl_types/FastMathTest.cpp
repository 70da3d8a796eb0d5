#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "gl/Errors.h"
#include "gl/FastMath.h"
#include "tests/common/TestUtil.h"

namespace {

using testutil::ErrorOf;

void ExpectVecNear(const TGLVector& a, const TGLVector& b, float eps = 1e-5f)
{
    EXPECT_NEAR(a.X, b.X, eps);
    EXPECT_NEAR(a.Y, b.Y, eps);
    EXPECT_NEAR(a.Z, b.Z, eps);
}

TEST(ColorPacking, ByteOrdersAndAlpha)
{
    EXPECT_EQ(PackColorRGBA(0x11, 0x22, 0x33, 0x44), 0x44332211u);
    EXPECT_EQ(PackColorBGRA(0x11, 0x22, 0x33, 0x44), 0x44112233u);
    EXPECT_EQ(MakeColorBytes(0x11, 0x22, 0x33, 0x44).Value(), 0x44332211u);
    EXPECT_EQ(TGLColorBytes::FromValue(0x44332211u), MakeColorBytes(0x11, 0x22, 0x33, 0x44));

    const TGLColor c = ColorBytesToColor(MakeColorBytes(255, 0, 51, 0));
    EXPECT_FLOAT_EQ(c.R, 1.0f);
    EXPECT_FLOAT_EQ(c.G, 0.0f);
    EXPECT_FLOAT_EQ(c.B, 0.2f);
    EXPECT_FLOAT_EQ(c.A, 1.0f);  // alpha byte 0 still gives 1

    EXPECT_EQ(OpaqueColor(MakeColorBytes(1, 2, 3, 4)), MakeColorBytes(1, 2, 3, 255));
    EXPECT_EQ(ColorRGB(MakeColorBytes(1, 2, 3, 4)), MakeColorBytes(1, 2, 3, 0));
}

TEST(VectorMath, NormalizeTransformLerp)
{
    EXPECT_EQ(Normalize({0, 0, 0}), (TGLVector{0, 0, 0}));
    ExpectVecNear(Normalize({3, 0, 4}), {0.6f, 0, 0.8f}, 1e-7f);
    // Tiny components whose squares underflow in single precision still normalise.
    ExpectVecNear(Normalize({1e-25f, 0, 0}), {1, 0, 0});

    TGLVector arr[3] = {{3, 0, 4}, {0, 0, 0}, {0, 2, 0}};
    TGLVector out[3];
    NormalizeArray(arr, out, 3);
    ExpectVecNear(out[0], {0.6f, 0, 0.8f});
    EXPECT_EQ(out[1], (TGLVector{0, 0, 0}));
    NormalizeArray(arr, arr, 3);  // in place
    ExpectVecNear(arr[2], {0, 1, 0});

    TGLMatrix m = IdentityMatrix();
    m[12] = 10;
    m[13] = 20;
    m[14] = 30;
    m[0] = 2;  // scale x by 2
    TGLVector pts[2] = {{1, 1, 1}, {0, 0, 0}};
    TransformPoints(pts, pts, 2, m);
    EXPECT_EQ(pts[0], (TGLVector{12, 21, 31}));
    EXPECT_EQ(pts[1], (TGLVector{10, 20, 30}));

    // x' uses m4 and m8 for y and z (column-major).
    TGLMatrix r{};
    r[4] = 1;   // x' += y
    r[9] = 1;   // y' += z
    r[2] = 1;   // z' += x
    EXPECT_EQ(TransformPoint({1, 2, 3}, r), (TGLVector{2, 3, 1}));

    TGLVector a[2] = {{0, 0, 0}, {1, 2, 3}};
    TGLVector b[2] = {{10, 10, 10}, {3, 2, 1}};
    TGLVector d[2];
    LerpArray(a, b, d, 0.25f, 2);
    EXPECT_EQ(d[0], (TGLVector{2.5f, 2.5f, 2.5f}));
    EXPECT_EQ(d[1], (TGLVector{1.5f, 2, 2.5f}));
    LerpArray(a, b, a, 1.0f, 2);  // into the first source
    EXPECT_EQ(a[1], (TGLVector{3, 2, 1}));
}

TEST(MatrixMath, MultiplyRotateLookAt)
{
    TGLMatrix a{}, b{};
    for (int i = 0; i < 16; ++i) {
        a[i] = float(i + 1);
        b[i] = float(16 - i);
    }
    TGLMatrix expected{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                expected[4 * i + j] += a[4 * i + k] * b[4 * k + j];
    EXPECT_EQ(MultiplyMatrix(a, b), expected);
    TGLMatrix alias = a;
    MultiplyMatrix(alias, b, alias);  // destination is A
    EXPECT_EQ(alias, expected);
    alias = b;
    MultiplyMatrix(a, alias, alias);  // destination is B
    EXPECT_EQ(alias, expected);
    EXPECT_EQ(MultiplyMatrix(IdentityMatrix(), a), a);

    const TGLMatrix rx = RotationMatrixX(90);
    EXPECT_NEAR(rx[5], 0, 1e-6);
    EXPECT_NEAR(rx[6], 1, 1e-6);
    EXPECT_NEAR(rx[9], -1, 1e-6);
    EXPECT_NEAR(rx[10], 0, 1e-6);
    EXPECT_EQ(rx[0], 1);
    EXPECT_EQ(rx[15], 1);
    ExpectVecNear(TransformPoint({0, 1, 0}, rx), {0, 0, 1});

    const TGLMatrix la = LookAtMatrix({0, 105, 240}, {0, 105, 239}, {0, 1, 0});
    TGLMatrix t = IdentityMatrix();
    t[13] = -105;
    t[14] = -240;
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(la[i], t[i]) << i;

    // Looking down the x axis: the eye maps to the origin, the centre onto -z.
    const TGLMatrix side = LookAtMatrix({5, 0, 0}, {0, 0, 0}, {0, 1, 0});
    ExpectVecNear(TransformPoint({5, 0, 0}, side), {0, 0, 0});
    ExpectVecNear(TransformPoint({0, 0, 0}, side), {0, 0, -5});
    // Up parallel to the view direction: the zero cross product stays unnormalised, no NaN.
    const TGLMatrix degenerate = LookAtMatrix({0, 5, 0}, {0, 0, 0}, {0, 1, 0});
    for (float v : degenerate.M)
        EXPECT_FALSE(std::isnan(v));
}

TEST(CommaText, Splitting)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommaText("1, 0.5 ,0"), (V{"1", "0.5", "0"}));
    EXPECT_EQ(SplitCommaText("1 0.5 0"), (V{"1", "0.5", "0"}));
    EXPECT_EQ(SplitCommaText("1,,0"), (V{"1", "", "0"}));
    EXPECT_EQ(SplitCommaText("1,2,"), (V{"1", "2", ""}));
    EXPECT_EQ(SplitCommaText("1,2,  "), (V{"1", "2"}));
    EXPECT_EQ(SplitCommaText(" \t\r\n"), V{});
    EXPECT_EQ(SplitCommaText(","), (V{"", ""}));
    EXPECT_EQ(SplitCommaText("\"a b\",\"say \"\"hi\"\"\",c"), (V{"a b", "say \"hi\"", "c"}));
    EXPECT_EQ(SplitCommaText("\"unterminated"), (V{"unterminated"}));
    EXPECT_EQ(SplitCommaText("\t1\x01,2"), (V{"1", "2"}));
}

TEST(CommaText, StrToColorAndVector)
{
    EXPECT_EQ(StrToColor("0.5"), (TGLColor{0.5f, 1, 1, 1}));
    EXPECT_EQ(StrToColor("1,2,3,4,5"), (TGLColor{1, 2, 3, 4}));
    EXPECT_EQ(StrToColor(""), (TGLColor{1, 1, 1, 1}));
    EXPECT_EQ(StrToColor("  .25 , -1e1 ,+2.,1E-1"), (TGLColor{0.25f, -10, 2, 0.1f}));
    EXPECT_EQ(StrToVector("0,-1,-1"), (TGLVector{0, -1, -1}));
    EXPECT_EQ(StrToVector("3"), (TGLVector{3, 0, 0}));
    EXPECT_EQ(StrToVector("1,2,3,"), (TGLVector{1, 2, 3}));
    EXPECT_EQ(StrToVector(""), (TGLVector{0, 0, 0}));
    EXPECT_EQ(StrToVector("1 2 3"), (TGLVector{1, 2, 3}));
}

TEST(CommaText, MalformedNumbersRaiseConversionErrors)
{
    EXPECT_EQ(ErrorOf([] { StrToColor("1,2,"); }), "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { StrToVector("1,,3"); }), "'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { StrToVector("1;2;3"); }), "'1;2;3' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { StrToVector("0x10"); }), "'0x10' is not a valid floating point value");
    for (const char* bad : {"1.2.3", "1e+", "-", ".", "e5", "nan", "inf", "--1"})
        EXPECT_THROW(StrToVector(bad), EPyrelumeError) << bad;
    // Beyond the single range is refused rather than stored as infinity.
    EXPECT_EQ(ErrorOf([] { StrToFloatDot("1e39"); }), "'1e39' is not a valid floating point value");
    EXPECT_THROW(StrToFloatDot("-1e400"), EPyrelumeError);
    EXPECT_EQ(StrToFloatDot("3.4028234e38"), std::numeric_limits<float>::max());
    EXPECT_EQ(StrToFloatDot("1e-400"), 0.0f);
    EXPECT_EQ(StrToFloatDot("  -0.0  "), 0.0f);
    EXPECT_EQ(StrToFloatDot("000000000000000000000000000000000001.5"), 1.5f);
    EXPECT_EQ(StrToFloatDot("1e0000000000000000000003"), 1000.0f);
    EXPECT_EQ(ErrorOf([] { StrToColorBytes("1,x"); }), "'x' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { StrToColorBytes("1.5"); }), "'1.5' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { StrToColorBytes(","); }), "'' is not a valid integer value");
    EXPECT_THROW(StrToColorBytes("2147483648"), EPyrelumeError);
}

TEST(CommaText, ColorBytes)
{
    EXPECT_EQ(StrToColorBytes("255,128,0"), MakeColorBytes(255, 128, 0, 255));
    EXPECT_EQ(StrToColorBytes(""), MakeColorBytes(255, 255, 255, 255));
    EXPECT_EQ(StrToColorBytes("256,-1,$10,0x20,7"), MakeColorBytes(0, 255, 16, 32));
    EXPECT_EQ(StrToColorBytes("-2147483648"), MakeColorBytes(0, 255, 255, 255));
    EXPECT_EQ(ColorBytesToStr(MakeColorBytes(255, 128, 0, 7)), "255,128,0,7");
}

TEST(CommaText, GeneralFloatFormat)
{
    EXPECT_EQ(ColorToStr({1, 0.5f, 0, 1}), "1,0.5,0,1");
    EXPECT_EQ(VectorToStr({0, -1, -1}), "0,-1,-1");
    EXPECT_EQ(FloatToStrGeneral(1e-7f), "1E-07");
    EXPECT_EQ(FloatToStrGeneral(12345678.0f), "1.234568E+07");
    EXPECT_EQ(FloatToStrGeneral(1234567.0f), "1234567");
    EXPECT_EQ(FloatToStrGeneral(10000000.0f), "1E+07");
    EXPECT_EQ(FloatToStrGeneral(0.00001f), "0.00001");
    EXPECT_EQ(FloatToStrGeneral(0.0000099f), "9.9E-06");
    EXPECT_EQ(FloatToStrGeneral(-0.0f), "0");
    EXPECT_EQ(FloatToStrGeneral(2.0f / 3.0f), "0.6666667");
    EXPECT_EQ(FloatToStrGeneral(9.99999951e-17f), "1E-16");  // rounding carries into the exponent
    EXPECT_EQ(FloatToStrGeneral(1234568.5f), "1234569");  // halves round away from zero
    EXPECT_EQ(FloatToStrGeneral(3e38f), "3E+38");
    EXPECT_EQ(FloatToStrGeneral(1e-40f), "9.999946E-41");  // denormal, exact single value
    EXPECT_EQ(FloatToStrGeneral(std::numeric_limits<float>::infinity()), "INF");
}

TEST(CommaText, RoundTripAndLocaleIndependence)
{
    // A locale with a comma decimal separator must not change reading or writing.
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    const bool haveComma = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "fr_FR.UTF-8");
    EXPECT_EQ(StrToVector("0.5,-1.25,3"), (TGLVector{0.5f, -1.25f, 3}));
    EXPECT_EQ(VectorToStr({0.5f, -1.25f, 3}), "0.5,-1.25,3");
    std::setlocale(LC_ALL, saved.c_str());
    (void)haveComma;

    for (float v : {0.1f, 1.0f / 3.0f, 123.4567f, -0.000123f, 5e-9f, 6.02e23f, 1234567.0f}) {
        const std::string s = FloatToStrGeneral(v);
        EXPECT_NEAR(StrToFloatDot(s), v, std::fabs(v) * 1e-6f) << s;
    }
}

}  // namespace
