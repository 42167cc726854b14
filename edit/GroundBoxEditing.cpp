#include "edit/GroundBoxEditing.h"

#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

constexpr uint16_t kMirrorBit = 0x1000;
constexpr int kRotationShift = 14;
constexpr int kInsertedFaceValue = 11;

bool onGrid(int x, int y) {
    return x >= 0 && y >= 0 && x < kGridSize && y < kGridSize;
}
size_t cellIndex(int x, int y) {
    return size_t(y * kGridSize + x);
}

GroundBox* boxAt(CTrackPOD& track, int slot) {
    return slot >= 0 && slot < kMaxGroundBoxes ? track.groundBoxes[size_t(slot)].get() : nullptr;
}

void addOnce(std::vector<int>& slots, int slot) {
    if (slot >= 0 && std::find(slots.begin(), slots.end(), slot) == slots.end()) slots.push_back(slot);
}

// The boxes on the four cells beside (x, y): their sides towards it may
// have become hidden or visible.
void addNeighbours(const CTrackPOD& track, std::vector<int>& slots, int x, int y) {
    for (auto [dx, dy] : {std::pair{0, -1}, {1, 0}, {0, 1}, {-1, 0}})
        addOnce(slots, GroundBoxAt(track, x + dx, y + dy));
}

void storeInMaps(CTrackPOD& track, const GroundBox& box) {
    if (!onGrid(box.x, box.y)) return;
    track.groundBoxMaps.bottom[cellIndex(box.x, box.y)] = box.bottom;
    track.groundBoxMaps.top[cellIndex(box.x, box.y)] = box.top;
}

GroundBoxChange insertBox(CTrackPOD& track, GroundBoxSelection& selection, int x, int y,
                          std::unique_ptr<GroundBox> box) {
    if (!CanInsertGroundBox(track, x, y)) return {};
    box->x = x;
    box->y = y;
    const int slot = track.AddGroundBox(std::move(box)); // derives the centre and midHeight
    if (slot < 0) return {};
    storeInMaps(track, *track.groundBoxes[size_t(slot)]);
    selection.box = slot;
    selection.faceValue = kInsertedFaceValue;
    GroundBoxChange change{true, {slot}};
    addNeighbours(track, change.rebuild, x, y);
    return change;
}

GroundBox* selectedFaceBox(CTrackPOD& track, const GroundBoxSelection& selection) {
    GroundBox* box = CanEditGroundBoxes(track) ? boxAt(track, selection.box) : nullptr;
    return box && selection.face() >= 0 && selection.face() < 6 ? box : nullptr;
}

} // namespace

bool CanEditGroundBoxes(const CTrackPOD& track) {
    return !track.podViewMode;
}

GroundBoxBar CorrectGroundBoxBar(GroundBoxBar bar) {
    bar.top = std::clamp(bar.top, 1, 255);
    if (bar.bottom < 0) bar.bottom = 0;
    if (bar.bottom >= bar.top) bar.bottom = bar.top - 1;
    return bar;
}

GroundBoxBar StepGroundBoxBar(GroundBoxBar bar, bool topChosen, int delta) {
    if (topChosen)
        bar.top = std::clamp(bar.top + delta, 1, 255);
    else
        bar.bottom = std::clamp(bar.bottom + delta, 0, 254);
    return CorrectGroundBoxBar(bar);
}

int GroundBoxAt(const CTrackPOD& track, int x, int y) {
    if (!onGrid(x, y)) return -1;
    for (int i = 0; i < kMaxGroundBoxes; ++i) {
        const auto& box = track.groundBoxes[size_t(i)];
        if (box && box->x == x && box->y == y) return i;
    }
    return -1;
}

bool CanInsertGroundBox(const CTrackPOD& track, int x, int y) {
    return CanEditGroundBoxes(track) && onGrid(x, y) && track.groundBoxMaps.top[cellIndex(x, y)] == 0 &&
           lowestEmptySlot(track.groundBoxes) >= 0;
}

GroundBoxChange InsertGroundBox(CTrackPOD& track, GroundBoxSelection& selection, int x, int y,
                                GroundBoxBar bar, std::optional<int> texture) {
    bar = CorrectGroundBoxBar(bar);
    auto box = std::make_unique<GroundBox>();
    box->bottom = uint8_t(bar.bottom);
    box->top = uint8_t(bar.top);
    if (texture) box->faces.fill(uint16_t(*texture & kTextureSlotMask));
    return insertBox(track, selection, x, y, std::move(box));
}

GroundBoxChange DeleteGroundBox(CTrackPOD& track, GroundBoxSelection& selection) {
    if (!CanEditGroundBoxes(track)) return {};
    GroundBox* box = boxAt(track, selection.box);
    if (!box) return {};
    const int x = box->x, y = box->y, slot = selection.box;
    track.groundBoxes[size_t(slot)].reset();
    if (onGrid(x, y)) {
        track.groundBoxMaps.bottom[cellIndex(x, y)] = 0;
        track.groundBoxMaps.top[cellIndex(x, y)] = 0;
    }
    GroundBoxChange change{true, {}};
    addNeighbours(track, change.rebuild, x, y);
    selection.box = slot > 0 && track.groundBoxes[size_t(slot - 1)] ? slot - 1 : -1;
    selection.faceValue = -1;
    return change;
}

GroundBoxChange SetGroundBoxHeights(CTrackPOD& track, const GroundBoxSelection& selection, GroundBoxBar bar) {
    GroundBox* box = CanEditGroundBoxes(track) ? boxAt(track, selection.box) : nullptr;
    if (!box) return {};
    bar = CorrectGroundBoxBar(bar);
    if (box->bottom == bar.bottom && box->top == bar.top) return {};
    box->bottom = uint8_t(bar.bottom);
    box->top = uint8_t(bar.top);
    box->updateDerived();
    storeInMaps(track, *box);
    GroundBoxChange change{true, {selection.box}};
    addNeighbours(track, change.rebuild, box->x, box->y);
    return change;
}

GroundBoxChange PaintGroundBox(CTrackPOD& track, const GroundBoxSelection& selection, GroundBoxPaint mode,
                               int texture) {
    GroundBox* box = CanEditGroundBoxes(track) ? boxAt(track, selection.box) : nullptr;
    if (!box || texture < 0) return {};
    std::vector<int> faces;
    switch (mode) {
    case GroundBoxPaint::Face:
        if (selection.face() < 0 || selection.face() >= 6) return {};
        faces = {selection.face()};
        break;
    case GroundBoxPaint::Sides:
        faces = {0, 1, 2, 3};
        break;
    case GroundBoxPaint::TopBottom:
        faces = {4, 5};
        break;
    case GroundBoxPaint::AllFaces:
        faces = {0, 1, 2, 3, 4, 5};
        break;
    default:
        return {};
    }
    for (int f : faces) {
        uint16_t& word = box->faces[size_t(f)];
        word = uint16_t((word & ~kTextureSlotMask) | (texture & kTextureSlotMask));
    }
    return {true, {selection.box}};
}

GroundBoxChange RotateGroundBoxFace(CTrackPOD& track, const GroundBoxSelection& selection) {
    GroundBox* box = selectedFaceBox(track, selection);
    if (!box) return {};
    uint16_t& word = box->faces[size_t(selection.face())];
    const int rotation = (word >> kRotationShift) & 3;
    word = uint16_t((word & 0x3FFF) | (((rotation + 1) & 3) << kRotationShift));
    return {true, {selection.box}};
}

GroundBoxChange MirrorGroundBoxFace(CTrackPOD& track, const GroundBoxSelection& selection) {
    GroundBox* box = selectedFaceBox(track, selection);
    if (!box) return {};
    box->faces[size_t(selection.face())] ^= kMirrorBit;
    return {true, {selection.box}};
}

std::optional<GroundBoxClipboard> CopyGroundBox(const CTrackPOD& track, const GroundBoxSelection& selection) {
    if (selection.box < 0 || selection.box >= kMaxGroundBoxes || selection.faceValue < 0) return std::nullopt;
    const auto& box = track.groundBoxes[size_t(selection.box)];
    if (!box) return std::nullopt;
    return GroundBoxClipboard{box->sizeX, box->sizeY, box->bottom, box->top, box->faces};
}

GroundBoxChange CutGroundBox(CTrackPOD& track, GroundBoxSelection& selection,
                             std::optional<GroundBoxClipboard>& clipboard) {
    if (!CanEditGroundBoxes(track)) return {};
    auto copied = CopyGroundBox(track, selection);
    if (!copied) return {};
    clipboard = copied;
    return DeleteGroundBox(track, selection);
}

GroundBoxChange PasteGroundBox(CTrackPOD& track, GroundBoxSelection& selection, int x, int y,
                               const GroundBoxClipboard& clipboard) {
    auto box = std::make_unique<GroundBox>();
    box->sizeX = clipboard.sizeX;
    box->sizeY = clipboard.sizeY;
    box->bottom = clipboard.bottom;
    box->top = clipboard.top;
    box->faces = clipboard.faces;
    return insertBox(track, selection, x, y, std::move(box));
}

// ---- picking a face ------------------------------------------------------------

bool PointInScreenTriangle(const std::array<std::array<int, 2>, 3>& c, int x, int y) {
    const int minX = std::min({c[0][0], c[1][0], c[2][0]}), maxX = std::max({c[0][0], c[1][0], c[2][0]});
    const int minY = std::min({c[0][1], c[1][1], c[2][1]}), maxY = std::max({c[0][1], c[1][1], c[2][1]});
    if (x < minX || x > maxX || y < minY || y > maxY) return false;
    bool anyNegative = false, anyPositive = false;
    for (size_t i = 0; i < 3; ++i) {
        const auto& a = c[i];
        const auto& b = c[(i + 1) % 3];
        const int64_t edge = int64_t(b[0] - a[0]) * (y - a[1]) - int64_t(b[1] - a[1]) * (x - a[0]);
        anyNegative |= edge < 0;
        anyPositive |= edge > 0;
    }
    return !(anyNegative && anyPositive);
}

GroundBoxSelection PickGroundBoxFace(std::span<const GroundBoxScreenTriangle> triangles, int mouseX,
                                     int mouseY) {
    GroundBoxSelection picked;
    int nearest = 0;
    for (const auto& t : triangles) {
        if (t.box < 0 || !PointInScreenTriangle(t.corners, mouseX, mouseY)) continue;
        if (picked.box < 0 || t.depth < nearest) {
            picked = {t.box, t.faceValue};
            nearest = t.depth;
        }
    }
    return picked;
}

} // namespace ravok
