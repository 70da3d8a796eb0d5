#include "scene/SceneFrameCache.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "gl/GLClasses.h"
#include "gl/GLTextures.h"
#include "scene/SceneObjects.h"
#include "scene/SceneRender.h"

namespace {

// A 64-bit hash over 32-bit words (FNV-1a on words, then a final mix).
class THash {
public:
    void Word(std::uint32_t w)
    {
        h_ = (h_ ^ w) * 0x100000001B3ull;
    }
    void Words(const void* data, std::size_t bytes)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i + 4 <= bytes; i += 4) {
            std::uint32_t w;
            std::memcpy(&w, p + i, 4);
            Word(w);
        }
        std::uint32_t rest = 0;
        if (i < bytes) {
            std::memcpy(&rest, p + i, bytes - i);
            Word(rest);
        }
    }
    void Wide(std::uint64_t v)
    {
        Word(static_cast<std::uint32_t>(v));
        Word(static_cast<std::uint32_t>(v >> 32));
    }
    template <class T>
    void Array(const T* data, int count)
    {
        Word(static_cast<std::uint32_t>(count));
        if (data && count > 0)
            Words(data, sizeof(T) * static_cast<std::size_t>(count));
    }
    std::uint64_t Value() const
    {
        std::uint64_t x = h_;
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        return x;
    }

private:
    std::uint64_t h_ = 0xCBF29CE484222325ull;
};

std::uint64_t DrawKey(const TGLPrimitive* p, int occurrence)
{
    THash h;
    h.Wide(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p)));
    h.Word(static_cast<std::uint32_t>(occurrence));
    return h.Value();
}

bool Enabled(GLenum cap)
{
    return glIsEnabled(cap) != GL_FALSE;
}

// What the GL does to a draw beyond its own arrays: the matrices, the
// switches and their parameters, texture, material and lights.
void HashDrawState(THash& h, const TGLPrimitive& p, std::uint64_t frame, bool& opaqueDepth, float mvp[16],
                   GLint vp[4])
{
    GLfloat mv[16], pr[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_PROJECTION_MATRIX, pr);
    glGetIntegerv(GL_VIEWPORT, vp);
    h.Words(mv, sizeof mv);
    h.Words(pr, sizeof pr);
    h.Words(vp, 4 * sizeof(GLint));
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += pr[k * 4 + r] * mv[c * 4 + k];
            mvp[c * 4 + r] = s;
        }

    const bool texture = Enabled(GL_TEXTURE_2D), lighting = Enabled(GL_LIGHTING), blend = Enabled(GL_BLEND);
    const bool alphaTest = Enabled(GL_ALPHA_TEST), depthTest = Enabled(GL_DEPTH_TEST);
    const bool cull = Enabled(GL_CULL_FACE), fog = Enabled(GL_FOG);
    GLboolean depthMask = GL_TRUE, colorMask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    glGetBooleanv(GL_COLOR_WRITEMASK, colorMask);
    h.Word((texture ? 1u : 0u) | (lighting ? 2u : 0u) | (blend ? 4u : 0u) | (alphaTest ? 8u : 0u) |
           (depthTest ? 16u : 0u) | (cull ? 32u : 0u) | (fog ? 64u : 0u) | (depthMask ? 128u : 0u) |
           (colorMask[0] ? 256u : 0u) | (colorMask[1] ? 512u : 0u) | (colorMask[2] ? 1024u : 0u) |
           (colorMask[3] ? 2048u : 0u));
    opaqueDepth = !blend && depthTest && depthMask && colorMask[0] && colorMask[1] && colorMask[2];
    GLint v[2] = {};
    if (blend) {
        glGetIntegerv(GL_BLEND_SRC, &v[0]);
        glGetIntegerv(GL_BLEND_DST, &v[1]);
        h.Words(v, sizeof v);
    }
    if (alphaTest) {
        GLfloat ref = 0;
        glGetIntegerv(GL_ALPHA_TEST_FUNC, &v[0]);
        glGetFloatv(GL_ALPHA_TEST_REF, &ref);
        h.Word(static_cast<std::uint32_t>(v[0]));
        h.Words(&ref, sizeof ref);
    }
    if (depthTest) {
        glGetIntegerv(GL_DEPTH_FUNC, &v[0]);
        h.Word(static_cast<std::uint32_t>(v[0]));
    }
    if (cull) {
        glGetIntegerv(GL_CULL_FACE_MODE, &v[0]);
        glGetIntegerv(GL_FRONT_FACE, &v[1]);
        h.Words(v, sizeof v);
    }
    const int count = p.Vertices.Count();
    if (p.Colors.Count() != count && p.Colors.Count() != 1) {
        GLfloat color[4];
        glGetFloatv(GL_CURRENT_COLOR, color);
        h.Words(color, sizeof color);
    }
    if (texture) {
        GLint name = 0, env = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        const TGLTexture* bound = BoundTexture(0);
        // A texture bound past the texture objects has no revision to go by:
        // taken as new in every frame.
        h.Wide(bound && bound->Name() == static_cast<GLuint>(name) ? bound->Revision() : (frame | (1ull << 63)));
        h.Word(static_cast<std::uint32_t>(name));
        h.Word(static_cast<std::uint32_t>(env));
    }
    for (int unit = 1; unit < 4; ++unit)
        if (const TGLTexture* t = BoundTexture(unit))
            h.Wide(t->Revision());
    if (lighting) {
        GLfloat m[4];
        for (GLenum pname : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION}) {
            glGetMaterialfv(GL_FRONT, pname, m);
            h.Words(m, sizeof m);
        }
        glGetMaterialfv(GL_FRONT, GL_SHININESS, m);
        h.Words(m, sizeof(GLfloat));
        glGetFloatv(GL_LIGHT_MODEL_AMBIENT, m);
        h.Words(m, sizeof m);
        for (int i = 0; i < 8; ++i) {
            const GLenum light = GL_LIGHT0 + static_cast<GLenum>(i);
            if (!Enabled(light))
                continue;
            h.Word(static_cast<std::uint32_t>(i));
            for (GLenum pname : {GL_POSITION, GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR}) {
                glGetLightfv(light, pname, m);
                h.Words(m, sizeof m);
            }
        }
    }
    if (fog) {
        GLfloat f[4];
        glGetFloatv(GL_FOG_COLOR, f);
        h.Words(f, sizeof f);
        for (GLenum pname : {GL_FOG_START, GL_FOG_END, GL_FOG_DENSITY}) {
            glGetFloatv(pname, f);
            h.Words(f, sizeof(GLfloat));
        }
        glGetIntegerv(GL_FOG_MODE, &v[0]);
        h.Word(static_cast<std::uint32_t>(v[0]));
    }
}

// Where the primitive's triangles can land: for each, the window pixels
// around its projected corners (one more on every side, for rounding),
// within the viewport, and the window depth of its nearest corner. A corner
// behind the eye, or before the near plane, lets the triangle reach the
// whole viewport and be clipped to depths of its own: then it cannot be
// taken as hidden. Other modes than triangles count as one piece.
void ProjectTriangles(const TGLPrimitive& p, const float m[16], const GLint vp[4], const GLfloat range[2],
                      std::vector<TSceneFrameCache::TPiece>& pieces, TGLRect& bounds)
{
    const TGLRect view{vp[0], vp[1], vp[2], vp[3]};
    pieces.clear();
    bounds = {};
    const int count = p.Vertices.Count();
    const TGLVector* v = p.Vertices.Data();
    if (!v || count == 0)
        return;
    struct TCorner {
        float X, Y, Z;
        bool Ok;        // in front of the eye
        bool Beyond;    // and not before the near plane
    };
    thread_local std::vector<TCorner> corners;
    corners.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const float x = v[i].X, y = v[i].Y, z = v[i].Z;
        const float cw = m[3] * x + m[7] * y + m[11] * z + m[15];
        TCorner& c = corners[static_cast<std::size_t>(i)];
        c.Ok = cw > 1e-6f;
        if (!c.Ok)
            continue;
        const float nz = (m[2] * x + m[6] * y + m[10] * z + m[14]) / cw;
        c.Beyond = nz >= -1.0f;
        // Far outside the view the numbers stop mattering; keep them in range.
        const float nx = std::clamp((m[0] * x + m[4] * y + m[8] * z + m[12]) / cw, -4.0f, 4.0f);
        const float ny = std::clamp((m[1] * x + m[5] * y + m[9] * z + m[13]) / cw, -4.0f, 4.0f);
        c.X = static_cast<float>(vp[0]) + (nx + 1.0f) * 0.5f * static_cast<float>(vp[2]);
        c.Y = static_cast<float>(vp[1]) + (ny + 1.0f) * 0.5f * static_cast<float>(vp[3]);
        c.Z = range[0] + (nz * 0.5f + 0.5f) * (range[1] - range[0]);
    }
    auto piece = [&](const int* index, int n) {
        TSceneFrameCache::TPiece out;
        float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f, z0 = 1e30f;
        bool ok = true, beyond = true;
        for (int k = 0; k < n; ++k) {
            const int i = index ? index[k] : k;
            if (i < 0 || i >= count)
                continue;
            const TCorner& c = corners[static_cast<std::size_t>(i)];
            if (!c.Ok) {
                ok = false;
                break;
            }
            x0 = std::min(x0, c.X);
            x1 = std::max(x1, c.X);
            y0 = std::min(y0, c.Y);
            y1 = std::max(y1, c.Y);
            z0 = std::min(z0, c.Z);
            beyond = beyond && c.Beyond;
        }
        if (!ok) {
            out.Pixels = view;
            out.Hidable = false;
        } else if (x1 < x0) {
            return;
        } else {
            const int ix0 = static_cast<int>(std::floor(x0)) - 1, iy0 = static_cast<int>(std::floor(y0)) - 1;
            const int ix1 = static_cast<int>(std::ceil(x1)) + 1, iy1 = static_cast<int>(std::ceil(y1)) + 1;
            out.Pixels = IntersectRect({ix0, iy0, ix1 - ix0, iy1 - iy0}, view);
            out.Nearest = z0;
            out.Hidable = beyond;
        }
        if (out.Pixels.Empty())
            return;
        bounds = UnionRect(bounds, out.Pixels);
        pieces.push_back(out);
    };
    if (p.Mode != GL_TRIANGLES) {
        piece(nullptr, count);
        return;
    }
    const int n = p.Indices.Count() > 0 ? p.Indices.Count() : count;
    int tri[3];
    for (int i = 0; i + 2 < n; i += 3) {
        for (int k = 0; k < 3; ++k)
            tri[k] = p.Indices.Count() > 0 ? p.Indices.Data()[i + k] : i + k;
        piece(tri, 3);
    }
}

std::uint32_t ReadPixel(int x, int y)
{
    std::uint32_t v = 0;
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &v);
    return v;
}

int GLMajorVersion(const std::string& version)
{
    return std::atoi(version.c_str());
}

bool FramebufferFunctions()
{
    return glGenFramebuffers && glDeleteFramebuffers && glBindFramebuffer && glFramebufferTexture2D &&
           glCheckFramebufferStatus && glBlitFramebuffer;
}

// Stable frames a draw needs before it is cached again after a change:
// longer each time, so a draw that keeps changing stops costing rebuilds.
constexpr int kMaxPromoteAfter = 1024;
// Back-buffer ages the recent changes cover.
constexpr std::size_t kRecentFrames = 2;

} // namespace

TSceneFrameCache::TSceneFrameCache() = default;

TSceneFrameCache::~TSceneFrameCache() = default;

// ---------------------------------------------------------------- draws

int TSceneFrameCache::BeforeDraw(const TGLPrimitive& primitive)
{
    switch (pass_) {
    case TPass::Measure:
        Measure(primitive);
        return 0;
    case TPass::Still: {
        const int i = NextDraw(primitive);
        return i >= 0 && draws_[static_cast<std::size_t>(i)].Cached ? 1 : 0;
    }
    case TPass::Depth: {
        const int i = NextDraw(primitive);
        if (i < 0 || !draws_[static_cast<std::size_t>(i)].Cached)
            return 0;
        const int times = RectsMet(draws_[static_cast<std::size_t>(i)].Bounds);
        // Only depth is written: the texture is not sampled unless the
        // alpha test needs it to decide which fragments write.
        restoreTexture_ = times > 0 && Enabled(GL_TEXTURE_2D) && !Enabled(GL_ALPHA_TEST);
        if (restoreTexture_)
            glDisable(GL_TEXTURE_2D);
        return times;
    }
    case TPass::Moving: {
        const int i = NextDraw(primitive);
        if (i < 0) {
            // Not measured: drawn everywhere it may reach.
            drawRects_.clear();
            for (std::size_t k = 0; k < rects_.size(); ++k)
                drawRects_.push_back(static_cast<int>(k));
            return static_cast<int>(drawRects_.size());
        }
        const TDraw& d = draws_[static_cast<std::size_t>(i)];
        if (d.Cached)
            return 0;
        return clip_ ? RectsMet(d.Bounds) : 1;
    }
    case TPass::None:
        break;
    }
    return 1;
}

int TSceneFrameCache::RectsMet(const TGLRect& bounds)
{
    drawRects_.clear();
    for (std::size_t k = 0; k < rects_.size(); ++k)
        if (RectsMeet(rects_[k], bounds))
            drawRects_.push_back(static_cast<int>(k));
    return static_cast<int>(drawRects_.size());
}

void TSceneFrameCache::BeforeEach(int index)
{
    if (!clip_ || index < 0 || index >= static_cast<int>(drawRects_.size()))
        return;
    const TGLRect& r = rects_[static_cast<std::size_t>(drawRects_[static_cast<std::size_t>(index)])];
    glScissor(r.X, r.Y, r.Width, r.Height);
}

void TSceneFrameCache::AfterDraw(const TGLPrimitive&)
{
    if (restoreTexture_) {
        glEnable(GL_TEXTURE_2D);
        restoreTexture_ = false;
    }
}

int TSceneFrameCache::NextDraw(const TGLPrimitive& primitive)
{
    const std::size_t i = passIndex_++;
    if (i >= draws_.size() || draws_[i].Primitive != &primitive) {
        // The scene drew something else than when it was measured (a clock
        // that turned over in between): this frame cannot trust the list.
        passMismatch_ = true;
        return -1;
    }
    return static_cast<int>(i);
}

void TSceneFrameCache::Measure(const TGLPrimitive& p)
{
    TDraw d;
    d.Primitive = &p;
    d.Key = DrawKey(&p, occurrences_[&p]++);
    THash h;
    h.Word(static_cast<std::uint32_t>(p.Mode));
    h.Array(p.Vertices.Data(), p.Vertices.Count());
    h.Array(p.Normals.Data(), p.Normals.Count());
    h.Array(p.Colors.Data(), p.Colors.Count());
    h.Array(p.TexCoords[0].Data(), p.TexCoords[0].Count());
    h.Array(p.Indices.Data(), p.Indices.Count());
    float mvp[16];
    GLint vp[4];
    HashDrawState(h, p, frame_, d.OpaqueDepth, mvp, vp);
    d.Signature = h.Value();
    GLfloat range[2] = {0, 1};
    glGetFloatv(GL_DEPTH_RANGE, range);
    ProjectTriangles(p, mvp, vp, range, d.Pieces, d.RawBounds);
    if (Enabled(GL_DEPTH_TEST)) {
        GLint func = 0;
        glGetIntegerv(GL_DEPTH_FUNC, &func);
        d.DepthHidable = func == GL_LESS || func == GL_LEQUAL;
    }
    SetVisible(d);
    draws_.push_back(d);
}

void TSceneFrameCache::RunPass(TMainScene& scene, TPass pass, const std::function<void()>& setup)
{
    // Every pass starts from the GL state the frame started with, as the
    // scene's single pass would (the scene leaves lighting, culling and
    // depth testing as its last object wanted them).
    if (statePushed_ && passesRun_ > 0) {
        glPopAttrib();
        glPushAttrib(GL_ALL_ATTRIB_BITS);
    }
    ++passesRun_;
    if (setup)
        setup();
    pass_ = pass;
    passIndex_ = 0;
    try {
        TGLDrawFilterScope scope(pass == TPass::None ? nullptr : this);
        scene.Render();
    } catch (...) {
        // The pass ends with the error; the next frame is drawn whole.
        pass_ = TPass::None;
        restoreTexture_ = false;
        invalid_ = true;
        throw;
    }
    if (pass != TPass::None && pass != TPass::Measure && passIndex_ != draws_.size())
        passMismatch_ = true;
    pass_ = TPass::None;
}

// ---------------------------------------------------------------- classification

void TSceneFrameCache::Classify()
{
    TGLTileMask changed(viewport_, kTile);
    bool prefix = true;
    for (TDraw& d : draws_) {
        // Only the opaque, depth-writing draws before the first other one
        // may be drawn ahead of everything else without changing the picture.
        if (!d.OpaqueDepth)
            prefix = false;
        TDrawHistory& h = history_[d.Key];
        const bool known = h.SeenFrame != 0;
        const bool same = known && h.Signature == d.Signature;
        h.StableFrames = same ? h.StableFrames + 1 : 0;
        if (h.Cached && (!same || !prefix)) {
            h.Cached = false;
            h.PromoteAfter = std::min(h.PromoteAfter * 4, kMaxPromoteAfter);
        }
        if (!h.Cached && prefix && h.StableFrames >= h.PromoteAfter)
            h.Cached = true;
        d.Cached = h.Cached;
        if (!same) {
            // Where it was and where it is.
            changed.Add(d.Mask);
            if (known)
                changed.Add(h.Mask);
        }
        h.Signature = d.Signature;
        h.Mask = d.Mask;
        h.SeenFrame = frame_;
    }
    for (auto it = history_.begin(); it != history_.end();) {
        if (it->second.SeenFrame != frame_) {
            changed.Add(it->second.Mask);
            it = history_.erase(it);
        } else {
            ++it;
        }
    }
    changed_.Assign(changed.Rectangles(kMaxRects));
    changedTilePixels_ = 0;
    for (const TGLRect& r : changed.Rectangles(1 << 20))
        changedTilePixels_ += r.Area();
}

// ---------------------------------------------------------------- the frame

bool TSceneFrameCache::Supported(TCustomOpenGL& gl)
{
    return gl.Active() && SceneGLReady() && glCopyTexSubImage2D && glTexImage2D && glGenTextures &&
           glDeleteTextures && glScissor && glColorMask && glReadPixels && glGetFloatv && glGetBooleanv &&
           glIsEnabled && glGetMaterialfv && glGetLightfv && glGetTexEnviv && glBegin && glPushAttrib;
}

void TSceneFrameCache::Render(TMainScene& scene)
{
    TCustomOpenGL* gl = scene.OpenGL;
    ++frame_;
    report_ = TFrameReport{};
    if (!gl || FullRedraw || !Supported(*gl)) {
        // Drawn and shown as without the cache: a plain swap follows.
        DrawWhole(scene);
        invalid_ = true;
        frameKept_ = false;
        recent_.clear();
        probes_.clear();
        return;
    }
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    viewport_ = {vp[0], vp[1], vp[2], vp[3]};
    hasBlit_ = FramebufferFunctions();
    drawFramebuffer_ = readFramebuffer_ = 0;
    if (hasBlit_) {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer_);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer_);
    }
    formats_ = ReadFormats();
    software_ = gl->SoftwareRasterizer();
    const int windowAge = FindBackBufferAge(*gl);
    report_.BackBufferAge = windowAge;

    // The state every pass starts from, put back when the frame is done.
    struct TStateGuard {
        bool& pushed;
        explicit TStateGuard(bool& p) : pushed(p)
        {
            glPushAttrib(GL_ALL_ATTRIB_BITS);
            pushed = true;
        }
        ~TStateGuard()
        {
            if (pushed)
                glPopAttrib();
            pushed = false;
        }
        TStateGuard(const TStateGuard&) = delete;
        TStateGuard& operator=(const TStateGuard&) = delete;
    } state(statePushed_);
    passesRun_ = 0;

    draws_.clear();
    occurrences_.clear();
    passMismatch_ = false;
    RunPass(scene, TPass::Measure);
    Classify();

    THash cacheSig;
    cacheSig.Words(&viewport_, sizeof viewport_);
    cacheSig.Word(static_cast<std::uint32_t>(drawFramebuffer_));
    int cached = 0;
    for (const TDraw& d : draws_)
        if (d.Cached) {
            ++cached;
            cacheSig.Wide(d.Key);
            cacheSig.Wide(d.Signature);
        }
    report_.Draws = static_cast<int>(draws_.size());
    report_.CachedDraws = cached;
    const std::uint64_t signature = cacheSig.Value();

    if (cached == 0 || !MakeCacheObjects(*gl)) {
        DrawWhole(scene);
        cacheValid_ = false;
        frameKept_ = false;
        Finish(*gl, TGLRegion(), true);
        return;
    }
    if (offscreen_)
        BindFramebuffer(frameBuffer_.Framebuffer);
    bool whole = true;
    if (invalid_ || !cacheValid_ || signature != cacheSignature_) {
        cacheSignature_ = signature;
        DrawRebuilt(scene);
    } else {
        // What the buffer drawn into lacks: the changes since it was drawn.
        const int age = offscreen_ ? (frameKept_ ? 1 : 0) : windowAge;
        TGLRegion region(kMaxRects);
        if (age <= 0 || static_cast<std::size_t>(age) > recent_.size() + 1) {
            region.Add(viewport_);
        } else if (age == 1) {
            region = changed_;
        } else {
            region.Add(changed_);
            for (int a = 2; a <= age; ++a)
                region.Add(recent_[static_cast<std::size_t>(a - 2)]);
        }
        region.ClipTo(viewport_);
        DrawPartial(scene, region);
        if (passMismatch_) {
            // Drawn again whole, with nothing of the list trusted; the
            // cached image stays right (its draws come first and were seen).
            ClearViewport(GL_DEPTH_BUFFER_BIT);
            DrawWhole(scene);
        } else {
            whole = false;
            report_.Kind = TFrameKind::Partial;
            report_.Drawn = region;
            report_.DrawnPixels = region.Area();
            report_.ChangedTilePixels = changedTilePixels_;
        }
    }
    if (offscreen_) {
        // Into the window: what changed where its back buffer holds the
        // last frame, else all of the picture.
        BindFramebuffer(static_cast<GLuint>(drawFramebuffer_), static_cast<GLuint>(readFramebuffer_));
        TGLRegion copy(kMaxRects);
        if (whole || windowAge != 1)
            copy.Add(viewport_);
        else
            copy = changed_;
        ShowFrame(copy);
        frameKept_ = true;
    } else {
        frameKept_ = false;
    }
    Finish(*gl, whole ? TGLRegion() : changed_, whole);
}

void TSceneFrameCache::Finish(TCustomOpenGL& gl, const TGLRegion& changed, bool whole)
{
    TGLRegion shown(kMaxRects);
    if (whole)
        shown.Add(viewport_);
    else
        shown = changed;
    report_.Changed = shown;
    if (whole) {
        report_.Drawn = shown;
        report_.DrawnPixels = shown.Area();
    }
    recent_.insert(recent_.begin(), shown);
    if (recent_.size() > kRecentFrames)
        recent_.resize(kRecentFrames);
    if (gl.Active()) {
        gl.SetPresentRegion(shown, viewport_);
        if (ageFromContext_ || offscreen_)
            probes_.clear();
        else
            TakeProbe();
    }
    swapsAtFrame_ = gl.SwapCount();
}

void TSceneFrameCache::DrawWhole(TMainScene& scene)
{
    report_.Kind = TFrameKind::Whole;
    RunPass(scene, TPass::None);
}

void TSceneFrameCache::DrawRebuilt(TMainScene& scene)
{
    report_.Kind = TFrameKind::Rebuilt;
    // The cached image starts from black, as the window does, so that
    // nothing of an earlier frame is kept in it where the still draws do
    // not reach.
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glClearColor(0, 0, 0, 1);
    ClearViewport(GL_COLOR_BUFFER_BIT | (offscreen_ ? GL_DEPTH_BUFFER_BIT : 0u));
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    RunPass(scene, TPass::Still);
    if (passMismatch_) {
        cacheValid_ = false;
        invalid_ = true;
        ClearViewport(GL_DEPTH_BUFFER_BIT);
        DrawWhole(scene);
        return;
    }
    CaptureCache();
    ReadDepthTiles();
    cacheValid_ = true;
    // What the draws of this frame cover, seen past the new cached draws:
    // the next frame repaints where they were by these.
    for (TDraw& d : draws_) {
        SetVisible(d);
        history_[d.Key].Mask = d.Mask;
    }
    rects_ = {viewport_};
    RunPass(scene, TPass::Moving);
    invalid_ = false;
}

void TSceneFrameCache::ClearViewport(GLbitfield buffers)
{
    const bool scissor = Enabled(GL_SCISSOR_TEST);
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    glEnable(GL_SCISSOR_TEST);
    glScissor(viewport_.X, viewport_.Y, viewport_.Width, viewport_.Height);
    if (buffers & GL_DEPTH_BUFFER_BIT) {
        // With the stencil, as the viewport clears it: one fill, not a mask.
        glDepthMask(GL_TRUE);
        buffers |= GL_STENCIL_BUFFER_BIT;
    }
    glClear(buffers);
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissor)
        glDisable(GL_SCISSOR_TEST);
}

void TSceneFrameCache::DrawPartial(TMainScene& scene, const TGLRegion& region)
{
    // The region's rectangles do not overlap, so a draw cut to each of them
    // in turn touches every pixel once, as the whole frame does. Depth comes
    // back with the image where it can be copied; otherwise it was cleared
    // with the viewport and the cached draws lay it again.
    rects_ = region.Rects();
    glDisable(GL_SCISSOR_TEST);
    if (PartialSteps >= 2)
        for (const TGLRect& r : rects_)
            RestoreCache(r);
    clip_ = true;
    if (PartialSteps >= 3 && !offscreen_)
        RunPass(scene, TPass::Depth, [] {
            glEnable(GL_SCISSOR_TEST);
            glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        });
    if (PartialSteps >= 4)
        RunPass(scene, TPass::Moving, [] { glEnable(GL_SCISSOR_TEST); });
    clip_ = false;
}

// ---------------------------------------------------------------- cached image

TSceneFrameCache::TFormats TSceneFrameCache::ReadFormats() const
{
    TFormats f;
    GLint alpha = 0, depth = 0, stencil = 0;
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    // The framebuffer's own layout where it can be told, so that copies
    // between it and the cache's buffers are plain copies: no alpha where it
    // has none, and the blue-first order of window buffers.
    f.ColorInternal = alpha > 0 ? GL_RGBA8 : GL_RGB8;
    f.ColorOrder = drawFramebuffer_ == 0 ? GL_BGRA_EXT : GL_RGBA;
    f.DepthAttachment = GL_DEPTH_ATTACHMENT;
    f.DepthFormat = GL_DEPTH_COMPONENT;
    f.DepthType = GL_UNSIGNED_INT;
    f.DepthCopy = GL_DEPTH_BUFFER_BIT;
    if (stencil > 0) {
        f.DepthInternal = GL_DEPTH24_STENCIL8;
        f.DepthFormat = GL_DEPTH_STENCIL;
        f.DepthType = GL_UNSIGNED_INT_24_8;
        f.DepthAttachment = GL_DEPTH_STENCIL_ATTACHMENT;
        f.DepthCopy = GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
    } else if (depth <= 16) {
        f.DepthInternal = GL_DEPTH_COMPONENT16;
        f.DepthType = GL_UNSIGNED_SHORT;
    } else if (depth <= 24) {
        f.DepthInternal = GL_DEPTH_COMPONENT24;
    } else {
        f.DepthInternal = GL_DEPTH_COMPONENT32;
    }
    return f;
}

bool TSceneFrameCache::TOffscreen::Make(int w, int h, const TFormats& f, bool framebuffer, bool depth)
{
    Delete();
    Width = w;
    Height = h;
    Formats = f;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    auto texture = [](GLuint& name) {
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    };
    while (glGetError() != GL_NO_ERROR) {
    }
    texture(Color);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(f.ColorInternal), w, h, 0, f.ColorOrder, GL_UNSIGNED_BYTE,
                 nullptr);
    if (depth) {
        texture(Depth);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(f.DepthInternal), w, h, 0, f.DepthFormat, f.DepthType,
                     nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    bool ok = glGetError() == GL_NO_ERROR;
    if (ok && framebuffer) {
        GLint draw = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
        glGenFramebuffers(1, &Framebuffer);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, Framebuffer);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, Color, 0);
        if (depth)
            glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, f.DepthAttachment, GL_TEXTURE_2D, Depth, 0);
        ok = glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
    }
    if (!ok)
        Delete();
    return ok;
}

void TSceneFrameCache::TOffscreen::Delete()
{
    if (Framebuffer && glDeleteFramebuffers)
        glDeleteFramebuffers(1, &Framebuffer);
    if (Color && glDeleteTextures)
        glDeleteTextures(1, &Color);
    if (Depth && glDeleteTextures)
        glDeleteTextures(1, &Depth);
    Forget();
}

void TSceneFrameCache::TOffscreen::Forget()
{
    Framebuffer = Color = Depth = 0;
    Width = Height = 0;
}

void TSceneFrameCache::BindFramebuffer(GLuint draw, GLuint read)
{
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, draw);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, read);
}

bool TSceneFrameCache::MakeCacheObjects(TCustomOpenGL& gl)
{
    if (cacheGL_ != &gl || cacheGeneration_ != gl.ContextGeneration()) {
        // The names belong to a context that is gone.
        cache_.Forget();
        frameBuffer_.Forget();
        cacheValid_ = false;
        frameKept_ = false;
        cacheGL_ = &gl;
        cacheGeneration_ = gl.ContextGeneration();
    }
    if (viewport_.Empty() || viewport_.X < 0 || viewport_.Y < 0)
        return false;
    const bool npot = GLMajorVersion(gl.GLVersion()) >= 2 || gl.HasExtension("GL_ARB_texture_non_power_of_two");
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    // With framebuffer objects the frame is drawn into one of the window's
    // size and formats, which keeps what it drew, and the cached image is a
    // second one; copies between them are plain. Without, the frame is drawn
    // in the window and the cached image is a texture drawn back.
    const bool offscreen = hasBlit_ && npot;
    int w = offscreen ? viewport_.Right() : viewport_.Width, h = offscreen ? viewport_.Top() : viewport_.Height;
    if (!npot) {
        int tw = 1, th = 1;
        while (tw < w)
            tw *= 2;
        while (th < h)
            th *= 2;
        w = tw;
        h = th;
    }
    if (w > maxSize || h > maxSize)
        return false;
    if (cache_.Color && offscreen == offscreen_ && cache_.Width == w && cache_.Height == h &&
        cache_.Formats == formats_ && cacheViewport_ == viewport_)
        return true;
    cacheValid_ = false;
    frameKept_ = false;
    frameBuffer_.Delete();
    offscreen_ = offscreen && frameBuffer_.Make(w, h, formats_, true, true) && cache_.Make(w, h, formats_, true, true);
    if (!offscreen_) {
        frameBuffer_.Delete();
        if (!cache_.Make(w, h, formats_, false, false))
            return false;
    }
    cacheViewport_ = viewport_;
    return true;
}

void TSceneFrameCache::ReleaseGL()
{
    if (cacheGL_ && cacheGL_->Active() && cacheGeneration_ == cacheGL_->ContextGeneration()) {
        cache_.Delete();
        frameBuffer_.Delete();
    }
    cache_.Forget();
    frameBuffer_.Forget();
    cacheValid_ = false;
    frameKept_ = false;
    cacheGL_ = nullptr;
    invalid_ = true;
    history_.clear();
    recent_.clear();
    probes_.clear();
}

void TSceneFrameCache::CaptureCache()
{
    if (offscreen_) {
        BindFramebuffer(cache_.Framebuffer, frameBuffer_.Framebuffer);
        glBlitFramebuffer(viewport_.X, viewport_.Y, viewport_.Right(), viewport_.Top(), viewport_.X, viewport_.Y,
                          viewport_.Right(), viewport_.Top(), GL_COLOR_BUFFER_BIT | formats_.DepthCopy, GL_NEAREST);
        BindFramebuffer(frameBuffer_.Framebuffer);
        return;
    }
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    glBindTexture(GL_TEXTURE_2D, cache_.Color);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport_.X, viewport_.Y, viewport_.Width, viewport_.Height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
}

void TSceneFrameCache::ShowFrame(const TGLRegion& region)
{
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_.Framebuffer);
    for (const TGLRect& r : region.Rects())
        glBlitFramebuffer(r.X, r.Y, r.Right(), r.Top(), r.X, r.Y, r.Right(), r.Top(), GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer_));
}

void TSceneFrameCache::ReadDepthTiles()
{
    depthTiles_.clear();
    tileColumns_ = (viewport_.Width + kTile - 1) / kTile;
    tileRows_ = (viewport_.Height + kTile - 1) / kTile;
    if (viewport_.Empty())
        return;
    std::vector<float> depth(static_cast<std::size_t>(viewport_.Width) * static_cast<std::size_t>(viewport_.Height));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(viewport_.X, viewport_.Y, viewport_.Width, viewport_.Height, GL_DEPTH_COMPONENT, GL_FLOAT,
                 depth.data());
    depthTiles_.assign(static_cast<std::size_t>(tileColumns_) * static_cast<std::size_t>(tileRows_), 0.0f);
    for (int y = 0; y < viewport_.Height; ++y) {
        const float* row = depth.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(viewport_.Width);
        float* tiles = depthTiles_.data() + static_cast<std::size_t>(y / kTile) * static_cast<std::size_t>(tileColumns_);
        for (int x = 0; x < viewport_.Width; ++x)
            tiles[x / kTile] = std::max(tiles[x / kTile], row[x]);
    }
}

void TSceneFrameCache::SetVisible(TDraw& d) const
{
    d.Mask = TGLTileMask(viewport_, kTile);
    const bool tiles = d.DepthHidable && cacheValid_ && !depthTiles_.empty() && cacheViewport_ == viewport_;
    // A tile where the farthest cached depth lies nearer than a triangle's
    // nearest corner hides all of the triangle there.
    const float margin = 1e-5f;
    for (const TPiece& piece : d.Pieces) {
        if (!tiles || !piece.Hidable) {
            d.Mask.Mark(piece.Pixels);
            continue;
        }
        const TGLRect& r = piece.Pixels;
        const int c0 = (r.X - viewport_.X) / kTile, c1 = (r.Right() - 1 - viewport_.X) / kTile;
        const int r0 = (r.Y - viewport_.Y) / kTile, r1 = (r.Top() - 1 - viewport_.Y) / kTile;
        for (int row = std::max(r0, 0); row <= std::min(r1, tileRows_ - 1); ++row)
            for (int col = std::max(c0, 0); col <= std::min(c1, tileColumns_ - 1); ++col) {
                const float far = depthTiles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(tileColumns_) +
                                              static_cast<std::size_t>(col)];
                if (piece.Nearest <= far + margin)
                    d.Mask.MarkTiles(col, row, col, row);
            }
    }
    d.Bounds = IntersectRect(d.Mask.Bounds(), d.RawBounds);
}

void TSceneFrameCache::RestoreCache(const TGLRect& r)
{
    if (offscreen_) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, cache_.Framebuffer);
        glBlitFramebuffer(r.X, r.Y, r.Right(), r.Top(), r.X, r.Y, r.Right(), r.Top(),
                          GL_COLOR_BUFFER_BIT | formats_.DepthCopy, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, frameBuffer_.Framebuffer);
        return;
    }
    // A rectangle textured with the cached image, one texel per pixel.
    const int sx = r.X - cacheViewport_.X, sy = r.Y - cacheViewport_.Y;
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT | GL_DEPTH_BUFFER_BIT);
    for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_ALPHA_TEST, GL_FOG, GL_CULL_FACE})
        glDisable(cap);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, cache_.Color);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(cacheViewport_.X, cacheViewport_.Right(), cacheViewport_.Y, cacheViewport_.Top(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const float tw = static_cast<float>(cache_.Width), th = static_cast<float>(cache_.Height);
    const float s0 = static_cast<float>(sx) / tw, t0 = static_cast<float>(sy) / th;
    const float s1 = static_cast<float>(sx + r.Width) / tw, t1 = static_cast<float>(sy + r.Height) / th;
    const float x0 = static_cast<float>(r.X), y0 = static_cast<float>(r.Y);
    const float x1 = static_cast<float>(r.Right()), y1 = static_cast<float>(r.Top());
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, t0);
    glVertex2f(x0, y0);
    glTexCoord2f(s1, t0);
    glVertex2f(x1, y0);
    glTexCoord2f(s1, t1);
    glVertex2f(x1, y1);
    glTexCoord2f(s0, t1);
    glVertex2f(x0, y1);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// ---------------------------------------------------------------- back buffer

int TSceneFrameCache::FindBackBufferAge(TCustomOpenGL& gl)
{
    // No swap since the last frame: the buffer holds what that frame drew.
    ageFromContext_ = true;
    if (gl.SwapCount() == swapsAtFrame_)
        return 1;
    const int age = gl.BackBufferAge();
    if (age > 0)
        return age;
    ageFromContext_ = false;
    // Reading back costs a software rasterizer nothing worth counting; a
    // graphics processor would wait for it, and the frame is shown whole.
    if (!software_ || probes_.empty())
        return 0;
    for (const TProbe& p : probes_)
        if (ReadPixel(p.X, p.Y) != p.Value)
            return 0;
    // The pixels that did not change were kept; how many frames old the
    // buffer is the probe cannot tell, so the changes of every frame the
    // cache remembers count as missing.
    return static_cast<int>(kRecentFrames) + 1;
}

void TSceneFrameCache::TakeProbe()
{
    probes_.clear();
    if (!software_ || viewport_.Empty())
        return;
    // Points outside what changed lately, spread over the picture.
    TGLRegion recent(kMaxRects);
    for (const TGLRegion& r : recent_)
        recent.Add(r);
    constexpr int kColumns = 7, kRows = 5;
    for (int j = 0; j < kRows && probes_.size() < 8; ++j)
        for (int i = 0; i < kColumns && probes_.size() < 8; ++i) {
            const int x = viewport_.X + (2 * i + 1) * viewport_.Width / (2 * kColumns);
            const int y = viewport_.Y + (2 * j + 1) * viewport_.Height / (2 * kRows);
            if (recent.Meets({x, y, 1, 1}))
                continue;
            probes_.push_back({x, y, ReadPixel(x, y)});
        }
}
