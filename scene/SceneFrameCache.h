#pragma once
// Drawing only what moves.
//
// A frame of the scene is a sequence of primitive draws. The frame cache
// watches every draw of the scene's render pass (through the GL layer's draw
// filter) and gives each one a signature: its geometry, its matrices, its
// texture's revision and the GL state it is drawn with. Draws that keep
// their signature from frame to frame are still; the others move.
//
// The still draws at the start of the frame that are opaque and write depth
// (the masonry, the surround, the firebox: whatever the content leaves
// unchanged) are drawn once into the picture and copied into a cached image.
// Every later frame then draws only where something changed: the screen
// rectangles of the draws whose signature changed, in their old and new
// places. There the cached image is put back, the depth of the cached
// draws is laid again (colour writes off), and every other draw that
// touches the rectangle is drawn again in its order, cut to the rectangle
// by the scissor test. Outside those rectangles the picture is left as the
// previous frame drew it, which needs a back buffer that survives the swap:
// the context tells how old the back buffer is, and where it cannot, a few
// pixels read before the swap and after it show whether the buffer was kept.
//
// The cached image is made again when a cached draw changes its signature
// (a texture or model switch, wide screen, a new camera), when the output
// changes size, when the context is new, and on Invalidate. A draw that
// keeps changing is left out of the cache for longer each time it changes.
// The whole frame is drawn as before when FullRedraw is set, when the scene
// has nothing still to cache, or when the GL lacks what the cache needs.
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "gl/GLApi.h"
#include "gl/GLPrimitives.h"
#include "gl/GLRect.h"

class TMainScene;
class TCustomOpenGL;

class TSceneFrameCache : private IGLDrawFilter {
public:
    TSceneFrameCache();
    ~TSceneFrameCache() override;
    TSceneFrameCache(const TSceneFrameCache&) = delete;
    TSceneFrameCache& operator=(const TSceneFrameCache&) = delete;

    // Every frame drawn whole, as without the cache.
    bool FullRedraw = false;
    // For measuring what each step costs: a frame drawn in part stops after
    // this many of its steps (measuring the draws, putting the cached image
    // back, laying its depth, the changed draws).
    int PartialSteps = 4;

    // The render pass of one frame (the scene's Render), into the current
    // framebuffer with the frame's viewport applied and depth cleared. Tells
    // the scene's context which part of the picture changed, for the swap.
    void Render(TMainScene& scene);
    // The next frame is drawn whole and the cached image is made again.
    void Invalidate() { invalid_ = true; }
    // Gives up the GL objects while their context is current (before the
    // context goes away); a later frame makes them again.
    void ReleaseGL();

    enum class TFrameKind : std::uint8_t {
        Whole,    // drawn whole without the cache
        Rebuilt,  // drawn whole, the cached image made again
        Partial,  // only the changed rectangles drawn
    };
    struct TFrameReport {
        TFrameKind Kind = TFrameKind::Whole;
        TGLRegion Drawn;            // the rectangles drawn (Partial)
        TGLRegion Changed;          // what changed since the previous frame
        std::int64_t DrawnPixels = 0;
        std::int64_t ChangedTilePixels = 0;  // the tiles that changed, before joining them into rectangles
        int Draws = 0;              // primitive draws of the frame
        int CachedDraws = 0;        // of them in the cached image
        int BackBufferAge = 0;      // as the frame found it (0: unknown)
    };
    const TFrameReport& LastFrame() const { return report_; }

private:
    // Rectangles a changed region is kept in: each costs a blit and a
    // scissored copy of the draws that reach it.
    static constexpr int kMaxRects = 24;

    enum class TPass : std::uint8_t { None, Measure, Still, Depth, Moving };

public:
    // A part of a draw as it lands in the window: its pixels and the window
    // depth of its nearest corner.
    struct TPiece {
        TGLRect Pixels;
        float Nearest = 0;
        bool Hidable = false;   // its depth may be tested against the cached draws'
    };

private:
    struct TDraw {
        const TGLPrimitive* Primitive = nullptr;
        std::uint64_t Key = 0;        // primitive and its occurrence in the frame
        std::uint64_t Signature = 0;
        std::vector<TPiece> Pieces;   // its triangles
        TGLRect RawBounds;            // window pixels its triangles cover
        TGLTileMask Mask;             // the tiles of them not behind the cached draws
        TGLRect Bounds;               // and their bounds
        bool DepthHidable = false;    // depth tested so that nearer cached draws hide it
        bool OpaqueDepth = false;     // no blending, depth tested and written
        bool Cached = false;
    };
    // What the cache remembers of a draw from frame to frame.
    struct TDrawHistory {
        std::uint64_t Signature = 0;
        TGLTileMask Mask;             // where it was seen
        int StableFrames = 0;         // frames in a row with this signature
        int PromoteAfter = 1;         // stable frames needed to be cached
        bool Cached = false;
        std::uint64_t SeenFrame = 0;
    };

    int BeforeDraw(const TGLPrimitive& primitive) override;
    void BeforeEach(int index) override;
    void AfterDraw(const TGLPrimitive& primitive) override;
    // How many of the pass's rectangles bounds meets (listed in drawRects_).
    int RectsMet(const TGLRect& bounds);
    void Measure(const TGLPrimitive& primitive);
    // Index of the current draw of a pass in this frame's list, or -1 when
    // the pass drew something the measuring pass did not see.
    int NextDraw(const TGLPrimitive& primitive);

    bool Supported(TCustomOpenGL& gl);
    // One walk of the scene's render pass; setup runs first, after the GL
    // state of the frame's start is put back.
    void RunPass(TMainScene& scene, TPass pass, const std::function<void()>& setup = {});
    void Classify();
    void DrawWhole(TMainScene& scene);
    void DrawRebuilt(TMainScene& scene);
    void DrawPartial(TMainScene& scene, const TGLRegion& region);
    // Clears buffers within the viewport only.
    void ClearViewport(GLbitfield buffers);

    // The layout of the framebuffer the frame is shown in, which the cache's
    // own buffers take so that copies between them are plain copies.
    struct TFormats {
        GLenum ColorInternal = 0, ColorOrder = 0;
        GLenum DepthInternal = 0, DepthFormat = 0, DepthType = 0, DepthAttachment = 0;
        GLbitfield DepthCopy = 0; // the buffers a copy of the depth takes
        bool operator==(const TFormats&) const = default;
    };
    // A colour texture, and with a framebuffer object a depth texture too.
    struct TOffscreen {
        GLuint Framebuffer = 0, Color = 0, Depth = 0;
        int Width = 0, Height = 0;
        TFormats Formats;
        bool Make(int w, int h, const TFormats& f, bool framebuffer, bool depth);
        // Deletes the names (their context current).
        void Delete();
        // Drops the names of a context that is gone.
        void Forget();
    };
    TFormats ReadFormats() const;
    bool MakeCacheObjects(TCustomOpenGL& gl);
    static void BindFramebuffer(GLuint draw) { BindFramebuffer(draw, draw); }
    static void BindFramebuffer(GLuint draw, GLuint read);
    void CaptureCache();
    void RestoreCache(const TGLRect& r);
    // Copies the region of the drawn frame into the window's framebuffer.
    void ShowFrame(const TGLRegion& region);
    // The farthest depth the cached draws left in each tile of the picture.
    void ReadDepthTiles();
    // The tiles and bounds of a draw where the cached draws do not hide it.
    void SetVisible(TDraw& d) const;
    // Back-buffer age as the frame finds it: 1.. when known or shown by the
    // probe, 0 when the back buffer cannot be trusted.
    int FindBackBufferAge(TCustomOpenGL& gl);
    void TakeProbe();
    void Finish(TCustomOpenGL& gl, const TGLRegion& changed, bool whole);

    TPass pass_ = TPass::None;
    std::vector<TDraw> draws_;
    std::unordered_map<const TGLPrimitive*, int> occurrences_;
    std::unordered_map<std::uint64_t, TDrawHistory> history_;
    std::size_t passIndex_ = 0;
    bool passMismatch_ = false;
    // The rectangles a pass draws in, those the current draw meets, and
    // whether the draws are cut to them.
    std::vector<TGLRect> rects_;
    std::vector<int> drawRects_;
    bool clip_ = false;
    bool restoreTexture_ = false;
    bool statePushed_ = false;
    int passesRun_ = 0;

    std::uint64_t frame_ = 0;
    bool invalid_ = true;
    bool cacheChanged_ = false;
    TGLRegion changed_{kMaxRects};
    std::int64_t changedTilePixels_ = 0;
    // The changed regions of the last frames, newest first: what a back
    // buffer older than one frame lacks.
    std::vector<TGLRegion> recent_;

    // The frame's output.
    TGLRect viewport_;
    GLint drawFramebuffer_ = 0;
    GLint readFramebuffer_ = 0;
    bool hasBlit_ = false;
    bool software_ = false;

    // The cached image, the frame drawn offscreen, and what they were made for.
    TCustomOpenGL* cacheGL_ = nullptr;
    std::uint64_t cacheGeneration_ = 0;
    TFormats formats_;
    TOffscreen cache_;
    TOffscreen frameBuffer_;
    bool offscreen_ = false;   // frames are drawn into frameBuffer_
    bool frameKept_ = false;   // frameBuffer_ holds the last frame
    TGLRect cacheViewport_;
    std::uint64_t cacheSignature_ = 0;
    bool cacheValid_ = false;
    static constexpr int kTile = 16;
    std::vector<float> depthTiles_;   // row by row from the viewport's bottom left
    int tileColumns_ = 0, tileRows_ = 0;

    // Pixels read before the last swap, to see whether the back buffer kept them.
    struct TProbe {
        int X = 0, Y = 0;
        std::uint32_t Value = 0;
    };
    std::vector<TProbe> probes_;
    std::uint64_t swapsAtFrame_ = 0;
    // The last frame learnt the back buffer's age from the context (so no
    // probe is needed for the next one).
    bool ageFromContext_ = false;

    TFrameReport report_;
};
