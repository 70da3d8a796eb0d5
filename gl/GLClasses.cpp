#include "gl/GLClasses.h"

#include <cstring>
#include <exception>

#include "gl/Errors.h"
#include "gl/GLState.h"

namespace {
// Masks the x87 floating-point exceptions (control word 0x133F) where there is
// an x87 unit; drivers may otherwise trap on denormals or divisions by zero.
void MaskGLFPUExceptions()
{
#if (defined(__i386__) || defined(__x86_64__)) && (defined(__GNUC__) || defined(__clang__))
    const unsigned short controlWord = 0x133F;
    __asm__ __volatile__("fldcw %0" : : "m"(controlWord));
#endif
}
} // namespace

std::vector<std::string> SplitExtensionString(std::string_view text)
{
    std::vector<std::string> names;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == ','))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != ',')
            ++i;
        if (i > start)
            names.emplace_back(text.substr(start, i - start));
    }
    return names;
}

// ---- TGLScreenShot ----

std::vector<std::uint8_t> ReadPixelsRGBA(int width, int height)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4, 0);
    if (!glReadPixels || pixels.empty())
        return pixels;
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::uint32_t PixelAtRGBA(const std::vector<std::uint8_t>& pixels, int width, int height, int x, int y)
{
    if (x < 0 || y < 0 || x >= width || y >= height || pixels.size() < static_cast<std::size_t>(width) * height * 4)
        return 0;
    std::uint32_t value;
    std::memcpy(&value, pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4, 4);
    return value;
}

void TGLScreenShot::Capture(int width, int height)
{
    Clear();
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    rowSize_ = width_ * BytesPerPixel;
    ++count_;
    buffer_.assign(static_cast<std::size_t>(rowSize_) * static_cast<std::size_t>(height_), 0);
    if (buffer_.empty() || !glReadPixels)
        return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, buffer_.data());
}

const std::uint8_t* TGLScreenShot::Row(int index) const
{
    if (index < 0 || index >= height_ || buffer_.empty())
        return nullptr;
    return buffer_.data() + static_cast<std::size_t>(index) * rowSize_;
}

std::uint8_t* TGLScreenShot::Row(int index)
{
    return const_cast<std::uint8_t*>(static_cast<const TGLScreenShot*>(this)->Row(index));
}

void TGLScreenShot::Clear()
{
    buffer_.clear();
    buffer_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
    rowSize_ = 0;
}

// ---- TCustomOpenGL ----

TCustomOpenGL::TCustomOpenGL(std::unique_ptr<TGLContextDriver> driver)
    : driver_(std::move(driver)),
      lights_(std::make_unique<TGLLightList>(this)),
      materials_(std::make_unique<TGLMaterialList>(this)),
      primitives_(std::make_unique<TGLPrimitiveList>(this)),
      screenShot_(std::make_unique<TGLScreenShot>()),
      textures_(std::make_unique<TGLTextureList>(this)),
      viewports_(std::make_unique<TGLViewportList>(this)),
      displayLists_(std::make_unique<TGLDisplayListList>(this))
{
    lights_->SetCapacity(16);
    materials_->SetCapacity(1000);
    materials_->LightModel = true;
    primitives_->SetCapacity(100000);
    textures_->SetCapacity(1000);
    viewports_->SetCapacity(16);
    displayLists_->SetCapacity(1000);
}

TCustomOpenGL::~TCustomOpenGL()
{
    Deactivate();
    displayLists_.reset();
    lights_.reset();
    materials_.reset();
    primitives_.reset();
    screenShot_.reset();
    textures_.reset();
    viewports_.reset();
    UnloadOpenGL();
}

void TCustomOpenGL::SetRenderer(TGLRenderer renderer) { renderer_ = renderer; }

TGLRenderer TCustomOpenGL::Renderer()
{
    if (formatsEnumerated_ && renderer_ != TGLRenderer::Generic && HardwareFormats.empty())
        renderer_ = TGLRenderer::Generic;
    return renderer_;
}

void TCustomOpenGL::SetDriver(std::unique_ptr<TGLContextDriver> driver)
{
    Deactivate();
    UnloadOpenGL();
    driver_ = std::move(driver);
}

std::string TCustomOpenGL::LibraryName(TGLRenderer renderer) const
{
    return renderer == TGLRenderer::DirectX ? DirectXLibraryName : OpenGLLibraryName;
}

void TCustomOpenGL::LoadOpenGL(const std::string& fileName)
{
    UnloadOpenGL();
    if (!driver_)
        RaiseMessage("Error: Could not load DLL from " + fileName);
    driver_->LoadGLLibrary(fileName);
    LoadGLEntryPoints(*driver_);
    libraryLoaded_ = true;
}

void TCustomOpenGL::UnloadOpenGL()
{
    ClearGLEntryPoints();
    if (driver_)
        driver_->UnloadLibrary();
    libraryLoaded_ = false;
}

void TCustomOpenGL::LoadExtensions()
{
    if (driver_)
        LoadGLExtensionEntryPoints(*driver_);
}

void TCustomOpenGL::EnumFormats(TDeviceContext dc)
{
    if (formatsEnumerated_)
        return;
    MaskGLFPUExceptions();
    HardwareFormats.clear();
    GenericFormats.clear();
    std::vector<TGLPixelFormatDescriptor> descriptors;
    if (driver_)
        descriptors = driver_->DescribePixelFormats(dc);
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        TGLPixelFormat format = TGLPixelFormat::FromDescriptor(descriptors[i], static_cast<int>(i) + 1);
        if (format.IsGeneric())
            GenericFormats.push_back(format);
        else
            HardwareFormats.push_back(format);
    }
    formatsEnumerated_ = !descriptors.empty();
}

bool TCustomOpenGL::UseGenericList() { return Renderer() == TGLRenderer::Generic || HardwareFormats.empty(); }

const std::vector<TGLPixelFormat>& TCustomOpenGL::ActiveFormats()
{
    return UseGenericList() ? GenericFormats : HardwareFormats;
}

int TCustomOpenGL::ActiveFormatIndex() { return UseGenericList() ? GenericFormatIndex : HardwareFormatIndex; }

int TCustomOpenGL::SelectFormat(const TGLPixelFormat& request)
{
    if (!formatsEnumerated_)
        EnumFormats(0);
    return SelectPixelFormat(ActiveFormats(), request);
}

void TCustomOpenGL::CreateRC(TDeviceContext dc)
{
    const std::vector<TGLPixelFormat>& formats = ActiveFormats();
    const int index = ActiveFormatIndex();
    if (index < 0 || index >= static_cast<int>(formats.size()))
        RaiseMessage("Create RC failed: FormatIndex is not selected!");
    const TGLPixelFormat& format = formats[static_cast<std::size_t>(index)];
    if (format.FormatNumber == 0)
        RaiseMessage("Create RC failed: Pixel Format is not choosed!");
    MaskGLFPUExceptions();
    if (!driver_)
        RaiseMessage("Create RC failed: Context is not created!");
    driver_->CreateContext(dc, format);
    if (!driver_->MakeCurrent(dc, true))
        RaiseMessage("Create RC failed: Context is not created!");
    // The lists call back into the context (extension tests, GetInt).
    active_ = true;
    LoadExtensions();
    lights_->InitGL();
    materials_->InitGL();
    displayLists_->InitGL();
    primitives_->InitGL();
    textures_->InitGL();
    viewports_->InitGL();
}

void TCustomOpenGL::Activate(TDeviceContext dc)
{
    active_ = true;
    lastError_.clear();
    const TGLRenderer requested = renderer_;
    try {
        if (!libraryLoaded_) {
            LoadOpenGL(LibraryName(Renderer()));
            libraryLoaded_ = true;
        }
        EnumFormats(dc);
        HardwareFormatIndex = GenericFormatIndex = SelectFormat(DefaultPixelFormatRequest());
        CreateRC(dc);
        currentDC_ = dc;
        const GLubyte* version = glGetString ? glGetString(GL_VERSION) : nullptr;
        glVersion_ = version ? reinterpret_cast<const char*>(version) : "";
        glRenderer_.clear();
        glVendor_.clear();
        const GLubyte* extensions = glGetString ? glGetString(GL_EXTENSIONS) : nullptr;
        Extensions = SplitExtensionString(extensions ? reinterpret_cast<const char*>(extensions) : "");
        WGLExtensions = SplitExtensionString(driver_->PlatformExtensions(dc));
        displayLists_->BuildAll();
        ++contextGeneration_;
        backKept_ = true;
    } catch (const std::exception& e) {
        lastError_ = e.what();
        // A half-made context would otherwise outlive the failed activation.
        DestroyRC();
        active_ = false;
        if (requested == TGLRenderer::DirectX)
            SetRenderer(TGLRenderer::OpenGL);
    }
}

void TCustomOpenGL::DestroyRC()
{
    MaskGLFPUExceptions();
    if (driver_ && driver_->HasContext()) {
        textures_->ReleaseAll();
        driver_->MakeCurrent(currentDC_, false);
        driver_->DestroyContext();
    }
}

void TCustomOpenGL::Deactivate()
{
    if (!active_)
        return;
    displayLists_->ReleaseAll();
    DestroyRC();
    HardwareFormats.clear();
    GenericFormats.clear();
    HardwareFormatIndex = GenericFormatIndex = -1;
    formatsEnumerated_ = false;
    active_ = false;
}

void TCustomOpenGL::SwapBuffers(TDeviceContext dc)
{
    if (glFlush)
        glFlush();
    if (driver_ && driver_->HasSwapInterval()) {
        const int interval = driver_->GetSwapInterval();
        if (WaitSync && interval != 1)
            driver_->SetSwapInterval(1);
        else if (!WaitSync && interval != 0)
            driver_->SetSwapInterval(0);
    }
    if (driver_) {
        bool copied = false;
        // A surface of a new size takes it on at a swap; until then a copy of
        // parts would show the old one. The frame after shows whole too.
        const bool resized = presentRegionSet_ && !(presentWhole_ == lastWhole_);
        if (presentRegionSet_)
            lastWhole_ = presentWhole_;
        if (presentRegionSet_ && !resized && SoftwareRasterizer()) {
            // Copying the changed parts leaves the back buffer defined, so
            // the next frame draws only what changes; a lost front gets the
            // whole picture.
            std::vector<TGLRect> rects = presentRegion_.Rects();
            if (frontLost_)
                rects = {presentWhole_};
            copied = driver_->SwapRegion(dc, rects);
            if (copied)
                frontLost_ = false;
        }
        if (!copied) {
            driver_->SwapBuffers(dc);
            frontLost_ = resized;
        }
        backKept_ = copied;
    }
    presentRegionSet_ = false;
    presentRegion_.Clear();
    ++swapCount_;
    swapParity_ = !swapParity_;
}

void TCustomOpenGL::SetPresentRegion(const TGLRegion& changed, const TGLRect& whole)
{
    presentRegion_ = changed;
    presentWhole_ = whole;
    presentRegionSet_ = !whole.Empty();
}

int TCustomOpenGL::BackBufferAge()
{
    if (backKept_)
        return 1;
    return driver_ ? driver_->BackBufferAge(currentDC_) : 0;
}

void TCustomOpenGL::PaintSwap(TDeviceContext dc)
{
    if (!swapParity_)
        SwapBuffers(dc);
}

int TCustomOpenGL::GetInt(GLenum name)
{
    if (!active_ || !glGetIntegerv)
        RaiseNotActive();
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

bool TCustomOpenGL::HasExtension(std::string_view name)
{
    if (!active_ || !glGetString)
        return false;
    const GLubyte* extensions = glGetString(GL_EXTENSIONS);
    if (!extensions)
        return false;
    return std::string_view(reinterpret_cast<const char*>(extensions)).find(name) != std::string_view::npos;
}

void TCustomOpenGL::SetCullFace(bool on) { SwitchGLCapability(GL_CULL_FACE, on); }
void TCustomOpenGL::SetDepthTest(bool on) { SwitchGLCapability(GL_DEPTH_TEST, on); }
void TCustomOpenGL::SetLighting(bool on) { SwitchGLCapability(GL_LIGHTING, on); }

void TCustomOpenGL::SetPerspectiveHint(bool nicest)
{
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, nicest ? GL_NICEST : GL_FASTEST);
}

const std::string& TCustomOpenGL::GLRenderer()
{
    if (glRenderer_.empty() && active_ && glGetString) {
        const GLubyte* s = glGetString(GL_RENDERER);
        if (s)
            glRenderer_ = reinterpret_cast<const char*>(s);
    }
    return glRenderer_;
}

bool TCustomOpenGL::SoftwareRasterizer()
{
    if (Renderer() == TGLRenderer::Generic)
        return true;
    // Read afresh: the cached name may still be the previous context's.
    const GLubyte* s = active_ && glGetString ? glGetString(GL_RENDERER) : nullptr;
    if (!s)
        return false;
    const std::string_view name(reinterpret_cast<const char*>(s));
    for (std::string_view known : {"llvmpipe", "softpipe", "Software Rasterizer", "SwiftShader", "GDI Generic"})
        if (name.find(known) != std::string_view::npos)
            return true;
    return false;
}

const std::string& TCustomOpenGL::GLVendor()
{
    if (glVendor_.empty() && active_ && glGetString) {
        const GLubyte* s = glGetString(GL_VENDOR);
        if (s)
            glVendor_ = reinterpret_cast<const char*>(s);
    }
    return glVendor_;
}
