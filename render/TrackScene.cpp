#include "render/TrackScene.h"

#include "model/TrackPod.h"
#include "render/ReliefShading.h"
#include "render/TerrainMaskShade.h"

#include <limits>

namespace ravok {

namespace {

// Objects without a model stand out in orange.
constexpr RgbColour kPlainObjectColour{255, 150, 0};

// A key of the terrain's heights (64-bit FNV-1a), to tell when the relief must be made again.
uint64_t heightsKey(const CTrackPOD& track) {
    uint64_t key = 14695981039346656037ull;
    for (uint8_t h : track.terrain.heights) key = (key ^ h) * 1099511628211ull;
    return key;
}

} // namespace

void BuildTrackShades(ShadeTables& shades, const CTrackPOD& track) {
    const InverseColourMap inverse = BuildInverseColourMap(track.palette.colours());
    shades.build(track.palette.colours(), inverse);
}

std::vector<uint8_t> FrameToBgr(const FrameBuffer& frame, const TrackPalette& palette) {
    std::vector<uint8_t> bgr(frame.pixels.size() * 3);
    for (size_t i = 0; i < frame.pixels.size(); ++i) {
        const RgbColour& c = palette[frame.pixels[i]];
        bgr[i * 3] = c.b;
        bgr[i * 3 + 1] = c.g;
        bgr[i * 3 + 2] = c.r;
    }
    return bgr;
}

Placement ObjectPlacement(const TrackObject& o) {
    return {o.x + o.xFraction / 256.0,
            o.y + o.yFraction / 256.0,
            (o.z + o.zFraction / 256.0) * kWorldUnitsPerHeight,
            o.psi,
            o.phi,
            o.theta};
}

void TrackScene::moveWindow(const CTrackPOD& track, const TerrainWindow& window) {
    m_window = window;
    // The heights may have changed since: the relief follows them.
    if (m_reliefWanted && LightMapUniform(track)) {
        const uint64_t key = heightsKey(track);
        if (m_relief.empty() || key != m_reliefKey) m_relief = ReliefShades(track);
        m_reliefKey = key;
    } else {
        m_relief.clear();
    }
    BuildTerrainMesh(m_terrain, track, window, m_textures.terrain, m_maskLevels, m_relief);
    BuildWaterMesh(m_water, track, window);
}

bool TrackScene::setReliefShading(const CTrackPOD& track, bool on) {
    const bool wasShown = !m_relief.empty();
    m_reliefWanted = on;
    const bool shown = on && LightMapUniform(track);
    if (shown == wasShown) return false;
    m_relief = shown ? ReliefShades(track) : std::vector<uint8_t>{};
    m_reliefKey = shown ? heightsKey(track) : 0;
    return true;
}

bool TrackScene::showTerrainMask(const CTrackPOD& track, bool show) {
    const uint32_t key = show ? TerrainMaskKey(track) : 0;
    if (key == m_maskKey) return false;
    m_maskKey = key;
    m_maskLevels = key ? TerrainMaskCellLevels(track) : std::vector<uint8_t>{};
    return true;
}

void TrackScene::build(const CTrackPOD& track, const TerrainWindow& window) {
    m_textures.fill(track);
    moveWindow(track, window);
    m_boxes.clear();
    for (const auto& box : track.groundBoxes) {
        if (!box) continue;
        auto mesh = std::make_unique<Mesh>();
        BuildGroundBoxMesh(*mesh, *box, track, m_textures.terrain);
        m_boxes.push_back(std::move(mesh));
    }
    m_models.clear();
    for (const auto& model : track.models) {
        if (!model) continue;
        auto mesh = std::make_unique<Mesh>();
        BuildModelMesh(*mesh, *model, m_textures.models, track.palette);
        m_models[model.get()] = std::move(mesh);
    }
    m_backdrop.clear();
    if (track.backdrop) BuildModelMesh(m_backdrop, *track.backdrop, m_textures.models, track.palette);
    const int orange = track.palette.NearestPaletteIndex(kPlainObjectColour.r, kPlainObjectColour.g,
                                                         kPlainObjectColour.b);
    m_plainColour = uint8_t(orange);
}

void TrackScene::release() {
    m_models.clear();
    m_boxes.clear();
    m_backdrop.clear();
    m_terrain.clear();
    m_water.clear();
    m_textures.terrain.clear();
    m_textures.models.clear();
    m_maskLevels.clear();
    m_maskKey = 0;
    m_relief.clear();
    m_reliefKey = 0;
}

bool TrackScene::empty() const {
    return m_models.empty() && m_boxes.empty() && m_backdrop.triangleCount() == 0 && m_terrain.triangleCount() == 0 &&
           m_water.triangleCount() == 0 && m_textures.terrain.size() == 0 && m_textures.models.size() == 0;
}

const Mesh* TrackScene::modelMesh(const Model* model) const {
    auto found = m_models.find(model);
    return found == m_models.end() ? nullptr : found->second.get();
}

void TrackScene::draw(SoftwareRenderer& renderer, FrameBuffer& frame, const CTrackPOD& track,
                      const ViewCamera& camera, const SceneOptions& options) const {
    frame.clear(options.background);
    const bool backdrop = options.showBackdrop && m_backdrop.triangleCount() > 0;
    if (backdrop && !track.stadiumFlag) {
        // The backdrop surrounds the camera wherever it flies and lies behind
        // everything: a pass of its own, before the rest, without a far limit.
        SoftwareRenderSettings unlimited = renderer.settings();
        unlimited.farLimit = std::numeric_limits<int>::max();
        SoftwareRenderer behind(unlimited, renderer.shades());
        behind.begin(frame);
        const Placement around{double(camera.x), double(camera.y), double(camera.z)};
        behind.addSolid(m_backdrop, CameraMatrixOf(camera, around), false);
        behind.fill();
    }
    renderer.begin(frame);
    const CameraMatrix world = CameraMatrixOf(camera);
    if (options.solidTerrain) renderer.addSolid(m_terrain, world);
    if (backdrop && track.stadiumFlag) {
        const Placement arena{double(track.arenaOriginX) * 64, double(track.arenaOriginY) * 64, 0};
        renderer.addSolid(m_backdrop, CameraMatrixOf(camera, arena), false);
    }
    if (options.showGroundBoxes)
        for (const auto& box : m_boxes) renderer.addSolid(*box, world);
    if (options.showObjects)
        for (const auto& object : track.objects) {
            if (!object) continue;
            Placement at = ObjectPlacement(*object);
            if (const Mesh* mesh = modelMesh(object->model)) {
                renderer.addSolid(*mesh, CameraMatrixOf(camera, at), false);
                continue;
            }
            if (!options.showPlainBlocks) continue;
            Mesh block; // the renderer keeps what it needs of it
            BuildPlainBoxMesh(block, object->width, object->length, object->height, m_plainColour);
            renderer.addSolid(block, CameraMatrixOf(camera, at));
        }
    // Water last, so that at equal depth it tints the ground already drawn.
    if (options.showWater) renderer.addSolid(m_water, world);
    renderer.fill();
    if (options.wireFrame) renderer.drawWire(m_terrain, world, options.wireColour);
    if (options.showCourse)
        DrawCourseOverlay(frame, world, CourseOverlayOf(track, m_window, options.selectedCourse, options.selectedTruck,
                                                         options.showMainCourse),
                          CourseOverlayColoursOf(track.palette));
}

} // namespace ravok
