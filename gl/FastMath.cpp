#include "gl/FastMath.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "gl/Errors.h"

// ---- Construction and colour packing ----

TGLVector MakeVector(float x, float y, float z) { return {x, y, z}; }

TGLColor MakeColor(float r, float g, float b, float a) { return {r, g, b, a}; }

TGLColorBytes MakeColorBytes(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) { return {r, g, b, a}; }

std::uint32_t PackColorRGBA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16) | (std::uint32_t(a) << 24);
}

std::uint32_t PackColorBGRA(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
{
    return std::uint32_t(b) | (std::uint32_t(g) << 8) | (std::uint32_t(r) << 16) | (std::uint32_t(a) << 24);
}

TGLColor ColorBytesToColor(TGLColorBytes c)
{
    return {c.R / 255.0f, c.G / 255.0f, c.B / 255.0f, 1.0f};
}

TGLColorBytes OpaqueColor(TGLColorBytes c)
{
    c.A = 255;
    return c;
}

TGLColorBytes ColorRGB(TGLColorBytes c)
{
    c.A = 0;
    return c;
}

// ---- Vector operations ----

TGLVector Normalize(const TGLVector& v)
{
    const long double sq = static_cast<long double>(v.X) * v.X + static_cast<long double>(v.Y) * v.Y +
                           static_cast<long double>(v.Z) * v.Z;
    const float len = static_cast<float>(std::sqrt(sq));
    if (len == 0.0f)
        return v;
    return {v.X / len, v.Y / len, v.Z / len};
}

void NormalizeArray(const TGLVector* source, TGLVector* destination, int n)
{
    for (int i = 0; i < n; ++i)
        destination[i] = Normalize(source[i]);
}

TGLVector TransformPoint(const TGLVector& p, const TGLMatrix& m)
{
    const float x = p.X, y = p.Y, z = p.Z;
    return {x * m.M[0] + y * m.M[4] + z * m.M[8] + m.M[12],
            x * m.M[1] + y * m.M[5] + z * m.M[9] + m.M[13],
            x * m.M[2] + y * m.M[6] + z * m.M[10] + m.M[14]};
}

void TransformPoints(const TGLVector* source, TGLVector* destination, int n, const TGLMatrix& m)
{
    for (int i = 0; i < n; ++i)
        destination[i] = TransformPoint(source[i], m);
}

void LerpArray(const TGLVector* a, const TGLVector* b, TGLVector* destination, float t, int n)
{
    for (int i = 0; i < n; ++i) {
        const TGLVector va = a[i], vb = b[i];
        destination[i] = {va.X + t * (vb.X - va.X), va.Y + t * (vb.Y - va.Y), va.Z + t * (vb.Z - va.Z)};
    }
}

TGLVector VectorAdd(const TGLVector& a, const TGLVector& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }

TGLVector VectorSub(const TGLVector& a, const TGLVector& b) { return {a.X - b.X, a.Y - b.Y, a.Z - b.Z}; }

TGLVector VectorScale(const TGLVector& a, float s) { return {a.X * s, a.Y * s, a.Z * s}; }

TGLVector CrossProduct(const TGLVector& a, const TGLVector& b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

float DotProduct(const TGLVector& a, const TGLVector& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }

float VectorLength(const TGLVector& a) { return std::sqrt(DotProduct(a, a)); }

// ---- Matrices ----

TGLMatrix IdentityMatrix()
{
    TGLMatrix m;
    m.M[0] = m.M[5] = m.M[10] = m.M[15] = 1.0f;
    return m;
}

void MultiplyMatrix(const TGLMatrix& a, const TGLMatrix& b, TGLMatrix& destination)
{
    TGLMatrix c;  // zero; a temporary so that destination may be a or b
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                c.M[4 * i + j] += a.M[4 * i + k] * b.M[4 * k + j];
    destination = c;
}

TGLMatrix MultiplyMatrix(const TGLMatrix& a, const TGLMatrix& b)
{
    TGLMatrix c;
    MultiplyMatrix(a, b, c);
    return c;
}

TGLMatrix RotationMatrixX(float angleDegrees)
{
    const double rad = static_cast<double>(angleDegrees) * 3.14159265358979323846 / 180.0;
    const float c = static_cast<float>(std::cos(rad));
    const float s = static_cast<float>(std::sin(rad));
    TGLMatrix m = IdentityMatrix();
    m.M[5] = c;
    m.M[6] = s;
    m.M[9] = -s;
    m.M[10] = c;
    return m;
}

TGLMatrix LookAtMatrix(const TGLVector& eye, const TGLVector& centre, const TGLVector& up)
{
    const TGLVector f = Normalize(VectorSub(eye, centre));
    const TGLVector x = Normalize(CrossProduct(up, f));
    const TGLVector y = Normalize(CrossProduct(f, x));

    // Rotation with rows X, Y, F (stored column-major), then the translation -eye
    // carried through the rotation.
    TGLMatrix m;
    m.M[0] = x.X; m.M[4] = x.Y; m.M[8] = x.Z;
    m.M[1] = y.X; m.M[5] = y.Y; m.M[9] = y.Z;
    m.M[2] = f.X; m.M[6] = f.Y; m.M[10] = f.Z;
    m.M[12] = -(x.X * eye.X + x.Y * eye.Y + x.Z * eye.Z);
    m.M[13] = -(y.X * eye.X + y.Y * eye.Y + y.Z * eye.Z);
    m.M[14] = -(f.X * eye.X + f.Y * eye.Y + f.Z * eye.Z);
    m.M[15] = 1.0f;
    return m;
}

// ---- Text forms ----

namespace {

inline bool IsBlank(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= ' ';
}

[[noreturn]] void FloatError(std::string_view text)
{
    RaiseMessage("'" + std::string(text) + "' is not a valid floating point value");
}

[[noreturn]] void IntError(std::string_view text)
{
    RaiseMessage("'" + std::string(text) + "' is not a valid integer value");
}

}  // namespace

std::vector<std::string> SplitCommaText(std::string_view text)
{
    // A NUL character ends the text, as it would a C string.
    if (const auto z = text.find('\0'); z != std::string_view::npos)
        text = text.substr(0, z);

    std::vector<std::string> items;
    const std::size_t n = text.size();
    std::size_t p = 0;
    auto at = [&](std::size_t i) -> char { return i < n ? text[i] : '\0'; };

    while (p < n && IsBlank(text[p]))
        ++p;
    while (p < n) {
        std::string item;
        if (text[p] == '"') {
            ++p;
            while (p < n) {
                if (text[p] == '"') {
                    ++p;
                    if (at(p) != '"')
                        break;
                    item += '"';
                    ++p;
                } else {
                    item += text[p++];
                }
            }
        } else {
            const std::size_t start = p;
            while (p < n && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',')
                ++p;
            item.assign(text.substr(start, p - start));
        }
        items.push_back(std::move(item));
        while (p < n && IsBlank(text[p]))
            ++p;
        if (at(p) == ',') {
            if (p + 1 == n)
                items.emplace_back();
            do {
                ++p;
            } while (p < n && IsBlank(text[p]));
        }
    }
    return items;
}

float StrToFloatDot(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    const std::string_view s = text.substr(b, e - b);

    // Validate the shape: [sign] digits [. digits] [(E|e) [sign] digits].
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t mantStart = i;
    int digits = 0;
    int firstNonZero = -1;   // position among mantissa digits of the first non-zero digit
    int intDigits = 0;       // digits before the separator
    bool seenDot = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            if (firstNonZero < 0 && c != '0')
                firstNonZero = digits;
            ++digits;
            if (!seenDot)
                ++intDigits;
        } else if (c == '.' && !seenDot) {
            seenDot = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        FloatError(text);
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNeg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            expNeg = s[i] == '-';
            ++i;
        }
        const std::size_t expStart = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            if (exponent < 100000)
                exponent = exponent * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expStart)
            FloatError(text);
        if (expNeg)
            exponent = -exponent;
    }
    if (i != s.size())
        FloatError(text);

    if (firstNonZero < 0)
        return negative ? -0.0f : 0.0f;

    // Decimal magnitude: value is about 10^(intDigits - firstNonZero - 1 + exponent).
    const long long magnitude = static_cast<long long>(intDigits) - firstNonZero - 1 + exponent;
    if (magnitude > 40)
        FloatError(text);
    if (magnitude < -60)
        return negative ? -0.0f : 0.0f;

    // from_chars takes no leading '+'; the sign is applied afterwards.
    const char* first = s.data() + mantStart;
    const char* last = s.data() + s.size();
    double value = 0.0;
    const auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        value = 0.0;  // underflow below double range: far below single range as well
    } else if (res.ec != std::errc() || res.ptr != last) {
        FloatError(text);
    }
    // Beyond the single range is an error rather than an infinity in geometry;
    // values that round to the largest single are kept.
    constexpr double kFltMax = std::numeric_limits<float>::max();
    if (std::fabs(value) > kFltMax) {
        if (std::fabs(value) >= kFltMax * (1.0 + std::ldexp(1.0, -25)))
            FloatError(text);
        value = kFltMax;
    }
    const float f = static_cast<float>(value);
    return negative ? -f : f;
}

std::int32_t StrToIntStrict(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        IntError(text);
    std::uint64_t v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            IntError(text);
        v = v * std::uint64_t(base) + std::uint64_t(d);
        if (v > 0xFFFFFFFFull)
            IntError(text);
    }
    if (base == 10) {
        if (negative ? v > 0x80000000ull : v > 0x7FFFFFFFull)
            IntError(text);
    }
    // Hexadecimal values fill all 32 bits, so $FFFFFFFF is -1.
    std::uint32_t u = static_cast<std::uint32_t>(v);
    if (negative)
        u = 0u - u;
    return static_cast<std::int32_t>(u);
}

std::string FloatToStrGeneral(float value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0f)
        return "0";

    constexpr int kPrecision = 7;
    // 17 significant digits of the exact single value, then rounded half away
    // from zero to 7 digits.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof(buf), std::fabs(static_cast<double>(value)),
                                   std::chars_format::scientific, 16);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (std::size_t k = 0; k < ePos; ++k)
        if (sci[k] != '.')
            digits += sci[k];
    int exp10 = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exp10);
    int decExp = exp10 + 1;  // value = 0.d1d2d3... * 10^decExp

    const bool roundUp = digits.size() > kPrecision && digits[kPrecision] >= '5';
    digits.resize(kPrecision);
    if (roundUp) {
        int k = kPrecision - 1;
        while (k >= 0 && digits[k] == '9') {
            digits[k] = '0';
            --k;
        }
        if (k < 0) {
            digits.insert(digits.begin(), '1');
            digits.resize(kPrecision);
            ++decExp;
        } else {
            ++digits[k];
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();

    std::string out;
    if (value < 0)
        out += '-';
    if (decExp > kPrecision || decExp < -4) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1, std::string::npos);
        }
        const int e = decExp - 1;
        out += 'E';
        out += e < 0 ? '-' : '+';
        const int ae = e < 0 ? -e : e;
        if (ae < 10)
            out += '0';
        out += std::to_string(ae);
    } else if (decExp <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-decExp), '0');
        out += digits;
    } else {
        if (static_cast<int>(digits.size()) <= decExp) {
            out += digits;
            out.append(static_cast<std::size_t>(decExp) - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<std::size_t>(decExp));
            out += '.';
            out.append(digits, static_cast<std::size_t>(decExp), std::string::npos);
        }
    }
    return out;
}

TGLColor StrToColor(std::string_view text)
{
    TGLColor c{1, 1, 1, 1};
    const auto items = SplitCommaText(text);
    float* fields[4] = {&c.R, &c.G, &c.B, &c.A};
    for (std::size_t i = 0; i < items.size() && i < 4; ++i)
        *fields[i] = StrToFloatDot(items[i]);
    return c;
}

TGLVector StrToVector(std::string_view text)
{
    TGLVector v{0, 0, 0};
    const auto items = SplitCommaText(text);
    float* fields[3] = {&v.X, &v.Y, &v.Z};
    for (std::size_t i = 0; i < items.size() && i < 3; ++i)
        *fields[i] = StrToFloatDot(items[i]);
    return v;
}

TGLColorBytes StrToColorBytes(std::string_view text)
{
    TGLColorBytes c{255, 255, 255, 255};
    const auto items = SplitCommaText(text);
    std::uint8_t* fields[4] = {&c.R, &c.G, &c.B, &c.A};
    for (std::size_t i = 0; i < items.size() && i < 4; ++i)
        *fields[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(StrToIntStrict(items[i])) & 0xFFu);
    return c;
}

std::string ColorToStr(const TGLColor& c)
{
    return FloatToStrGeneral(c.R) + "," + FloatToStrGeneral(c.G) + "," + FloatToStrGeneral(c.B) + "," +
           FloatToStrGeneral(c.A);
}

std::string VectorToStr(const TGLVector& v)
{
    return FloatToStrGeneral(v.X) + "," + FloatToStrGeneral(v.Y) + "," + FloatToStrGeneral(v.Z);
}

std::string ColorBytesToStr(TGLColorBytes c)
{
    return std::to_string(c.R) + "," + std::to_string(c.G) + "," + std::to_string(c.B) + "," + std::to_string(c.A);
}
