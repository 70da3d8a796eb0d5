#pragma once
// The OpenGL context object and the GL resource objects it owns.
//
// TCustomOpenGL ties the renderer to one drawing surface through a
// TGLContextDriver: it loads the GL library at run time, enumerates and
// chooses the pixel format, creates the context, probes extensions, swaps
// buffers with vertical-sync control and owns the six lists of GL objects
// (lights, materials, display lists, primitives, textures, viewports). The
// lists are initialised after every context creation and their GL names are
// released before every context destruction, so a restart needs no reload.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gl/DArrays.h"
#include "gl/FastMath.h"
#include "gl/GLApi.h"
#include "gl/GLCapabilities.h"
#include "platform/GLContextDriver.h"
#include "gl/GLItems.h"
#include "gl/GLLights.h"
#include "gl/GLPixelFormat.h"
#include "gl/GLPrimitives.h"
#include "gl/GLTextures.h"

// Which GL library and which pixel formats are used.
enum class TGLRenderer : std::uint8_t { OpenGL = 0, DirectX = 1, Generic = 2 };

// The library file names of the renderers.
inline constexpr const char* OpenGLLibraryName = "opengl32.dll";
inline constexpr const char* DirectXLibraryName = "dx7ogl32.dll";

// Splits a capability string at blanks and commas, one name per item.
std::vector<std::string> SplitExtensionString(std::string_view text);

// A capture of the current context's pixels: RGB byte triples, rows bottom-up
// as the GL returns them, tightly packed.
// Reads width x height RGBA pixels of the current read framebuffer, rows
// bottom-up, after finishing the drawing; zeros when no GL is loaded.
std::vector<std::uint8_t> ReadPixelsRGBA(int width, int height);
// The RGBA word at (x, y) of such a block (row 0 at the bottom); 0 outside it.
std::uint32_t PixelAtRGBA(const std::vector<std::uint8_t>& pixels, int width, int height, int x, int y);

class TGLScreenShot {
public:
    // Frees the previous buffer, takes the size, increments Count and reads
    // the pixels (0, 0, width, height) of the current context.
    void Capture(int width, int height);
    // Start of row index (0 = the bottom row), or nullptr outside the buffer.
    std::uint8_t* Row(int index);
    const std::uint8_t* Row(int index) const;
    // Frees the buffer and zeroes Width, Height and RowSize.
    void Clear();

    int Width() const { return width_; }
    int Count() const { return count_; }
    int Height() const { return height_; }
    int RowSize() const { return rowSize_; }
    static constexpr int BytesPerPixel = 3;
    const std::vector<std::uint8_t>& Buffer() const { return buffer_; }

private:
    int width_ = 0;
    int count_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> buffer_;
    int rowSize_ = 0;
};

class TCustomOpenGL : public IGLCapabilities {
public:
    explicit TCustomOpenGL(std::unique_ptr<TGLContextDriver> driver = nullptr);
    virtual ~TCustomOpenGL();
    TCustomOpenGL(const TCustomOpenGL&) = delete;
    TCustomOpenGL& operator=(const TCustomOpenGL&) = delete;

    // The first virtual operation: the base only stores the value.
    virtual void SetRenderer(TGLRenderer renderer);
    // The effective renderer: once formats are enumerated, OpenGL or DirectX
    // without hardware formats turns into Generic (and is stored).
    TGLRenderer Renderer();

    // The window-system driver; the context owns it.
    void SetDriver(std::unique_ptr<TGLContextDriver> driver);
    TGLContextDriver* Driver() const { return driver_.get(); }

    // Creates and activates the context. Never raises; test Active afterwards.
    void Activate(TDeviceContext dc);
    // Releases the GL objects, destroys the context and clears the formats.
    void Deactivate();
    // Flush, swap-interval control, swap, invert SwapParity. With a present
    // region set for this frame, a software rasterizer whose driver can copy
    // parts of the back buffer to the screen shows just those parts (the
    // whole picture after InvalidateFront) and keeps the back buffer.
    void SwapBuffers(TDeviceContext dc);
    // What the next SwapBuffers has to show: the changed rectangles of the
    // picture, and the whole picture's rectangle. Cleared by every swap.
    void SetPresentRegion(const TGLRegion& changed, const TGLRect& whole);
    // The window lost what was shown (it was covered, or repainted by the
    // system): the next swap shows the whole picture.
    void InvalidateFront() { frontLost_ = true; }
    // What the back buffer holds now: 1 when it is the picture drawn last
    // (no swap since, or the last swap copied parts and kept it), the
    // driver's age after a swap that exchanged buffers, 0 when unknown.
    int BackBufferAge();
    // Swaps made through this context.
    std::uint64_t SwapCount() const { return swapCount_; }
    // Changes with every activation that made a new rendering context: GL
    // names of an older generation no longer exist.
    std::uint64_t ContextGeneration() const { return contextGeneration_; }
    // Swaps only when SwapParity is false (repaint without a new frame).
    void PaintSwap(TDeviceContext dc);

    // Loads the GL library by file name and resolves the entry points.
    // Raises "Error: Could not load DLL from <name>" when it cannot.
    void LoadOpenGL(const std::string& fileName);
    void UnloadOpenGL();
    // Resolves the extension entry points (after the context is current).
    void LoadExtensions();

    // Fills HardwareFormats and GenericFormats (skipped while FormatsEnumerated).
    void EnumFormats(TDeviceContext dc);
    // Index of the best format of the active list for the request, or -1.
    int SelectFormat(const TGLPixelFormat& request);
    // Sets the chosen format, creates the context, makes it current and
    // initialises the lists. Raises the "Create RC failed: ..." errors.
    void CreateRC(TDeviceContext dc);

    // The integer state value; raises
    // "TCustomOpenGL.GetInt error: OpenGL is not activated!" without a context.
    int GetInt(GLenum name) override;
    // Plain substring search in the current GL_EXTENSIONS string.
    bool HasExtension(std::string_view name) override;

    void SetCullFace(bool on);
    void SetDepthTest(bool on);
    void SetLighting(bool on);
    void SetPerspectiveHint(bool nicest) override;

    const std::string& GLVersion() const { return glVersion_; }
    // Read on first request while active, cached until the next activation.
    const std::string& GLRenderer();
    const std::string& GLVendor();
    // True when the current context rasterises on the CPU: the system's
    // generic renderer, or a driver whose GL_RENDERER names a software
    // rasteriser (Mesa's llvmpipe and softpipe, SwiftShader, ...).
    bool SoftwareRasterizer() override;

    TGLLightList& Lights() { return *lights_; }
    TGLMaterialList& Materials() { return *materials_; }
    TGLPrimitiveList& Primitives() { return *primitives_; }
    TGLScreenShot& ScreenShot() { return *screenShot_; }
    TGLTextureList& Textures() { return *textures_; }
    TGLViewportList& Viewports() { return *viewports_; }
    TGLDisplayListList& DisplayLists() { return *displayLists_; }

    // The formats of the active list and its chosen index.
    const std::vector<TGLPixelFormat>& ActiveFormats();
    int ActiveFormatIndex();

    bool WaitSync = true;
    std::vector<std::string> Extensions;
    std::vector<std::string> WGLExtensions;
    std::vector<TGLPixelFormat> HardwareFormats;
    std::vector<TGLPixelFormat> GenericFormats;
    int HardwareFormatIndex = -1;
    int GenericFormatIndex = -1;

    bool FormatsEnumerated() const { return formatsEnumerated_; }
    bool Active() const override { return active_; }
    bool LibraryLoaded() const { return libraryLoaded_; }
    bool SwapParity() const { return swapParity_; }
    // The message of the last failed activation (empty after a success).
    const std::string& LastError() const { return lastError_; }

protected:
    // The library file of a renderer ("opengl32.dll" or "dx7ogl32.dll").
    virtual std::string LibraryName(TGLRenderer renderer) const;
    // Destroys the context: releases texture names, makes no context current,
    // deletes the context (and its palette).
    void DestroyRC();

private:
    bool UseGenericList();

    std::unique_ptr<TGLContextDriver> driver_;
    std::string glVersion_;
    std::string glRenderer_;
    std::string glVendor_;
    TGLRenderer renderer_ = TGLRenderer::OpenGL;
    std::unique_ptr<TGLLightList> lights_;
    std::unique_ptr<TGLMaterialList> materials_;
    std::unique_ptr<TGLPrimitiveList> primitives_;
    std::unique_ptr<TGLScreenShot> screenShot_;
    std::unique_ptr<TGLTextureList> textures_;
    std::unique_ptr<TGLViewportList> viewports_;
    std::unique_ptr<TGLDisplayListList> displayLists_;
    bool formatsEnumerated_ = false;
    bool active_ = false;
    bool libraryLoaded_ = false;
    bool swapParity_ = true;
    TDeviceContext currentDC_ = 0;
    std::string lastError_;
    TGLRegion presentRegion_;
    TGLRect presentWhole_;
    TGLRect lastWhole_;
    bool presentRegionSet_ = false;
    bool frontLost_ = false;
    bool backKept_ = true;
    std::uint64_t swapCount_ = 0;
    std::uint64_t contextGeneration_ = 0;
};
