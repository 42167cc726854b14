#include "edit/ObjectEditing.h"

#include "base/Interfaces.h"
#include "base/Text.h"
#include "edit/ObjectTypes.h"
#include "model/TrackPod.h"

#include <cctype>
#include <cmath>
#include <numbers>

namespace ravok {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

TrackObject* objectAt(CTrackPOD& track, int slot) {
    return slot >= 0 && slot < kMaxObjects ? track.objects[size_t(slot)].get() : nullptr;
}

// Steps 1 to 3 of Insert: the slot and the new record on the picked point.
ObjectInsertResult insertAt(CTrackPOD& track, ObjectSelection& selection, std::optional<GroundPick> pick,
                            TrackObject** created) {
    ObjectInsertResult result;
    selection.clear();
    if (!CanEditObjects(track)) return result;
    if (track.counts().objects >= kMaxObjects) {
        result.refusal = {kMaxObjectsMessage, {}};
        return result;
    }
    const int slot = lowestEmptySlot(track.objects);
    if (slot < 0 || !pick) return result;
    auto object = std::make_unique<TrackObject>();
    object->x = pick->x;
    object->y = pick->y;
    object->aboveGround = 0;
    object->z = pick->height + object->aboveGround;
    *created = object.get();
    track.objects[size_t(slot)] = std::move(object);
    selection.current = slot;
    result.slot = slot;
    return result;
}

} // namespace

void SplitSubunits(int64_t subunits, int32_t& whole, int16_t& fraction) {
    int64_t q = subunits / 256;
    if (subunits % 256 < 0) --q;
    whole = int32_t(q);
    fraction = int16_t(subunits - q * 256);
}

GroundPick GroundPickAt(const CTrackPOD& track, int32_t x, int32_t y) {
    return {x, y, track.TerrainHeightAt(x, y)};
}

bool CanEditObjects(const CTrackPOD& track) {
    return !track.podViewMode;
}

int ObjectGroundHeight(const CTrackPOD& track, const TrackObject& object) {
    return track.TerrainHeightAt(object.x, object.y);
}

void PlaceObjectOnGround(const CTrackPOD& track, TrackObject& object) {
    object.z = ObjectGroundHeight(track, object) + object.aboveGround;
}

// ---- insert and delete ---------------------------------------------------------

ObjectInsertResult InsertObject(CTrackPOD& track, ObjectSelection& selection,
                                std::optional<GroundPick> pick) {
    TrackObject* created = nullptr;
    return insertAt(track, selection, pick, &created);
}

std::string DeleteObjectsQuestion(const CTrackPOD& track, const ObjectSelection& selection) {
    const size_t n = SelectedObjects(track, selection).size();
    if (n <= 1) return {};
    return formatText("Delete the %d selected objects?\n\nThis cannot be undone.", int(n));
}

int DeleteSelectedObjects(CTrackPOD& track, ObjectSelection& selection, Prompter& prompter) {
    if (!CanEditObjects(track)) return 0;
    const std::vector<int> slots = SelectedObjects(track, selection);
    if (slots.empty()) return 0;
    const std::string question = DeleteObjectsQuestion(track, selection);
    if (!question.empty() && !prompter.askYesNo(question, kDeleteObjectsCaption, false)) return 0;
    for (int slot : slots)
        track.objects[size_t(slot)].reset();
    selection.clear();
    return int(slots.size());
}

// ---- copy and paste ------------------------------------------------------------

std::optional<TrackObject> CopyObject(const CTrackPOD& track, const ObjectSelection& selection) {
    if (selection.current < 0 || selection.current >= kMaxObjects) return std::nullopt;
    const auto& object = track.objects[size_t(selection.current)];
    if (!object) return std::nullopt;
    return *object;
}

ObjectInsertResult PasteObject(CTrackPOD& track, ObjectSelection& selection, const TrackObject& clipboard,
                               std::optional<GroundPick> pick) {
    TrackObject* o = nullptr;
    ObjectInsertResult result = insertAt(track, selection, pick, &o);
    if (result.slot < 0) return result;
    const int32_t x = o->x, y = o->y;
    *o = clipboard;
    o->x = x;
    o->y = y;
    // The clipboard may hold references to models removed since the copy:
    // the pasted object takes the models its names find now.
    auto resolve = [&](const FixedString<32>& name) -> Model* {
        const int slot = name.empty() ? -1 : track.FindModel(name.view());
        return slot < 0 ? nullptr : track.models[size_t(slot)].get();
    };
    o->model = resolve(o->modelName);
    o->cabModel = resolve(o->cabModelName);
    PlaceObjectOnGround(track, *o);
    if (o->type == kObjectCheckpoint) {
        // The data model allows 20 checkpoints whatever the operation; the
        // pasted one takes its place in the order by its copied number.
        if (ObjectsInGroup(track, ObjectLimitGroup::Checkpoints) > kMaxCheckpoints) {
            o->type = kObjectDefault;
            result.refusal = {kMaxCheckpointsMessage, {}};
        } else {
            RenumberCheckpoints(track, &selection);
            result.slot = selection.current;
        }
        return result;
    }
    result.refusal = CheckObjectLimits(track, result.slot);
    return result;
}

// ---- the keys ----------------------------------------------------------------

std::optional<ObjectKeyAction> ObjectKeyActionFor(char key, bool shift, bool ctrl, bool sitUnits) {
    const char k = char(std::toupper(static_cast<unsigned char>(key)));
    ObjectAxis axis;
    int sign = 1;
    switch (k) {
    case 'D':
        axis = ObjectAxis::X;
        break;
    case 'C':
        axis = ObjectAxis::X, sign = -1;
        break;
    case 'F':
        axis = ObjectAxis::Y;
        break;
    case 'V':
        axis = ObjectAxis::Y, sign = -1;
        break;
    case 'S':
    case ']':
        axis = ObjectAxis::AboveGround;
        break;
    case 'X':
    case '[':
        axis = ObjectAxis::AboveGround, sign = -1;
        break;
    case 'R':
        axis = ObjectAxis::Heading;
        break;
    case 'T':
        axis = ObjectAxis::Heading, sign = -1;
        break;
    case 'G':
        axis = ObjectAxis::TiltPhi;
        break;
    case 'B':
        axis = ObjectAxis::TiltPhi, sign = -1;
        break;
    case 'H':
        axis = ObjectAxis::TiltTheta;
        break;
    case 'N':
        axis = ObjectAxis::TiltTheta, sign = -1;
        break;
    case '1':
        axis = ObjectAxis::Width;
        break;
    case '2':
        axis = ObjectAxis::Width, sign = -1;
        break;
    case '3':
        axis = ObjectAxis::Length;
        break;
    case '4':
        axis = ObjectAxis::Length, sign = -1;
        break;
    case '5':
        axis = ObjectAxis::BoxHeight;
        break;
    case '6':
        axis = ObjectAxis::BoxHeight, sign = -1;
        break;
    default:
        return std::nullopt;
    }
    // Steps for plain, Shift and Shift+Ctrl.
    double plain = 1, withShift = 10, withBoth = 25;
    switch (axis) {
    case ObjectAxis::X:
    case ObjectAxis::Y:
        plain = 10, withShift = 100, withBoth = sitUnits ? 0.2 : 0.1;
        break;
    case ObjectAxis::AboveGround:
        plain = 1, withShift = 5, withBoth = 0.1;
        break;
    case ObjectAxis::Heading:
        plain = 1, withShift = 10, withBoth = 0.01;
        break;
    case ObjectAxis::TiltPhi:
    case ObjectAxis::TiltTheta:
        plain = 1, withShift = 0.1, withBoth = 0.01;
        break;
    default:
        break;
    }
    double step;
    if (ctrl && !shift) {
        // Ctrl alone turns finely; with the other keys Ctrl belongs to the
        // menu's shortcuts (Ctrl+C, Ctrl+V).
        if (axis != ObjectAxis::Heading) return std::nullopt;
        step = 0.1;
    } else {
        step = shift ? (ctrl ? withBoth : withShift) : plain;
    }
    return ObjectKeyAction{axis, sign * step};
}

void MoveObjectBy(const CTrackPOD& track, TrackObject& object, ObjectAxis axis, double units) {
    const bool isX = axis == ObjectAxis::X;
    int32_t& whole = isX ? object.x : object.y;
    int16_t& fraction = isX ? object.xFraction : object.yFraction;
    // In 1/256 units; the step's own fraction is truncated like a raise's.
    int64_t total =
        int64_t(whole) * 256 + fraction + int64_t(std::trunc(units * 256.0 + (units >= 0 ? 1e-9 : -1e-9)));
    if (total < 0) total = 0;
    SplitSubunits(total, whole, fraction);
    PlaceObjectOnGround(track, object);
}

void RaiseObjectBy(const CTrackPOD& track, TrackObject& object, int hundredths) {
    const int64_t change = int64_t(hundredths) * 256 / 100; // truncated towards zero
    int64_t total = int64_t(object.aboveGround) * 256 + object.zFraction + change;
    if (total > int64_t(kMaxAboveGround) * 256) total = int64_t(kMaxAboveGround) * 256;
    SplitSubunits(total, object.aboveGround, object.zFraction);
    PlaceObjectOnGround(track, object);
}

void TurnObjectBy(TrackObject& object, double degrees) {
    double psi = double(object.psi) + degrees * std::numbers::pi / 180.0;
    while (psi < 0)
        psi += kTwoPi;
    while (psi >= kTwoPi)
        psi -= kTwoPi;
    object.psi = float(psi);
    if (double(object.psi) >= kTwoPi) object.psi = 0; // rounding to float reached 2 pi
}

float TiltAngleBy(float radians, double degrees) {
    double d = double(radians) * 180.0 / std::numbers::pi;
    d = std::round(d * 100000.0) / 100000.0;
    d += degrees;
    while (d < 0)
        d += 360.0;
    while (d >= 360.0)
        d -= 360.0;
    return float(d * std::numbers::pi / 180.0);
}

void SizeObjectBy(TrackObject& object, ObjectAxis axis, int step) {
    switch (axis) {
    case ObjectAxis::Width:
        object.width = std::max(1, object.width + step);
        break;
    case ObjectAxis::Length:
        object.length = std::max(1, object.length + step);
        break;
    case ObjectAxis::BoxHeight:
        object.height = std::max(0, object.height + step);
        break;
    default:
        break;
    }
}

bool ApplyObjectStep(CTrackPOD& track, const ObjectSelection& selection, ObjectKeyAction action) {
    if (!CanEditObjects(track)) return false;
    const std::vector<int> slots = SelectedObjects(track, selection);
    for (int slot : slots) {
        TrackObject& o = *track.objects[size_t(slot)];
        switch (action.axis) {
        case ObjectAxis::X:
        case ObjectAxis::Y:
            MoveObjectBy(track, o, action.axis, action.step);
            break;
        case ObjectAxis::AboveGround:
            RaiseObjectBy(track, o, int(std::lround(action.step * 100.0)));
            break;
        case ObjectAxis::Heading:
            TurnObjectBy(o, action.step);
            break;
        case ObjectAxis::TiltPhi:
            o.phi = TiltAngleBy(o.phi, action.step);
            break;
        case ObjectAxis::TiltTheta:
            o.theta = TiltAngleBy(o.theta, action.step);
            break;
        default:
            SizeObjectBy(o, action.axis, int(std::lround(action.step)));
            break;
        }
    }
    return !slots.empty();
}

// ---- the mouse ---------------------------------------------------------------

bool DragSelectedObjects(CTrackPOD& track, const ObjectSelection& selection, const GroundPick& pick) {
    if (!CanEditObjects(track)) return false;
    TrackObject* current = objectAt(track, selection.current);
    if (!current) return false;
    const int64_t dx = int64_t(pick.x) - current->x, dy = int64_t(pick.y) - current->y;
    current->x = std::max<int32_t>(0, pick.x);
    current->y = std::max<int32_t>(0, pick.y);
    current->z = pick.height + current->aboveGround;
    for (int slot : SelectedObjects(track, selection)) {
        if (slot == selection.current) continue;
        TrackObject& o = *track.objects[size_t(slot)];
        o.x = int32_t(std::clamp<int64_t>(o.x + dx, 0, INT32_MAX));
        o.y = int32_t(std::clamp<int64_t>(o.y + dy, 0, INT32_MAX));
        PlaceObjectOnGround(track, o);
    }
    return true;
}

bool TurnSelectedObjects(CTrackPOD& track, const ObjectSelection& selection, int pixelsX) {
    if (!CanEditObjects(track)) return false;
    const std::vector<int> slots = SelectedObjects(track, selection);
    for (int slot : slots) {
        // Kept in 0..2 pi like a turn by the keys.
        TurnObjectBy(*track.objects[size_t(slot)], 0.008 * pixelsX * 180.0 / std::numbers::pi);
    }
    return !slots.empty();
}

// ---- terrain changes -------------------------------------------------------------

void RederiveObjectHeights(CTrackPOD& track) {
    track.NormaliseObjectHeights();
}

} // namespace ravok
