#include "model/TrackRecords.h"

#include <algorithm>

namespace ravok {

const std::array<std::string_view, 16> kObjectTypeNames = {
    "Default", "Sign",  "Barricade", "Tree",  "Cone",   "Vehicle", "Checkpoint", "No collide",
    "No collide (facing)", "Collide (facing)", "Train", "Post", "Light", "Moving", "Ramp", "Top-Crush",
};

int objectTypeListPosition(int32_t type) {
    if (type >= kObjectDefault && type <= kObjectMoving) return type;
    if (type == kObjectRamp) return 14;
    if (type == kObjectTopCrush) return 15;
    return 0;
}

int32_t objectTypeFromListPosition(int position) {
    if (position >= 0 && position <= kObjectMoving) return position;
    if (position == 14) return kObjectRamp;
    if (position == 15) return kObjectTopCrush;
    return kObjectDefault;
}

void TrackObject::setSoundField(FixedString<64>& field, std::string_view name) {
    field.set(name.empty() ? kNoSound : name);
    if (field.empty()) field.set(kNoSound);
}

void Course::insertSegment(size_t at) {
    at = std::min(at, segments.size());
    segments.insert(segments.begin() + static_cast<std::ptrdiff_t>(at), CourseSegment{});
}

void TerrainGrid::reset() {
    heightName.clear();
    textureName.clear();
    shadeName.clear();
    std::fill(heights.begin(), heights.end(), kDefaultHeight);
    std::fill(textures.begin(), textures.end(), TextureCell{0});
    std::fill(cells.begin(), cells.end(), ShadeCell{kDefaultShade});
}

} // namespace ravok
