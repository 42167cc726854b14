#pragma once

#include "art/ColourReduction.h"
#include "art/Palette.h"
#include "render/Mesh.h"
#include "render/RendererCaches.h"
#include "render/ViewCamera.h"

#include <QColor>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_map>

class QOpenGLContext;
class QOpenGLFunctions_1_5;

namespace ravok {
class CTrackPOD;
struct Placement;
} // namespace ravok

// Draws the track view through OpenGL's fixed-function pipeline: terrain in
// pages of 4 x 4 cells, each a slot of one vertex buffer rebuilt only when its
// key changes, drawn in one batch per texture sheet (terrain textures of one
// size share sheets, each texture framed by copies of its edges so that its
// neighbours do not bleed into it); model meshes compiled into lists through
// a 64-entry cache; textures uploaded once with software mipmaps (true colour
// from the HD provider where it has a picture).
// Every call except the constructor needs the context current.
class COpenGLTerrainRenderer {
public:
    // True-colour pictures by texture name; none to use the 8-bit pixels.
    using HdProvider = std::function<std::optional<ravok::RgbPicture>(std::string_view textureName)>;

    COpenGLTerrainRenderer() = default;
    COpenGLTerrainRenderer(const COpenGLTerrainRenderer&) = delete;
    COpenGLTerrainRenderer& operator=(const COpenGLTerrainRenderer&) = delete;

    // Starts a frame in the current context; false when the context offers
    // no fixed-function OpenGL 1.5 with vertex buffers (nothing is drawn then). With the native
    // window that presents the frames, the swap interval follows the v-sync
    // option, set only when the option changed since it was last set.
    bool beginFrame(QOpenGLContext* context, int width, int height, QColor background,
                    quintptr presentingWindow = 0);
    void endFrame();

    void setCamera(const ravok::ViewCamera& camera, int centreX, int centreY);
    void setPalette(const ravok::PaletteColours& palette);
    void setHdProvider(HdProvider provider) { m_hdProvider = std::move(provider); }
    // Textured, wire frame (1) or both (2).
    void setDisplayMode(int mode) { m_displayMode = mode; }
    // Rows drawn top first, for a frame read back into an image (the view's
    // frames); bottom first is OpenGL's own order (a window's).
    void setTopRowFirst(bool on) { m_topRowFirst = on; }
    // The colour of the terrain's wire frame ("Wireframe" of the Colors page).
    void setWireColour(QColor colour) { m_wireColour = colour; }

    // The terrain pages of the window (or all of them), each rebuilt when its
    // key changed, darkened by the mask levels when there are any, lit by the
    // point shades instead of the light map when there are any (a change of
    // either needs InvalidateTextures).
    void drawTerrain(const ravok::CTrackPOD& track, const ravok::TerrainWindow& window,
                     const ravok::MeshTextureList& textures, bool wholeGrid,
                     std::span<const uint8_t> maskLevels = {}, std::span<const uint8_t> pointShades = {});
    // A mesh in world units, placed (objects) or not (boxes, water, backdrop).
    // Translucent meshes are drawn half see-through ("Model Transparency").
    void drawMesh(const ravok::Mesh& mesh, const ravok::Placement* placement = nullptr, bool depthTest = true,
                  bool translucent = false);
    // The course lines (those crossing the window's square) and the truck start triangles.
    void drawCourse(const ravok::CTrackPOD& track, const ravok::TerrainWindow& window, int selectedCourse,
                    int selectedTruck, bool showMain = true);

    // One model alone, turned by pitch - 90 degrees about x and by yaw about z
    // (degrees), at the distance that shows it whole. False (code 40) when
    // the surface has no depth buffer.
    bool drawModelPreview(QOpenGLContext* context, int width, int height, const ravok::Mesh& mesh, double yaw,
                          double pitch, double zoom, QColor background);
    int lastError() const { return m_error; }

    // Drops every texture and page (the textures or the palette changed).
    void InvalidateTextures();
    // The context is going away: deletes everything while it is still current.
    void Release();
    // The context was lost without a chance to clean up: forgets every handle.
    void forgetContext();

    // Textures, texture sheets, compiled model lists and terrain pages held now.
    int objectsHeld() const;
    int trianglesDrawn() const { return m_triangles; }
    int pagesBuilt() const { return m_pagesBuilt; }
    int texturesUploaded() const { return m_uploads; }
    // The interval last set (-1 none yet), how often one was set, and whether
    // the platform took the last one (it may have no swap control).
    int lastSwapInterval() const { return m_swapInterval; }
    int swapIntervalsSet() const { return m_swapIntervalsSet; }
    bool swapIntervalApplied() const { return m_swapIntervalApplied; }
    // The v-sync option: the next frame sets the interval for it, and windows
    // made from now on start with it. True when it changed.
    bool applyVerticalSync(bool on);

private:
    // A page's triangles of one texture object (0: flat colours), as
    // vertices from `first` on in the page's slot of the terrain buffer.
    struct PageBatch {
        uint32_t texture = 0;
        int first = 0, count = 0;
    };
    // Where a terrain texture lies: its texture object, and the part of it
    // the texture's own coordinates (0..1) map to.
    struct TerrainTextureSlot {
        uint32_t name = 0;
        float s0 = 0, t0 = 0, width = 1, height = 1;
    };
    // A sheet of same-sized terrain textures, each in a cell framed by a
    // border of its edge texels an eighth of its side wide.
    struct TextureSheet {
        uint32_t name = 0;
        int cellWidth = 0, cellHeight = 0, columns = 0, rows = 0, used = 0, levels = 1;
    };
    struct Page {
        uint32_t key = 0;
        bool valid = false;
        int triangles = 0, wireVertices = 0;
        std::vector<PageBatch> batches;
    };
    // The first vertex and vertex count of each page drawn with one texture.
    struct TextureBatch {
        std::vector<int32_t> firsts;
        std::vector<int32_t> counts;
    };
    struct TextureObjects {
        uint32_t plain = 0, alpha = 0;
    };

    uint32_t textureOf(const ravok::MeshTexture* texture, bool alpha);
    const TerrainTextureSlot* terrainSlotOf(const ravok::MeshTexture* texture);
    TerrainTextureSlot placeOnSheet(std::vector<uint8_t> rgba, int width, int height);
    std::vector<uint8_t> rgbaOf(const ravok::MeshTexture& texture, int& width, int& height);
    void upload(uint32_t name, std::vector<uint8_t> rgba, int width, int height);
    void compileMesh(const ravok::Mesh& mesh, float offsetX, float offsetY, float alpha = 1);
    void buildPage(Page& page, const ravok::CTrackPOD& track, int px, int py, const ravok::MeshTextureList& textures,
                   std::span<const uint8_t> maskLevels, std::span<const uint8_t> pointShades);
    void loadView(double originX, double originY);
    void deletePages();
    bool makeTerrainBuffers();
    void deleteTerrainBuffers();
    void drawTerrainBatches(const std::vector<int>& pages);
    void drawTerrainWire(const std::vector<int>& pages);

    QOpenGLFunctions_1_5* m_gl = nullptr;
    ravok::ViewCamera m_camera;
    int m_width = 0, m_height = 0, m_centreX = 0, m_centreY = 0;
    ravok::PaletteColours m_palette{};
    bool m_paletteLoaded = false;
    HdProvider m_hdProvider;
    int m_displayMode = 0;
    QColor m_wireColour{0, 128, 0};
    std::vector<Page> m_pages = std::vector<Page>(ravok::kTerrainPages * ravok::kTerrainPages);
    uint32_t m_terrainBuffer = 0, m_wireBuffer = 0;
    std::unordered_map<uint32_t, TextureBatch> m_batches; // by texture object, kept between frames
    std::unordered_map<const ravok::MeshTexture*, TerrainTextureSlot> m_terrainSlots;
    std::map<std::pair<int, int>, std::vector<TextureSheet>> m_sheets; // by texture size
    bool m_topRowFirst = false;
    std::unordered_map<const ravok::MeshTexture*, TextureObjects> m_textures;
    ravok::MeshCache m_meshes;
    int m_triangles = 0, m_pagesBuilt = 0, m_uploads = 0;
    bool m_verticalSync = false;
    int m_swapInterval = -1, m_swapIntervalsSet = 0;
    bool m_swapIntervalApplied = false;
    int m_error = 0;
};
