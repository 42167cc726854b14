#include "edit/TopCrushModels.h"

#include "art/ItemNames.h"
#include "art/Model.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "edit/ObjectModels.h"
#include "model/TrackPod.h"

#include <algorithm>

namespace ravok {

namespace {

} // namespace

TopCrushModelLoad LoadTopCrushModel(CTrackPOD& track, TopCrushPart part, const std::filesystem::path& file,
                                    const std::filesystem::path& modelsFolder,
                                    const std::filesystem::path& artFolder) {
    TopCrushModelLoad result;
    if (!CanEditObjects(track)) return result;
    const bool cab = part == TopCrushPart::Cab;
    const char* badCaption = cab ? kBadModelCaption : "Bad base model";
    auto bytes = readWholeFile(file);
    if (!bytes) {
        result.notices.push_back({"Error opening BIN file", badCaption});
        return result;
    }
    Model scratch;
    if (!scratch.read("TEMP", *bytes)) {
        result.notices.push_back({"Error loading BIN file", badCaption});
        return result;
    }
    if (cab && !IsKeyframedModel(scratch)) {
        result.notices.push_back(
            {formatText("\"%s\" is not a keyframed model: it has no animation frames.\n\nThe "
                        "game refuses to run with a Top-Crush cab that is not keyframed.",
                        file.filename().string().c_str()),
             "Not a valid cab model"});
        return result;
    }
    // A model of that name already in the table serves as it is.
    std::string title = file.filename().string();
    std::replace(title.begin(), title.end(), ' ', '_');
    if (const int slot = track.FindModel(itemName("MODELS", upperCase(title))); slot >= 0) {
        result.slot = slot;
        return result;
    }
    ModelFileResult loaded = LoadModelFile(track, file, modelsFolder, artFolder);
    result.slot = loaded.slot;
    for (EditNotice& n : loaded.notices) {
        // The table is full: the cab cannot be added.
        if (cab && loaded.stop && loaded.slot < 0 && n.caption.empty()) n.caption = "Cannot add cab model";
        result.notices.push_back(std::move(n));
    }
    return result;
}

bool SetTopCrushModels(CTrackPOD& track, int objectSlot, int cabSlot, int baseSlot) {
    if (!CanEditObjects(track) || objectSlot < 0 || objectSlot >= kMaxObjects) return false;
    TrackObject* o = track.objects[size_t(objectSlot)].get();
    auto modelAt = [&](int slot) -> Model* {
        return slot >= 0 && slot < kMaxModels ? track.models[size_t(slot)].get() : nullptr;
    };
    Model* cab = modelAt(cabSlot);
    Model* base = modelAt(baseSlot);
    if (!o || !cab || !base) return false;
    o->cabModel = cab;
    o->cabModelName.set(nameInFolder(cab->name().view()));
    o->model = base;
    o->modelName.set(nameInFolder(base->name().view()));
    SplitSubunits(-int64_t(base->baseHeight()), o->aboveGround, o->zFraction);
    PlaceObjectOnGround(track, *o);
    return true;
}

double TopCrushBaseLift(const Model& base) {
    return -double(base.baseHeight()) / 256.0;
}

} // namespace ravok
