#include "edit/ObjectTypes.h"

#include "base/Text.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <numeric>

namespace ravok {

ObjectLimitGroup ObjectLimitGroupOf(int32_t type) {
    switch (type) {
    case kObjectCheckpoint:
        return ObjectLimitGroup::Checkpoints;
    case kObjectRamp:
        return ObjectLimitGroup::Ramps;
    case kObjectTopCrush:
        return ObjectLimitGroup::TopCrush;
    case kObjectTrain:
    case kObjectMoving:
        return ObjectLimitGroup::Moving;
    case kObjectLight:
        return ObjectLimitGroup::Lights;
    default:
        return ObjectLimitGroup::None;
    }
}

int ObjectGroupLimit(ObjectLimitGroup group) {
    switch (group) {
    case ObjectLimitGroup::Checkpoints:
        return kMaxCheckpoints;
    case ObjectLimitGroup::Ramps:
        return kMaxRamps;
    case ObjectLimitGroup::TopCrush:
        return kMaxTopCrush;
    case ObjectLimitGroup::Moving:
        return kMaxMovingObjects;
    case ObjectLimitGroup::Lights:
        return kMaxLights;
    default:
        return 0;
    }
}

int ObjectsInGroup(const CTrackPOD& track, ObjectLimitGroup group) {
    if (group == ObjectLimitGroup::None) return 0;
    int n = 0;
    for (const auto& o : track.objects)
        n += o && ObjectLimitGroupOf(o->type) == group;
    return n;
}

void RetypeObject(TrackObject& object, int32_t type) {
    if (type == kObjectRamp) {
        if (object.type != kObjectRamp) {
            object.model = nullptr;
            object.cabModel = nullptr;
            object.modelName.clear();
            object.cabModelName.clear();
        }
    } else if (type != kObjectTopCrush) {
        object.cabModelName.clear();
        object.cabModel = nullptr;
    }
    object.type = type;
}

bool RenumberCheckpoints(CTrackPOD& track, ObjectSelection* selection) {
    std::vector<int> slots;
    for (int i = 0; i < kMaxObjects && int(slots.size()) < kMaxCheckpoints; ++i)
        if (track.objects[size_t(i)] && track.objects[size_t(i)]->type == kObjectCheckpoint)
            slots.push_back(i);
    // order[k]: the slot whose record goes to slots[k].
    std::vector<int> order(slots);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return track.objects[size_t(a)]->sequence < track.objects[size_t(b)]->sequence;
    });
    bool changed = false;
    std::vector<std::unique_ptr<TrackObject>> records;
    for (int from : order)
        records.push_back(std::move(track.objects[size_t(from)]));
    for (size_t k = 0; k < slots.size(); ++k) {
        changed |= order[k] != slots[k] || records[k]->sequence != int(k);
        records[k]->sequence = int(k);
        track.objects[size_t(slots[k])] = std::move(records[k]);
    }
    if (selection && changed) {
        const ObjectSelection before = *selection;
        for (size_t k = 0; k < slots.size(); ++k) {
            selection->flagged[size_t(slots[k])] = before.flagged[size_t(order[k])];
            if (before.current == order[k]) selection->current = slots[k];
        }
    }
    return changed;
}

SetTypeResult SetObjectsType(CTrackPOD& track, ObjectSelection& selection, int listIndex) {
    SetTypeResult result;
    if (!CanEditObjects(track) || listIndex < 0 || listIndex >= int(kObjectTypeNames.size())) return result;
    const std::vector<int> slots = SelectedObjects(track, selection);
    result.selected = int(slots.size());
    const int32_t type = objectTypeFromListPosition(listIndex);
    const ObjectLimitGroup group = ObjectLimitGroupOf(type);
    const int limit = ObjectGroupLimit(group);
    int freePlaces = limit - ObjectsInGroup(track, group);
    bool checkpointsChanged = false;
    for (size_t i = 0; i < slots.size(); ++i) {
        TrackObject& o = *track.objects[size_t(slots[i])];
        if (group != ObjectLimitGroup::None && ObjectLimitGroupOf(o.type) != group) {
            if (freePlaces <= 0) {
                ++result.left;
                continue;
            }
            --freePlaces;
        }
        const bool wasCheckpoint = o.type == kObjectCheckpoint;
        RetypeObject(o, type);
        if (type == kObjectCheckpoint && !wasCheckpoint) o.sequence = 1000 + int(i);
        checkpointsChanged |= wasCheckpoint != (type == kObjectCheckpoint);
        ++result.changed;
    }
    if (checkpointsChanged) RenumberCheckpoints(track, &selection);
    if (result.left > 0) {
        result.notice.caption = kSetTypeCaption;
        if (group == ObjectLimitGroup::Moving)
            result.notice.text =
                formatText("%d of the %d selected objects were left as they were: a track can have "
                           "at most %d Train and Moving objects between them.",
                           result.left, result.selected, limit);
        else
            result.notice.text =
                formatText("%d of the %d selected objects were left as they were: a track can have "
                           "at most %d of type %s.",
                           result.left, result.selected, limit,
                           std::string(kObjectTypeNames[size_t(listIndex)]).c_str());
    }
    return result;
}

std::string SetTypeMenuText(int selectedCount) {
    return selectedCount > 1 ? formatText("Set &Type of %d Objects", selectedCount)
                             : std::string("Set &Type");
}

std::string DeleteMenuText(int selectedCount) {
    return selectedCount > 1 ? formatText("Delete %d Objects", selectedCount) : std::string("Delete");
}

EditNotice CheckObjectLimits(CTrackPOD& track, int slot) {
    if (slot < 0 || slot >= kMaxObjects || !track.objects[size_t(slot)]) return {};
    TrackObject& o = *track.objects[size_t(slot)];
    const ObjectLimitGroup group = ObjectLimitGroupOf(o.type);
    if (group == ObjectLimitGroup::None || group == ObjectLimitGroup::Checkpoints) return {};
    if (ObjectsInGroup(track, group) <= ObjectGroupLimit(group)) return {};
    EditNotice notice;
    switch (group) {
    case ObjectLimitGroup::Ramps:
        notice.text = kMaxRampsMessage;
        break;
    case ObjectLimitGroup::TopCrush:
        notice.text = formatText(kMaxTopCrushFormat, kMaxTopCrush);
        break;
    case ObjectLimitGroup::Moving:
        notice.text = kMaxMovingMessage;
        break;
    default:
        notice.text = kMaxLightsMessage;
        break;
    }
    RetypeObject(o, kObjectDefault);
    return notice;
}

EditNotice SetCheckpointSequence(CTrackPOD& track, ObjectSelection* selection, int slot, int sequence) {
    if (slot < 0 || slot >= kMaxObjects || !track.objects[size_t(slot)]) return {};
    TrackObject& edited = *track.objects[size_t(slot)];
    if (edited.type != kObjectCheckpoint) return {};
    for (const auto& o : track.objects)
        if (o && o.get() != &edited && o->type == kObjectCheckpoint && o->sequence >= sequence) ++o->sequence;
    edited.sequence = sequence;
    EditNotice notice;
    if (ObjectsInGroup(track, ObjectLimitGroup::Checkpoints) > kMaxCheckpoints) {
        RetypeObject(edited, kObjectDefault);
        notice.text = kMaxCheckpointsMessage;
    }
    RenumberCheckpoints(track, selection);
    return notice;
}

std::string CheckpointLabel(int sequence) {
    return formatText("CP %02d", sequence);
}

std::string ObjectViewLabel(const TrackObject& object, bool drawnAsPlainBlock) {
    if (object.type == kObjectCheckpoint) return CheckpointLabel(object.sequence);
    if (!drawnAsPlainBlock) return {};
    return object.type == kObjectRamp ? "RAMP" : "BOX";
}

} // namespace ravok
