#include "model/TrackPod.h"

#include "art/NameLookup.h"
#include "model/WorldName.h"

#include <algorithm>
#include <cstdio>

namespace ravok {

// ---- setters -----------------------------------------------------------------

void CTrackPOD::SetComment(std::string_view text) { comment.set(text); }

void CTrackPOD::SetTrackName(std::string_view text) {
    trackName.set(text);
    if (worldNameFromTrackName) {
        std::string derived = DeriveWorldName(trackName.view());
        if (!derived.empty()) WorldName.set(derived);
    }
}

bool CTrackPOD::SetWorldName(std::string_view text) {
    std::string derived = DeriveWorldName(text);
    if (derived.empty()) return false;
    WorldName.set(derived);
    worldNameFromTrackName = 0;
    return true;
}

void CTrackPOD::UseTrackNameForWorldName() {
    worldNameFromTrackName = 1;
    SetTrackName(trackName.str());
}

void CTrackPOD::recomputeWorldNameFromTrackName() {
    std::string derived = DeriveWorldName(trackName.view());
    worldNameFromTrackName = (derived.empty() || WorldName == derived) ? 1 : 0;
}

void CTrackPOD::SetRaceType(int32_t type) {
    if (type >= 1 && type <= 4) RaceType = type;
}

void CTrackPOD::SetWaterLevelQuarters(int32_t quarters) {
    quarters = std::clamp(quarters, 0, kMaxWaterLevelQuarters);
    waterLevel = quarters / 4;
    waterLevelQuarters = quarters % 4;
}

void CTrackPOD::SetFogMap(std::span<const uint8_t> block) {
    if (block.empty()) {
        fogMap.clear();
        return;
    }
    fogMap.assign(32768, 0);
    std::copy_n(block.begin(), std::min<size_t>(block.size(), 32768), fogMap.begin());
}

void CTrackPOD::SetHdArt(int slot, Blob blob, std::string_view extension) {
    if (slot < 0 || slot >= kHdArtSlots) return;
    auto& ext = pictures.hdArtExt[size_t(slot)];
    if (blob.empty())
        ext.clear();
    else
        ext.set(NormaliseExtension(extension));
    pictures.hdArt[size_t(slot)] = std::move(blob);
}

void CTrackPOD::SetDetailNormal(Blob blob, std::string_view extension) {
    pictures.detailNormalExt.set(blob.empty() ? std::string() : NormaliseExtension(extension));
    pictures.detailNormal = std::move(blob);
    pictures.detailNormalValue = 0;
}

void CTrackPOD::SetTerrainMask(Blob blob, std::string_view extension) {
    pictures.terrainMaskExt.set(blob.empty() ? std::string() : NormaliseExtension(extension));
    pictures.terrainMask = std::move(blob);
    pictures.terrainMaskValue = 0;
}

// ---- adding records ------------------------------------------------------------

int CTrackPOD::AddTerrainTexture(std::unique_ptr<Texture> texture) {
    int slot = lowestEmptySlot(terrainTextures);
    if (slot >= 0) terrainTextures[size_t(slot)] = std::move(texture);
    return slot;
}

Outcome CTrackPOD::CanAddObject(int32_t type) const {
    const TrackCounts c = counts();
    if (c.objects >= kMaxObjects) return Outcome::refused(kMaxObjectsMessage);
    switch (type) {
    case kObjectCheckpoint:
        if (c.checkpoints >= kMaxCheckpoints) return Outcome::refused(kMaxCheckpointsMessage);
        break;
    case kObjectRamp:
        if (c.ramps >= kMaxRamps) return Outcome::refused(kMaxRampsMessage);
        break;
    case kObjectTopCrush:
        if (c.topCrush >= kMaxTopCrush) {
            char text[64];
            std::snprintf(text, sizeof text, kMaxTopCrushFormat, kMaxTopCrush);
            return Outcome::refused(text);
        }
        break;
    case kObjectTrain:
    case kObjectMoving:
        if (c.moving >= kMaxMovingObjects) return Outcome::refused(kMaxMovingMessage);
        break;
    case kObjectLight:
        if (c.lights >= kMaxLights) return Outcome::refused(kMaxLightsMessage);
        break;
    default:
        break;
    }
    return Outcome::success();
}

int CTrackPOD::AddObject(std::unique_ptr<TrackObject> object, Outcome* outcome) {
    Outcome check = object ? CanAddObject(object->type) : Outcome::refused();
    int slot = check ? lowestEmptySlot(objects) : -1;
    if (slot >= 0) objects[size_t(slot)] = std::move(object);
    if (outcome) *outcome = check;
    return slot;
}

int CTrackPOD::AddSound(std::unique_ptr<TrackSound> sound, Outcome* outcome) {
    int slot = lowestEmptySlot(sounds);
    if (slot >= 0)
        sounds[size_t(slot)] = std::move(sound);
    if (outcome) *outcome = slot >= 0 ? Outcome::success() : Outcome::refused(kMaxSoundsMessage);
    return slot;
}

int CTrackPOD::AddGroundBox(std::unique_ptr<GroundBox> box) {
    int slot = lowestEmptySlot(groundBoxes);
    if (slot < 0) {
        ++droppedGroundBoxes;
        return -1;
    }
    box->updateDerived();
    groundBoxes[size_t(slot)] = std::move(box);
    return slot;
}

// ---- names -------------------------------------------------------------------

std::string CTrackPOD::BrowsePictureName() const {
    return browseBitmapName.empty() ? WorldName.str() + "S.BMP" : browseBitmapName.str();
}

std::string CTrackPOD::IconPictureName() const {
    return iconBitmapName.empty() ? WorldName.str() + "L.BMP" : iconBitmapName.str();
}

std::string CTrackPOD::InfoPhotoName(size_t capacity) const { return InfoPhotoNameFor(BrowsePictureName(), capacity); }

std::string InfoPhotoNameFor(std::string_view browsePictureName, size_t capacity) {
    std::string stem(browsePictureName);
    if (auto dot = stem.rfind('.'); dot != std::string::npos) stem.resize(dot);
    if (stem.size() < 2) return {};
    char last = stem.back();
    if (last != 'S' && last != 's' && last != 'T' && last != 't') return {};
    stem.pop_back();
    std::string name = stem + "M.BMP";
    return name.size() < capacity ? name : std::string();
}

std::string CTrackPOD::HdArtName(int slot) const {
    if (slot < 0 || slot >= kHdArtSlots) return {};
    if (pictures.hdArt[size_t(slot)].empty() || pictures.hdArtExt[size_t(slot)].empty()) return {};
    std::string name = slot == 0 ? BrowsePictureName() : slot == 1 ? IconPictureName() : InfoPhotoName();
    if (name.empty()) return {};
    if (auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    return name + pictures.hdArtExt[size_t(slot)].str();
}

// ---- lookups -----------------------------------------------------------------

int CTrackPOD::FindTexture(std::string_view name) const {
    return FindTextureByName(std::span<const std::unique_ptr<Texture>>(terrainTextures), name);
}

int CTrackPOD::FindModelTexture(std::string_view name) const {
    return FindTextureByName(std::span<const std::unique_ptr<Texture>>(modelTextures), name);
}

int CTrackPOD::FindModel(std::string_view name) const {
    return FindByName(std::span<const std::unique_ptr<Model>>(models), name);
}

int CTrackPOD::FindSound(std::string_view name) const {
    return FindByName(std::span<const std::unique_ptr<TrackSound>>(sounds), name);
}

// ---- terrain, ground boxes, objects --------------------------------------------

int CTrackPOD::HighestTextureInUse() const {
    int highest = 0;
    for (TextureCell cell : terrain.textures) highest = std::max(highest, int(cell & kTextureSlotMask));
    for (const auto& box : groundBoxes)
        if (box)
            for (uint16_t face : box->faces) highest = std::max(highest, int(face & kTextureSlotMask));
    return std::min(highest, kMaxTerrainTextures - 1);
}

void CTrackPOD::RebuildGroundBoxMaps(std::vector<std::array<uint16_t, 6>>* faces) {
    groundBoxMaps.clear();
    if (faces) faces->assign(kGridCells, {});
    for (const auto& box : groundBoxes) {
        if (!box) continue;
        const size_t at = size_t((box->y & 255) * kGridSize + (box->x & 255));
        groundBoxMaps.bottom[at] = box->bottom;
        groundBoxMaps.top[at] = box->top;
        if (faces) (*faces)[at] = box->faces;
    }
}

void CTrackPOD::GroundBoxesFromMaps(std::span<const uint8_t> bottom, std::span<const uint8_t> top,
                                    std::span<const std::array<uint16_t, 6>> faces) {
    const size_t cells = std::min({bottom.size(), top.size(), size_t(kGridCells)});
    for (size_t at = 0; at < cells; ++at) {
        if (top[at] == 0) continue;
        auto box = std::make_unique<GroundBox>();
        box->x = int32_t(at % kGridSize);
        box->y = int32_t(at / kGridSize);
        box->bottom = bottom[at];
        box->top = top[at];
        if (at < faces.size()) box->faces = faces[at];
        AddGroundBox(std::move(box));
    }
}

int CTrackPOD::TerrainHeightAt(int32_t x, int32_t y) const {
    const int gx = (x >> 6) & 255, gy = (y >> 6) & 255;
    if (gx == 255 || gy == 255) return terrain.height(gx, gy);
    // Position inside the square, 0..63 (outside the map it wraps like the square).
    const int lx = x & 63, ly = y & 63;
    const int h00 = terrain.height(gx, gy), h10 = terrain.height(gx + 1, gy);
    const int h01 = terrain.height(gx, gy + 1), h11 = terrain.height(gx + 1, gy + 1);
    int sum; // 64 times the plane's height; never negative inside a triangle
    if ((gx + gy) % 2 == 0) {
        // Diagonal from (gx, gy) to (gx+1, gy+1).
        if (lx >= ly)
            sum = 64 * h00 + (h10 - h00) * lx + (h11 - h10) * ly;
        else
            sum = 64 * h00 + (h01 - h00) * ly + (h11 - h01) * lx;
    } else {
        // Diagonal from (gx+1, gy) to (gx, gy+1).
        if (lx + ly <= 64)
            sum = 64 * h00 + (h10 - h00) * lx + (h01 - h00) * ly;
        else
            sum = 64 * h11 + (h01 - h11) * (64 - lx) + (h10 - h11) * (64 - ly);
    }
    return sum / 64;
}

void CTrackPOD::NormaliseObjectHeights() {
    for (auto& object : objects) {
        if (!object) continue;
        // Wrapping arithmetic: an object read from a damaged file may hold any z.
        auto addToZ = [&](int delta) { object->z = int32_t(uint32_t(object->z) + uint32_t(delta)); };
        while (object->zFraction < 0) {
            object->zFraction = int16_t(object->zFraction + 256);
            addToZ(-1);
        }
        while (object->zFraction > 255) {
            object->zFraction = int16_t(object->zFraction - 256);
            addToZ(1);
        }
        object->aboveGround = int32_t(uint32_t(object->z) - uint32_t(TerrainHeightAt(object->x, object->y)));
    }
}

void CTrackPOD::RecomputeArenaOrigin() {
    if (!backdrop || !stadiumFlag) return;
    const auto& vertices = backdrop->vertices();
    arenaOriginX = arenaOriginY = 0;
    if (vertices.empty()) return;
    auto lowest = std::min_element(vertices.begin(), vertices.end(),
                                   [](const Model::Vertex& a, const Model::Vertex& b) { return a[2] < b[2]; });
    arenaOriginX = static_cast<uint16_t>((*lowest)[0] >> 12);
    arenaOriginY = static_cast<uint16_t>((*lowest)[1] >> 12);
}

int CTrackPOD::ArenaFloorHeight() const {
    if (!backdrop || !stadiumFlag) return 0;
    return terrain.height((arenaOriginX + arenaX) & 255, (arenaOriginY + arenaY) & 255);
}

TrackCounts CTrackPOD::counts() const {
    TrackCounts c;
    c.terrainTextures = filledSlots(terrainTextures);
    c.models = filledSlots(models);
    c.modelTextures = filledSlots(modelTextures);
    for (const auto& o : objects) {
        if (!o) continue;
        ++c.objects;
        c.ramps += o->type == kObjectRamp;
        c.topCrush += o->type == kObjectTopCrush;
        c.checkpoints += o->type == kObjectCheckpoint;
        c.moving += o->type == kObjectTrain || o->type == kObjectMoving;
        c.lights += o->type == kObjectLight;
    }
    c.groundBoxes = filledSlots(groundBoxes);
    c.sounds = filledSlots(sounds);
    c.animations = animations.count();
    c.mainCourseSegments = int(mainCourse.segments.size());
    for (const auto& course : extendedCourses) c.extendedCourses += course != nullptr;
    return c;
}

} // namespace ravok
