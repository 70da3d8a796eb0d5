#pragma once
// Value types of the renderer (vector, float colour, byte colour, texture
// coordinate, 4x4 matrix), their operations, and the comma-separated text
// forms used by scene descriptions and model files ("1,1,1,1", "0,-1,-1").
// Text forms always use "." as the decimal separator, whatever the locale.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TGLVector {
    float X = 0, Y = 0, Z = 0;
    friend bool operator==(const TGLVector&, const TGLVector&) = default;
};

struct TGLColor {
    float R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(const TGLColor&, const TGLColor&) = default;
};

// Four bytes in memory order R, G, B, A. As one 32-bit number (Value) R is the
// low byte: R + G*2^8 + B*2^16 + A*2^24.
struct TGLColorBytes {
    std::uint8_t R = 0, G = 0, B = 0, A = 0;

    std::uint32_t Value() const
    {
        return std::uint32_t(R) | (std::uint32_t(G) << 8) | (std::uint32_t(B) << 16) |
               (std::uint32_t(A) << 24);
    }
    static TGLColorBytes FromValue(std::uint32_t v)
    {
        return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    }
    friend bool operator==(const TGLColorBytes&, const TGLColorBytes&) = default;
};

struct TGLTexCoord {
    float S = 0, T = 0;
    friend bool operator==(const TGLTexCoord&, const TGLTexCoord&) = default;
};

// 16 floats in OpenGL's column-major order; M[12], M[13], M[14] hold the translation.
struct TGLMatrix {
    float M[16] = {};

    float& operator[](int i) { return M[i]; }
    const float& operator[](int i) const { return M[i]; }
    const float* Data() const { return M; }
    float* Data() { return M; }
    friend bool operator==(const TGLMatrix&, const TGLMatrix&) = default;
};

static_assert(sizeof(TGLVector) == 12);
static_assert(sizeof(TGLColor) == 16);
static_assert(sizeof(TGLColorBytes) == 4);
static_assert(sizeof(TGLTexCoord) == 8);
static_assert(sizeof(TGLMatrix) == 64);

// ---- Construction and colour packing ----

TGLVector MakeVector(float x, float y, float z);
TGLColor MakeColor(float r, float g, float b, float a);
TGLColorBytes MakeColorBytes(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
// r + g*2^8 + b*2^16 + a*2^24 (memory order R, G, B, A).
std::uint32_t PackColorRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
// b + g*2^8 + r*2^16 + a*2^24 (memory order B, G, R, A, for BGRA texture pixels).
std::uint32_t PackColorBGRA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
// (R/255, G/255, B/255, 1): the alpha byte is ignored.
TGLColor ColorBytesToColor(TGLColorBytes c);
// The colour with alpha 255.
TGLColorBytes OpaqueColor(TGLColorBytes c);
// The colour with alpha 0.
TGLColorBytes ColorRGB(TGLColorBytes c);

// ---- Vector operations ----

// The vector divided by its length (computed in extended precision, rounded to
// single); unchanged when the length is 0.
TGLVector Normalize(const TGLVector& v);
// Normalize of n vectors; source and destination may be the same array.
void NormalizeArray(const TGLVector* source, TGLVector* destination, int n);
// x' = x*m0 + y*m4 + z*m8 + m12 and so on; source and destination may be the same.
TGLVector TransformPoint(const TGLVector& p, const TGLMatrix& m);
void TransformPoints(const TGLVector* source, TGLVector* destination, int n, const TGLMatrix& m);
// destination[i] := a[i] + t*(b[i] - a[i]) per component; destination may alias a or b.
void LerpArray(const TGLVector* a, const TGLVector* b, TGLVector* destination, float t, int n);

TGLVector VectorAdd(const TGLVector& a, const TGLVector& b);
TGLVector VectorSub(const TGLVector& a, const TGLVector& b);
TGLVector VectorScale(const TGLVector& a, float s);
TGLVector CrossProduct(const TGLVector& a, const TGLVector& b);
float DotProduct(const TGLVector& a, const TGLVector& b);
float VectorLength(const TGLVector& a);

// ---- Matrices ----

TGLMatrix IdentityMatrix();
// C[4i+j] = sum over k of A[4i+k]*B[4k+j]; destination may be a or b.
void MultiplyMatrix(const TGLMatrix& a, const TGLMatrix& b, TGLMatrix& destination);
TGLMatrix MultiplyMatrix(const TGLMatrix& a, const TGLMatrix& b);
// Identity with m5 = cos, m6 = sin, m9 = -sin, m10 = cos (angle in degrees).
TGLMatrix RotationMatrixX(float angleDegrees);
// The viewing matrix of a look-at: rows X, Y, F of the rotation, applied after a
// translation by -eye (F = normalize(eye - centre)).
TGLMatrix LookAtMatrix(const TGLVector& eye, const TGLVector& centre, const TGLVector& up);

// ---- Text forms ----

// Splits a comma text: items end at a comma or a blank/control character,
// blanks and one comma between items are consumed, a double-quoted item runs
// to its closing quote ("" is one quote), and a comma that is the very last
// character adds one more, empty item.
std::vector<std::string> SplitCommaText(std::string_view text);

// Decimal floating-point number with "." as separator: optional surrounding
// blanks, optional sign, digits with one ".", optional exponent. Raises
// EPyrelumeError "'<text>' is not a valid floating point value" otherwise
// (also for magnitudes beyond the single-precision range).
float StrToFloatDot(std::string_view text);
// Decimal (or $/0x hexadecimal) signed 32-bit integer, leading blanks allowed.
// Raises EPyrelumeError "'<text>' is not a valid integer value" otherwise.
std::int32_t StrToIntStrict(std::string_view text);
// The general format with 7 significant digits: shortest of fixed or
// scientific ("1E-07", "1.234568E+07"), no trailing zeros, "." as separator.
std::string FloatToStrGeneral(float value);

// Empty text gives (1,1,1,1); the first four items are used, missing ones keep 1.
TGLColor StrToColor(std::string_view text);
// Empty text gives (0,0,0); the first three items are used, missing ones keep 0.
TGLVector StrToVector(std::string_view text);
// Empty text gives 255,255,255,255; integers, of which the low 8 bits are kept.
TGLColorBytes StrToColorBytes(std::string_view text);
// "R,G,B,A" / "X,Y,Z" in the general format; bytes as decimal integers.
std::string ColorToStr(const TGLColor& c);
std::string VectorToStr(const TGLVector& v);
std::string ColorBytesToStr(TGLColorBytes c);
