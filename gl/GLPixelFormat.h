#pragma once
// Pixel formats: the system's 40-byte descriptor, the enumerated format
// record, and the portable choice and palette rules used by the context.
#include <array>
#include <cstdint>
#include <vector>

// Byte-for-byte the layout of the window system's pixel format descriptor
// (40 bytes), so a driver can copy its own descriptor in and out.
#pragma pack(push, 1)
struct TGLPixelFormatDescriptor {
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = 0;
    std::uint8_t cColorBits = 0;
    std::uint8_t cRedBits = 0;
    std::uint8_t cRedShift = 0;
    std::uint8_t cGreenBits = 0;
    std::uint8_t cGreenShift = 0;
    std::uint8_t cBlueBits = 0;
    std::uint8_t cBlueShift = 0;
    std::uint8_t cAlphaBits = 0;
    std::uint8_t cAlphaShift = 0;
    std::uint8_t cAccumBits = 0;
    std::uint8_t cAccumRedBits = 0;
    std::uint8_t cAccumGreenBits = 0;
    std::uint8_t cAccumBlueBits = 0;
    std::uint8_t cAccumAlphaBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t cAuxBuffers = 0;
    std::uint8_t iLayerType = 0;
    std::uint8_t bReserved = 0;
    std::uint32_t dwLayerMask = 0;
    std::uint32_t dwVisibleMask = 0;
    std::uint32_t dwDamageMask = 0;
};
#pragma pack(pop)
static_assert(sizeof(TGLPixelFormatDescriptor) == 40, "pixel format descriptor must be 40 bytes");

// Descriptor flag bits.
inline constexpr std::uint32_t kPfdDoubleBuffer = 0x00000001;
inline constexpr std::uint32_t kPfdDrawToWindow = 0x00000004;
inline constexpr std::uint32_t kPfdDrawToBitmap = 0x00000008;
inline constexpr std::uint32_t kPfdSupportGdi = 0x00000010;
inline constexpr std::uint32_t kPfdSupportOpenGL = 0x00000020;
inline constexpr std::uint32_t kPfdGenericFormat = 0x00000040;
inline constexpr std::uint32_t kPfdNeedPalette = 0x00000080;
inline constexpr std::uint32_t kPfdSwapExchange = 0x00000200;
inline constexpr std::uint32_t kPfdSwapCopy = 0x00000400;

// Format flags of a TGLPixelFormat (a small set).
enum TGLPixelFormatFlag : std::uint8_t { pfDrawToWindow = 0x1, pfDrawToBitmap = 0x2 };

struct TGLPixelFormat {
    int ColorBits = 0;
    int DepthBits = 0;
    int StencilBits = 0;
    int AlphaBits = 0;
    int AccumBits = 0;
    std::uint8_t Flags = 0; // pfDrawToWindow | pfDrawToBitmap
    bool DoubleBuffer = false;
    bool SupportGDI = false;
    int FormatNumber = 0; // the system's 1-based number
    TGLPixelFormatDescriptor Descriptor;

    // Builds the record from a descriptor and its 1-based number.
    static TGLPixelFormat FromDescriptor(const TGLPixelFormatDescriptor& d, int formatNumber);
    bool IsGeneric() const { return (Descriptor.dwFlags & kPfdGenericFormat) != 0; }
};

// The request used by activation: 32 colour bits, 16 depth bits, drawing to a
// window, double buffered, no GDI support.
TGLPixelFormat DefaultPixelFormatRequest();

// True when every non-zero request value equals the format's, the request's
// flags are contained in the format's and both Booleans are equal.
bool PixelFormatMatches(const TGLPixelFormat& request, const TGLPixelFormat& format);

// Score of a format that does not match exactly (higher is better).
int PixelFormatScore(const TGLPixelFormat& request, const TGLPixelFormat& format);

// The first exact match, else the first format with the highest positive
// score, else -1 (also for an empty list).
int SelectPixelFormat(const std::vector<TGLPixelFormat>& formats, const TGLPixelFormat& request);

// The 2^ColorBits colour entries (R, G, B, flags) of the logical palette for a
// palette-based format. Empty when the colour depth is above 8 bits.
struct TGLPaletteEntry {
    std::uint8_t Red, Green, Blue, Flags;
};
std::vector<TGLPaletteEntry> BuildPaletteEntries(const TGLPixelFormatDescriptor& d);
