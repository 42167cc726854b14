#pragma once

#include "edit/ObjectEditing.h"

#include <filesystem>
#include <vector>

// The two models of a Top-Crush object: a keyframed cab (a model list of
// animation frames) and the base it stands on, both required by the game.
namespace ravok {

class CTrackPOD;
class Model;

enum class TopCrushPart { Cab, Base };

constexpr const char* kSelectCabTitle = "Select Top-Crush Cab (keyframed) Model";
constexpr const char* kSelectBaseTitle = "Select Top-Crush Base Model (required)";
constexpr const char* kChooseBaseMessage =
    "Now choose the BASE model.\n\nA Top-Crush object needs both a cab and a base model.";

struct TopCrushModelLoad {
    int slot = -1;                   // the model in the table; -1 when refused
    std::vector<EditNotice> notices; // refusals and the "Bad model textures!" report
};
// Takes a model file for the cab or the base: a model of the same name in the
// table is used as it is; otherwise the file is loaded as the Models box
// loads one. A cab must be keyframed: the game refuses to run with a cab
// without animation frames.
TopCrushModelLoad LoadTopCrushModel(CTrackPOD& track, TopCrushPart part, const std::filesystem::path& file,
                                    const std::filesystem::path& modelsFolder,
                                    const std::filesystem::path& artFolder);

// Gives the object its cab and base: the cab's name and reference, the base
// as its model, lifted so that the base's lowest point sits on the ground.
bool SetTopCrushModels(CTrackPOD& track, int objectSlot, int cabSlot, int baseSlot);
// The height above ground (with its 1/256 fraction) SetTopCrushModels gives
// an object standing on this base.
double TopCrushBaseLift(const Model& base);

} // namespace ravok
