// Loading one track of a pod for viewing: the situation file with the level
// and data files it names, then the pictures and the textures of its models.
#include "model/TrackPod.h"

#include "art/ItemNames.h"
#include "art/Model.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodTextures.h"
#include "pod/SituationFile.h"

namespace ravok {

namespace {

constexpr uint32_t kMaxVersionRecordBytes = 65536;

std::string extensionFromLastDot(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : upperCase(name.substr(dot));
}

std::string withoutExtension(const std::string& name) {
    auto dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The picture's HD version (PNG, then TGA) under UI\ into an HD slot.
void loadHdVersion(CTrackPOD& track, TrackItemSource& items, const std::string& picture, int slot) {
    for (const char* ext : {".PNG", ".TGA"})
        if (auto bytes = items.findAndRead(itemName("UI", withoutExtension(picture) + ext))) {
            track.SetHdArt(slot, std::move(*bytes), ext);
            return;
        }
}

void loadModelTextures(CTrackPOD& track, TrackItemSource& items, const Model& model, const char* kind) {
    for (const std::string& name : ModelTextureNames(model)) {
        if (track.FindModelTexture(name) >= 0) continue;
        const int slot = lowestEmptySlot(track.modelTextures);
        if (slot < 0) return;
        if (auto texture = LoadTextureItem(track, items, name, kind))
            track.modelTextures[size_t(slot)] = std::move(texture);
    }
}

// Reads the situation item of the given index; false when there is none,
// or when its bytes are not in the file (a cut or damaged pod).
bool readSituationItem(CTrackPOD& track, PodFile& pod, int trackIndex, ProgressSink* progress) {
    int count = 0;
    for (size_t i = 0; i < track.podDirectory.size(); ++i) {
        bool si2 = false;
        const PodDirectoryEntry entry = track.podDirectory[i];
        if (!IsSituationItemName(entry.name.view(), &si2) || count++ != trackIndex) continue;
        track.situationSi2 = si2 ? 1 : 0;
        if (!PodEntryFits(entry, pod.size()) || !pod.seek(entry.offset)) return false;
        Blob text(std::min<size_t>(entry.size, TrackItemSource::kMaxWholeItem));
        if (!pod.read(text.data(), text.size())) return false;
        PodItemSource items(track, pod);
        ReadSituationFile(track, items, text, progress);
        return true;
    }
    return false;
}

void readVersionRecord(CTrackPOD& track, TrackItemSource& items) {
    for (const auto& entry : track.podDirectory) {
        if (extensionFromLastDot(entry.name.view()) != ".RVV" || entry.size < 1 || entry.size > kMaxVersionRecordBytes)
            continue;
        if (auto item = items.find(PodEntryName(entry)))
            if (auto bytes = items.read(*item, kMaxVersionRecordBytes)) {
                track.versionRecord.assign(bytes->begin(), bytes->end());
                return;
            }
    }
}

} // namespace

bool CTrackPOD::Load(const std::filesystem::path& path, int trackIndex, ProgressSink* progress) {
    Clear();
    podPath.set(path.string());
    if (progress) progress->setRange(110);
    PodFile pod;
    if (!OpenPodDirectory(*this, pod, path)) return false;
    PodItemSource items(*this, pod);

    const bool found = readSituationItem(*this, pod, trackIndex, progress);
    readVersionRecord(*this, items);
    if (!found) {
        Clear();
        return false;
    }
    NormaliseObjectHeights();

    const std::string stem = upperCase(WorldName.view());
    if (std::string photo = InfoPhotoName(); !photo.empty()) {
        if (auto bytes = items.findAndRead(itemName("UI", photo))) SetInfoPhoto(std::move(*bytes));
        loadHdVersion(*this, items, photo, 2);
    }
    if (auto text = items.findAndRead(itemName("DATA", stem + ".TXT")); text && !text->empty())
        SetInfoDescription(std::move(*text));
    for (const char* ext : {".PNG", ".TGA"})
        if (auto bytes = items.findAndRead(itemName("ART", stem + "_DTL" + ext))) {
            SetDetailNormal(std::move(*bytes), ext);
            break;
        }
    for (const char* ext : {".PNG", ".TGA"})
        if (auto bytes = items.findAndRead(itemName("ART", stem + "_MASK" + ext))) {
            SetTerrainMask(std::move(*bytes), ext);
            break;
        }

    for (const auto& model : models)
        if (model) loadModelTextures(*this, items, *model, "model tex");
    if (backdrop) loadModelTextures(*this, items, *backdrop, "backdrop tex");

    pod.close();
    if (progress) progress->setPosition(110);
    podViewMode = true;
    return true;
}

} // namespace ravok
