#pragma once

#include "model/TrackComponents.h"

#include <filesystem>
#include <functional>

// Applying the Track Components dialog's copies to the track in one step.
namespace ravok {

class CTrackPOD;
class Prompter;

constexpr const char* kBackdropNotFoundMessage = "Backdrop not found!";
constexpr const char* kBadBackdropMessage = "Error loading backdrop model";
constexpr const char* kBadBackdropCaption = "Bad Backdrop";
constexpr const char* kBackdropTexturesCaption = "Backdrop textures cannot be shown in the editor";

struct ComponentsApplyContext {
    std::filesystem::path artFolder;
    Prompter* prompter = nullptr; // shows the backdrop's messages; none drops them
    // Installs Color Palette choice 0..16 on an MTM2 track (palette, fog map,
    // texture reload).
    std::function<void(int palette)> changePalette;
};

// What Apply changed beyond the plain fields, for the caller's refresh.
struct ComponentsApplyResult {
    bool applied = false;         // false for a track viewed from a pod
    bool backdropChanged = false; // its model (and so its mesh) is new or gone
    bool paletteChanged = false;
};

// Writes the copies into the track in the dialog's order: names, race type,
// water level, sound theme, the pictures and maps that changed, the info
// description, the arena, a newly chosen backdrop with its textures, and the
// palette (the MTM1 fog map is removed). The caller marks the document
// modified and redraws.
ComponentsApplyResult ApplyTrackComponents(CTrackPOD& track, const TrackComponents& components,
                                           const ComponentsApplyContext& context);

} // namespace ravok
