#pragma once

#include "edit/ObjectEditing.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

// The values of the Object Properties and Light Properties dialogs, and what
// OK does with them.
namespace ravok {

class CTrackPOD;

// Every field of Object Properties, as the dialog shows them.
struct ObjectPropertiesValues {
    int typeIndex = 0;                        // position in the type list (0..15)
    int sequence = 0;                         // checkpoints only
    std::string modelName;                    // read-only
    double x = 0, y = 0;                      // halved when the ".SIT units" option is on
    int length = 64, width = 64, height = 20; // box objects only
    double vx = 0, vy = 0;
    int mass = 0;              // Lbs
    double aboveGround = 0;    // height units with the 1/256 fraction
    double headingDegrees = 0; // psi
    double tiltPhiDegrees = 0, tiltThetaDegrees = 0;
    int priority = 0; // 0 Sparse, 1 Normal, 2 Complex
    std::string continuousSound, impactSound;
    std::array<int32_t, 3> cabOffset{}; // top-crush only
    std::string cabModelName;           // top-crush only, read-only here
    // A cab and base chosen for a Top-Crush object while the dialog is open
    // (model slots, -1 for none): the object takes them on OK only.
    int chosenCabModel = -1, chosenBaseModel = -1;
    LightParameters light;              // Light objects: through "Light..."
};

// Whether the dialog shows the Sequence, Size, cab and "Light..." parts.
bool PropertiesShowSequence(int typeIndex);
bool PropertiesShowSize(const TrackObject& object); // box objects: no model
bool PropertiesShowCab(int typeIndex);
bool PropertiesShowLight(int typeIndex);

// The dialog's values for an object. `sitUnits`: X and Y are shown halved.
ObjectPropertiesValues ObjectPropertiesOf(const TrackObject& object, bool sitUnits);

// A key pressed in the dialog (D/C, F/V, S/X, R/T, G/B, H/N without Alt)
// changes the matching field by the view's step; Ctrl without Shift does
// nothing; X and Y stay at 0 or above. True when a field changed.
bool StepPropertiesField(ObjectPropertiesValues& values, char key, bool shift, bool ctrl, bool sitUnits);

struct ObjectPropertiesResult {
    int slot = -1;                   // where the object is now (checkpoints may move)
    std::vector<EditNotice> notices; // limit messages and sound refusals, in order
    bool changed = false;
};
// OK of Object Properties on the current object: a newly chosen Top-Crush
// cab and base (lifting the object onto the base), the type, light values,
// velocities, size, X and Y when not negative, mass, height above ground
// (capped at 500; z follows when it changed), heading and tilts, priority, cab
// offset, the sounds (loaded from the sound folder), the checkpoint sequence,
// then the limit checks.
ObjectPropertiesResult ApplyObjectProperties(CTrackPOD& track, ObjectSelection& selection,
                                             const ObjectPropertiesValues& values, bool sitUnits,
                                             const std::filesystem::path& soundFolder);

// ---- Light Properties ------------------------------------------------------------

constexpr float kMaxLightRadius = 4095.0f;
constexpr float kMinLightBrightness = 0.25f, kMaxLightBrightness = 3.75f;
// The three "Visible source" choices.
extern const std::array<const char*, 3> kLightGlowNames;
// OK of Light Properties: the pool radius within 0..4095, brightness within
// 0.25..3.75, the visible source within 0..2, and negative radii and cone
// values (glow radius, cone length, far and source radius) become 0.
LightParameters CorrectLightProperties(LightParameters values);
// "Defaults": the record's light defaults.
inline LightParameters DefaultLightProperties() {
    return {};
}

} // namespace ravok
