#include "edit/ObjectSelection.h"

#include "model/TrackPod.h"

#include <algorithm>
#include <cstdlib>

namespace ravok {

namespace {
bool occupied(const CTrackPOD& track, int slot) {
    return slot >= 0 && slot < kMaxObjects && track.objects[size_t(slot)] != nullptr;
}
} // namespace

void ObjectSelection::clear() {
    current = -1;
    flagged.fill(false);
    flaggedCount = 0;
}

void ObjectSelection::selectOnly(int slot) {
    clear();
    current = slot >= 0 && slot < kMaxObjects ? slot : -1;
}

void ObjectSelection::setFlag(int slot, bool on) {
    if (slot < 0 || slot >= kMaxObjects || flagged[size_t(slot)] == on) return;
    flagged[size_t(slot)] = on;
    flaggedCount += on ? 1 : -1;
}

std::vector<int> SelectedObjects(const CTrackPOD& track, const ObjectSelection& selection) {
    std::vector<int> slots;
    if (occupied(track, selection.current)) slots.push_back(selection.current);
    if (selection.flaggedCount > 0)
        for (int i = 0; i < kMaxObjects; ++i)
            if (selection.flagged[size_t(i)] && i != selection.current && occupied(track, i))
                slots.push_back(i);
    return slots;
}

bool IsObjectSelected(const CTrackPOD& track, const ObjectSelection& selection, int slot) {
    if (!occupied(track, slot)) return false;
    return slot == selection.current || selection.isFlagged(slot);
}

void NormaliseSelection(const CTrackPOD& track, ObjectSelection& selection) {
    for (int i = 0; i < kMaxObjects; ++i)
        if (selection.flagged[size_t(i)] && !occupied(track, i)) selection.setFlag(i, false);
    if (!occupied(track, selection.current)) selection.current = -1;
    if (selection.flaggedCount > 0 && selection.current >= 0 && !selection.isFlagged(selection.current)) {
        selection.flagged.fill(false);
        selection.flaggedCount = 0;
    }
}

void ToggleObjectInSelection(const CTrackPOD& track, ObjectSelection& selection, int slot) {
    if (!occupied(track, slot)) return;
    if (selection.flaggedCount == 0) {
        if (selection.current < 0) {
            selection.current = slot;
            return;
        }
        if (selection.current == slot) {
            selection.current = -1;
            return;
        }
        selection.setFlag(selection.current, true);
        selection.setFlag(slot, true);
        selection.current = slot;
        return;
    }
    if (selection.isFlagged(slot)) {
        selection.setFlag(slot, false);
        if (selection.current == slot) {
            // The current object moves to another member of the group.
            selection.current = -1;
            for (int i = 0; i < kMaxObjects; ++i)
                if (selection.flagged[size_t(i)] && occupied(track, i)) {
                    selection.current = i;
                    break;
                }
        }
        if (selection.flaggedCount == 1) {
            // One left: a plain selection again.
            const int only = selection.current;
            selection.selectOnly(only);
        }
    } else {
        selection.setFlag(slot, true);
        selection.current = slot;
    }
}

int AddObjectsInRect(const CTrackPOD& track, ObjectSelection& selection,
                     std::span<const ScreenPoint> projected, ScreenRect rect) {
    const int left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const int top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
    int added = 0;
    const size_t n = std::min(projected.size(), size_t(kMaxObjects));
    for (size_t i = 0; i < n; ++i) {
        const ScreenPoint& p = projected[i];
        if (!p.visible || !occupied(track, int(i))) continue;
        if (p.x < left || p.x > right || p.y < top || p.y > bottom) continue;
        if (IsObjectSelected(track, selection, int(i))) continue;
        if (selection.current >= 0 && selection.flaggedCount == 0) selection.setFlag(selection.current, true);
        selection.setFlag(int(i), true);
        if (selection.current < 0) selection.current = int(i);
        ++added;
    }
    // A single object found with nothing selected before is a plain selection.
    if (selection.flaggedCount == 1) selection.selectOnly(selection.current);
    return added;
}

int NextDrawnObject(std::span<const int> drawnSlots, int current) {
    if (drawnSlots.empty()) return -1;
    auto at = std::find(drawnSlots.begin(), drawnSlots.end(), current);
    if (at == drawnSlots.end() || ++at == drawnSlots.end()) return drawnSlots.front();
    return *at;
}

int PickNearestScreenPoint(std::span<const ScreenPoint> points, int mouseX, int mouseY, int limit) {
    int best = -1, bestDistance = limit;
    for (size_t i = 0; i < points.size(); ++i) {
        if (!points[i].visible) continue;
        const int d = std::abs(points[i].x - mouseX) + std::abs(points[i].y - mouseY);
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

} // namespace ravok
