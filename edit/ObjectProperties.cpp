#include "edit/ObjectProperties.h"

#include "edit/ObjectTypes.h"
#include "edit/TopCrushModels.h"
#include "edit/TrackSounds.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

namespace ravok {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// A shown value stored to the nearest 1/256.
void splitFraction(double value, int32_t& whole, int16_t& fraction) {
    SplitSubunits(std::llround(value * 256.0), whole, fraction);
}

double wrapDegrees(double d) {
    while (d < 0)
        d += 360.0;
    while (d >= 360.0)
        d -= 360.0;
    return d;
}

TrackObject* findRecord(CTrackPOD& track, const TrackObject* record, int& slot) {
    for (int i = 0; i < kMaxObjects; ++i)
        if (track.objects[size_t(i)].get() == record) {
            slot = i;
            return track.objects[size_t(i)].get();
        }
    slot = -1;
    return nullptr;
}

} // namespace

const std::array<const char*, 3> kLightGlowNames = {"0 - none (still lights)", "1 - glow sprite",
                                                    "2 - glow sprite + cone"};

bool PropertiesShowSequence(int typeIndex) {
    return objectTypeFromListPosition(typeIndex) == kObjectCheckpoint;
}
bool PropertiesShowSize(const TrackObject& object) {
    return object.modelName.empty();
}
bool PropertiesShowCab(int typeIndex) {
    return objectTypeFromListPosition(typeIndex) == kObjectTopCrush;
}
bool PropertiesShowLight(int typeIndex) {
    return objectTypeFromListPosition(typeIndex) == kObjectLight;
}

ObjectPropertiesValues ObjectPropertiesOf(const TrackObject& o, bool sitUnits) {
    ObjectPropertiesValues v;
    v.typeIndex = objectTypeListPosition(o.type);
    v.sequence = o.sequence;
    v.modelName = o.modelName.str();
    const double scale = sitUnits ? 0.5 : 1.0;
    v.x = (o.x + o.xFraction / 256.0) * scale;
    v.y = (o.y + o.yFraction / 256.0) * scale;
    v.length = o.length;
    v.width = o.width;
    v.height = o.height;
    v.vx = o.bvel[0];
    v.vy = o.bvel[1];
    v.mass = int(std::lround(o.mass));
    v.aboveGround = o.aboveGround + o.zFraction / 256.0;
    v.headingDegrees = o.psi * kDegreesPerRadian;
    v.tiltPhiDegrees = o.phi * kDegreesPerRadian;
    v.tiltThetaDegrees = o.theta * kDegreesPerRadian;
    v.priority = o.priority;
    v.continuousSound = o.continuousSound.str();
    v.impactSound = o.impactSound.str();
    v.cabOffset = o.cabOffset;
    v.cabModelName = o.cabModelName.str();
    v.light = o.light;
    return v;
}

bool StepPropertiesField(ObjectPropertiesValues& values, char key, bool shift, bool ctrl, bool sitUnits) {
    if (ctrl && !shift) return false;
    const char k = char(std::toupper(static_cast<unsigned char>(key)));
    if (std::string_view("DCFVSXRTGBHN").find(k) == std::string_view::npos) return false;
    auto action = ObjectKeyActionFor(k, shift, ctrl, sitUnits);
    if (!action) return false;
    // The same movement as in the view: X and Y are shown halved in .SIT units.
    const double xyScale = sitUnits ? 0.5 : 1.0;
    switch (action->axis) {
    case ObjectAxis::X:
        values.x = std::max(0.0, values.x + action->step * xyScale);
        break;
    case ObjectAxis::Y:
        values.y = std::max(0.0, values.y + action->step * xyScale);
        break;
    case ObjectAxis::AboveGround:
        values.aboveGround = std::min(double(kMaxAboveGround), values.aboveGround + action->step);
        break;
    case ObjectAxis::Heading:
        values.headingDegrees = wrapDegrees(values.headingDegrees + action->step);
        break;
    case ObjectAxis::TiltPhi:
        values.tiltPhiDegrees = wrapDegrees(values.tiltPhiDegrees + action->step);
        break;
    case ObjectAxis::TiltTheta:
        values.tiltThetaDegrees = wrapDegrees(values.tiltThetaDegrees + action->step);
        break;
    default:
        return false;
    }
    return true;
}

ObjectPropertiesResult ApplyObjectProperties(CTrackPOD& track, ObjectSelection& selection,
                                             const ObjectPropertiesValues& values, bool sitUnits,
                                             const std::filesystem::path& soundFolder) {
    ObjectPropertiesResult result;
    if (!CanEditObjects(track) || selection.current < 0 || selection.current >= kMaxObjects) return result;
    TrackObject* o = track.objects[size_t(selection.current)].get();
    if (!o) return result;
    result.slot = selection.current;
    result.changed = true;
    if (values.chosenCabModel >= 0 && values.chosenBaseModel >= 0)
        SetTopCrushModels(track, result.slot, values.chosenCabModel, values.chosenBaseModel);
    const ObjectPropertiesValues before = ObjectPropertiesOf(*o, sitUnits);

    const bool wasCheckpoint = o->type == kObjectCheckpoint;
    RetypeObject(*o, objectTypeFromListPosition(values.typeIndex));
    o->light = values.light;
    o->bvel[0] = float(values.vx);
    o->bvel[1] = float(values.vy);
    o->length = std::max(1, values.length);
    o->width = std::max(1, values.width);
    o->height = std::max(0, values.height);
    // Fields left as shown keep their exact value (the dialog rounds what it shows).
    const double scale = sitUnits ? 2.0 : 1.0;
    if (values.x >= 0 && values.x != before.x) splitFraction(values.x * scale, o->x, o->xFraction);
    if (values.y >= 0 && values.y != before.y) splitFraction(values.y * scale, o->y, o->yFraction);
    o->mass = float(values.mass);
    if (values.aboveGround != before.aboveGround) {
        if (values.aboveGround >= kMaxAboveGround) {
            o->aboveGround = kMaxAboveGround;
            o->zFraction = 0;
        } else {
            splitFraction(values.aboveGround, o->aboveGround, o->zFraction);
        }
    }
    PlaceObjectOnGround(track, *o);
    if (values.headingDegrees != before.headingDegrees)
        o->psi = float(values.headingDegrees / kDegreesPerRadian);
    if (values.tiltPhiDegrees != before.tiltPhiDegrees)
        o->phi = float(values.tiltPhiDegrees / kDegreesPerRadian);
    if (values.tiltThetaDegrees != before.tiltThetaDegrees)
        o->theta = float(values.tiltThetaDegrees / kDegreesPerRadian);
    o->priority = values.priority;
    o->cabOffset = values.cabOffset;
    if (values.continuousSound != before.continuousSound) {
        SoundChoice c =
            ChooseObjectSound(track, *o, SoundKind::Continuous, values.continuousSound, soundFolder);
        if (!c.notice.empty()) result.notices.push_back(c.notice);
    }
    if (values.impactSound != before.impactSound) {
        SoundChoice c = ChooseObjectSound(track, *o, SoundKind::Impact, values.impactSound, soundFolder);
        if (!c.notice.empty()) result.notices.push_back(c.notice);
    }

    if (o->type == kObjectCheckpoint) {
        int sequence = values.sequence;
        // A new checkpoint whose number was not typed goes after the others.
        if (!wasCheckpoint && values.sequence == before.sequence) {
            sequence = 0;
            for (const auto& other : track.objects)
                if (other && other.get() != o && other->type == kObjectCheckpoint)
                    sequence = std::max(sequence, other->sequence + 1);
        }
        EditNotice n = SetCheckpointSequence(track, &selection, result.slot, sequence);
        if (!n.empty()) result.notices.push_back(n);
        o = findRecord(track, o, result.slot);
    } else if (wasCheckpoint) {
        RenumberCheckpoints(track, &selection);
    }
    if (EditNotice n = CheckObjectLimits(track, result.slot); !n.empty()) result.notices.push_back(n);
    return result;
}

LightParameters CorrectLightProperties(LightParameters v) {
    v.rad = std::clamp(v.rad, 0.0f, kMaxLightRadius);
    v.bright = std::clamp(v.bright, kMinLightBrightness, kMaxLightBrightness);
    v.glow = std::clamp(v.glow, 0, 2);
    for (float* value : {&v.glowRad, &v.coneLen, &v.coneRim, &v.coneBase})
        if (*value < 0) *value = 0;
    return v;
}

} // namespace ravok
