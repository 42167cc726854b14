#include "edit/ObjectModels.h"

#include "art/ItemNames.h"
#include "art/Model.h"
#include "art/NameLookup.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"
#include "trackart/TrackArt.h"

#include <algorithm>

namespace ravok {

namespace {

bool namesModel(const FixedString<32>& field, const Model& model) {
    return !field.empty() && lookupKey(field.view()) == storedLookupKey(model.name().view());
}

// The object draws or carries the model: by reference or by name.
bool objectUses(const TrackObject& o, const Model& model) {
    return o.model == &model || o.cabModel == &model || namesModel(o.modelName, model) ||
           namesModel(o.cabModelName, model);
}

// Some object's model lists the model among its animation frames.
bool listedAsFrame(const CTrackPOD& track, const Model& model) {
    std::string name = model.name().str();
    if (name.size() > 7 && equalsIgnoringCase(std::string_view(name).substr(0, 7), "MODELS\\"))
        name.erase(0, 7);
    for (const auto& o : track.objects) {
        if (!o) continue;
        for (const Model* used : {o->model, o->cabModel}) {
            if (!used) continue;
            for (const auto& frame : used->listedModels())
                if (equalsIgnoringCase(frame, name)) return true;
        }
    }
    return false;
}

void removeModel(CTrackPOD& track, int slot) {
    const Model* model = track.models[size_t(slot)].get();
    for (auto& o : track.objects) {
        if (!o) continue;
        if (o->model == model) o->model = nullptr;
        if (o->cabModel == model) o->cabModel = nullptr;
    }
    track.models[size_t(slot)].reset();
}

} // namespace

bool IsKeyframedModel(const Model& model) {
    return !model.listedModels().empty();
}

int AssignModelToObjects(CTrackPOD& track, const ObjectSelection& selection, int modelSlot) {
    if (!CanEditObjects(track) || modelSlot < 0 || modelSlot >= kMaxModels) return 0;
    Model* model = track.models[size_t(modelSlot)].get();
    if (!model) return 0;
    const std::string name(nameInFolder(model->name().view()));
    int changed = 0;
    for (int slot : SelectedObjects(track, selection)) {
        TrackObject& o = *track.objects[size_t(slot)];
        if (o.type == kObjectRamp) continue; // a ramp is a plain box and never has a model
        ++changed;
        if (o.type == kObjectTopCrush && IsKeyframedModel(*model)) {
            // The cab's name; its reference is kept in step with the name.
            o.cabModelName.set(name);
            o.cabModel = model;
            continue;
        }
        // The model; a Top-Crush object takes it as its cab reference too
        // (the cab's name stays). The model reference always follows the
        // name, so the view draws what the track will load.
        if (o.type == kObjectTopCrush) o.cabModel = model;
        o.model = model;
        o.modelName.set(name);
        // The model's base sits on the ground: aboveGround + zFraction / 256 = -B / 256.
        SplitSubunits(-int64_t(model->baseHeight()), o.aboveGround, o.zFraction);
        PlaceObjectOnGround(track, o);
    }
    return changed;
}

std::vector<int> UnusedModels(const CTrackPOD& track) {
    std::vector<int> unused;
    for (int i = 0; i < kMaxModels; ++i) {
        const Model* model = track.models[size_t(i)].get();
        if (!model) continue;
        const bool used = std::any_of(track.objects.begin(), track.objects.end(),
                                      [&](const auto& o) { return o && objectUses(*o, *model); });
        if (!used && !listedAsFrame(track, *model)) unused.push_back(i);
    }
    return unused;
}

PurgeResult PurgeUnusedModels(CTrackPOD& track, Prompter& prompter) {
    PurgeResult result;
    if (!CanEditObjects(track)) return result;
    const std::vector<int> unused = UnusedModels(track);
    if (unused.empty()) {
        result.notice = {"There are no unused models.", kPurgeModelsCaption};
        return result;
    }
    const std::string question =
        formatText("There are %d unused models.\nGo ahead and remove them?", int(unused.size()));
    if (!prompter.askYesNo(question, kPurgeModelsCaption, false)) return result;
    for (int slot : unused)
        removeModel(track, slot);
    result.removed = int(unused.size());
    return result;
}

int CutModel(CTrackPOD& track, int modelSlot, bool withObjects, ObjectSelection* selection) {
    if (!CanEditObjects(track) || modelSlot < 0 || modelSlot >= kMaxModels) return 0;
    const Model* model = track.models[size_t(modelSlot)].get();
    if (!model) return 0;
    int touched = 0;
    for (auto& o : track.objects) {
        if (!o || !objectUses(*o, *model)) continue;
        ++touched;
        if (withObjects) {
            o.reset();
            continue;
        }
        if (o->model == model || namesModel(o->modelName, *model)) {
            o->model = nullptr;
            o->modelName.clear();
        }
        if (o->cabModel == model || namesModel(o->cabModelName, *model)) {
            o->cabModel = nullptr;
            o->cabModelName.clear();
        }
    }
    removeModel(track, modelSlot);
    if (selection) NormaliseSelection(track, *selection);
    return touched;
}

namespace {

// The name under which a model file with blanks is copied into the models
// folder: `title`, or title_2, title_3... when another file already holds
// that name. A file there with these very bytes is taken as the copy.
// Empty when no name is free.
std::string freeCopyName(const std::filesystem::path& folder, const std::string& title,
                         const std::vector<uint8_t>& bytes, bool& alreadyThere) {
    const size_t dot = title.rfind('.');
    const std::string stem = title.substr(0, dot), ext = dot == std::string::npos ? "" : title.substr(dot);
    for (int n = 1; n < 100; ++n) {
        const std::string candidate = n == 1 ? title : stem + "_" + std::to_string(n) + ext;
        const auto existing = resolveInFolder(folder, candidate);
        if (!existing) return candidate;
        if (readWholeFile(*existing) == bytes) {
            alreadyThere = true;
            return existing->filename().string();
        }
    }
    return {};
}

} // namespace

ModelFileResult LoadModelFile(CTrackPOD& track, const std::filesystem::path& file,
                              const std::filesystem::path& modelsFolder,
                              const std::filesystem::path& artFolder) {
    ModelFileResult result;
    if (!CanEditObjects(track)) return result;
    const std::string shown = file.filename().string();
    // Without short names, a name with blanks is kept with underscores, and
    // copied into the models folder under a name that is free there.
    std::string title = shown;
    std::replace(title.begin(), title.end(), ' ', '_');
    std::optional<std::vector<uint8_t>> bytes;
    bool copyThere = false;
    if (title != shown) {
        bytes = readWholeFile(file);
        if (bytes && !modelsFolder.empty()) {
            std::string free = freeCopyName(modelsFolder, title, *bytes, copyThere);
            if (!free.empty()) title = free;
        }
    }
    const std::string stem = title.substr(0, title.rfind('.'));
    if (std::string tooLong = PodNameTooLongMessage(stem, "MODELS\\", ".BIN"); !tooLong.empty()) {
        result.notices.push_back({std::move(tooLong), kModelNameTooLongCaption});
        return result;
    }
    const std::string name = itemName("MODELS", upperCase(title));
    if (track.FindModel(name) >= 0) {
        result.notices.push_back({formatText("Model \"%s\" already loaded.", upperCase(title).c_str()), {}});
        return result;
    }
    const int slot = lowestEmptySlot(track.models);
    if (slot < 0) {
        result.notices.push_back({"Max. number of models loaded.", {}});
        result.stop = true;
        return result;
    }

    std::filesystem::path source = file;
    if (title != shown) {
        // Copied into the models folder under the new name, so that the
        // track finds it again when it is opened.
        const std::filesystem::path copy = modelsFolder / title;
        if (bytes && !modelsFolder.empty() && (copyThere || writeFileAtomically(copy, *bytes))) {
            invalidateFolderCache(modelsFolder);
            source = copy;
            result.copiedAs = title;
            result.notices.push_back(
                {formatText(
                     "\"%s\" has blanks in its name, which a track pod cannot hold.\n\nThe model is loaded "
                     "as %s, and the file was copied into the models folder under that name so that the "
                     "track finds it again when it is opened.",
                     shown.c_str(), upperCase(title).c_str()),
                 "Load BIN file"});
        }
    }

    auto model = std::make_unique<Model>();
    if (!model->readFile(name, source)) {
        result.notices.push_back({"Error loading BIN file", kBadModelCaption});
        result.stop = true;
        return result;
    }
    track.models[size_t(slot)] = std::move(model);
    result.slot = slot;
    BadReport report;
    if (!LoadModelTextures(track, *track.models[size_t(slot)], artFolder, report))
        result.notices.push_back({report.text(), kBadModelTexturesCaption});
    return result;
}

} // namespace ravok
