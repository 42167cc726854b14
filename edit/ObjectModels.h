#pragma once

#include "edit/ObjectEditing.h"

#include <filesystem>
#include <string>
#include <vector>

// Objects and the track's model table: loading a BIN file into the table,
// giving the selected objects a model, and removing models.
namespace ravok {

class CTrackPOD;
class Model;
class Prompter;

// A model with animation frames (a model list, type 32): a top-crush cab.
bool IsKeyframedModel(const Model& model);

// Assign model (the Models box's "Apply"): each selected object takes the
// model; a Top-Crush object given a keyframed model only takes it as its cab;
// ramps keep having none. The others are lifted so that the model's base
// height sits on the ground. Returns how many objects changed.
int AssignModelToObjects(CTrackPOD& track, const ObjectSelection& selection, int modelSlot);

// The models no object refers to and no object's model lists among its
// animation frames, in slot order.
std::vector<int> UnusedModels(const CTrackPOD& track);
constexpr const char* kPurgeModelsCaption = "Purge Models";
struct PurgeResult {
    int removed = 0;
    EditNotice notice; // "There are no unused models." when there were none
};
// Purge unused models: tells when there are none, else asks (No the default)
// and on Yes removes them.
PurgeResult PurgeUnusedModels(CTrackPOD& track, Prompter& prompter);
// Cut Model: objects using the model lose their model reference and name
// (and their cab model when it is this one), and the model is removed. With
// `withObjects` (Cut Model + Objects) those objects are deleted instead; the
// selection drops them. Returns how many objects were touched.
int CutModel(CTrackPOD& track, int modelSlot, bool withObjects, ObjectSelection* selection = nullptr);

// Loading a BIN file into the model table (the Models box's "Load BIN file").
struct ModelFileResult {
    int slot = -1;                   // the new model; -1 when nothing was loaded
    bool stop = false;               // the remaining files of a multi-selection are not loaded
    std::vector<EditNotice> notices; // the renaming note, a refusal, the "Bad model textures!" report
    std::string copiedAs;            // a file name with blanks: the copy made in the models folder
};
constexpr const char* kModelNameTooLongCaption = "Model name too long";
constexpr const char* kBadModelCaption = "Bad model";
constexpr const char* kBadModelTexturesCaption = "Bad model textures!";
// Loads one file: the model takes the name MODELS\ + the file name, upper
// case. A file name with blanks (no short names here) is copied into the
// models folder with the blanks turned into underscores and loaded from
// there. Refusals: a stem longer than the pod name limit, a model of the same
// name already loaded, a full table (stop), a file that is no model (stop).
// Missing textures leave the model loaded and give the report.
ModelFileResult LoadModelFile(CTrackPOD& track, const std::filesystem::path& file,
                              const std::filesystem::path& modelsFolder,
                              const std::filesystem::path& artFolder);

} // namespace ravok
