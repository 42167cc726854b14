#include "pod/TrackPodBuild.h"

#include "art/ItemNames.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"
#include "pod/GameFiles.h"
#include "pod/PodArchive.h"
#include "pod/PodBuilder.h"
#include "pod/TextLines.h"
#include "pod/WritePodTexts.h"
#include "trackart/TrackArt.h"

namespace ravok {

namespace fs = std::filesystem;

namespace {

constexpr size_t kNotPackedCapacity = 2048;
constexpr size_t kDroppedCapacity = 1024;
constexpr size_t kLongNamesCapacity = 1024;
constexpr size_t kItemsNotPackedCapacity = 2048;
constexpr std::string_view kLoopFlagFile = "1 0 0\r\n"; // the .KLP beside a continuous sound

void appendBounded(std::string& list, const std::string& line, size_t capacity) {
    if (list.size() + line.size() < capacity) list += line;
}

std::string artStem(std::string_view name) { return std::string(itemStem(name)); }

std::optional<fs::path> artFile(const fs::path& folder, const std::string& stem, std::string_view ext) {
    return itemDiskPath(folder, stem + std::string(ext));
}

Blob paletteBytes(const PaletteColours& colours) {
    Blob out;
    out.reserve(768);
    for (const RgbColour& c : colours) out.insert(out.end(), {c.r, c.g, c.b});
    return out;
}

class TrackPodBuild {
public:
    TrackPodBuild(CTrackPOD& track, const fs::path& art, Prompter* reporter, ProgressSink* sink)
        : t(track), artFolder(art), reporter(reporter), pod(track, reporter), progress(sink) {
        pod.progress = sink;
    }

    PodBuildResult run(const fs::path& podPath, BuildDate date) {
        if (t.podViewMode) {
            if (reporter) reporter->warn(kPodViewOnlyMessage, kPodViewOnlyCaption);
            return result;
        }
        if (progress) progress->setRange(90);
        if (!pod.BeginPodBuild()) return result;
        const std::string stem = PodStem(t);
        if (!add(itemName("ART", stem + ".ACT"), paletteBytes(t.palette.colours()))) return result;
        if (!add(itemName("ART", stem + ".RAW"), Blob(4096, 0))) return result;
        for (const auto& texture : t.terrainTextures)
            if (texture && (!packTexture(*texture) || stopped())) return result;
        for (const auto& texture : t.modelTextures)
            if (texture && (!packTexture(*texture) || stopped())) return result;
        position(10);

        std::vector<std::string> longNames;
        if (!AddTrackGameFiles(pod, t, &longNames, progress)) return result;
        for (const std::string& name : longNames) appendBounded(result.longFrameNames, "  " + name + "\n", kLongNamesCapacity);
        if (stopped() || !addModels() || !addSounds() || !addMusic() || !addPictures() || stopped()) return result;

        const std::string record = VersionRecordText(t, !result.fallbackOmitted, result.largeHdArt, date);
        if (!AddTrackClosingFiles(pod, t, result.fallbackOmitted, record)) return result;
        position(60);
        if (stopped() || !pod.FinishPod(podPath)) return result;
        for (const std::string& name : pod.namesTooLong())
            itemNotPacked(name, formatText("the name is longer than the %d characters a pod entry holds",
                                           int(kPodMaxEntryName)).c_str());
        result.written = true;
        result.ok = result.texturesNotPacked.empty() && result.itemsNotPacked.empty();
        report();
        return result;
    }

private:
    bool add(const std::string& name, std::span<const uint8_t> bytes) { return pod.AddPodItemFromMemory(name, bytes); }
    void position(int p) {
        if (progress) progress->setPosition(p);
    }
    // The user cancelled: the build stops, the scratch file goes and the
    // target is left as it was.
    bool stopped() {
        if (progress && progress->cancelled()) result.cancelled = true;
        return result.cancelled;
    }
    void notPacked(const Texture& texture, const char* reason) {
        std::string name = texture.name().empty() ? "(unnamed)" : texture.name().str();
        appendBounded(result.texturesNotPacked, "    " + name + "  -  " + reason + "\n", kNotPackedCapacity);
    }

    void itemNotPacked(const std::string& name, const char* reason) {
        appendBounded(result.itemsNotPacked, "    " + name + "  -  " + reason + "\n", kItemsNotPackedCapacity);
    }

    bool packTexture(const Texture& texture) {
        if (!texture.hasPixels()) {
            notPacked(texture, "nothing in memory to write");
            return true;
        }
        const std::string name = upperCase(texture.name().view());
        const std::string stem = artStem(name);
        // ART\<stem>.ACT and .RAW of the track's own stem hold the track palette.
        if (equalsIgnoringCase(stem, PodStem(t))) {
            notPacked(texture, "its name is the track's palette entry - rename the texture");
            return true;
        }
        if (texture.bad) notPacked(texture, "could not be loaded when the track was opened");
        const auto hd = findHdPicture(artFolder, stem);
        bool writePair = true;
        if (hd) {
            std::string message;
            if (auto size = ReadPictureHeader(*hd, false, message); size && (size->width > 256 || size->height > 256))
                result.largeHdArt = true;
            if (t.omitLegacyFallback || texture.bad) {
                writePair = false;
                result.fallbackOmitted = true;
            }
        }
        if (writePair && !pod.HasItem(name) && !addPair(texture, name, stem)) return false;
        if (hd) {
            const auto added = pod.AddFileToPod(name, *hd);
            if (added == PodBuilder::AddFileResult::Failed) return false;
            // Without its .RAW/.ACT the source is all the pod has of the texture.
            if (!writePair && added != PodBuilder::AddFileResult::Added &&
                added != PodBuilder::AddFileResult::Duplicate)
                notPacked(texture, "could not be re-read from the art folder");
        }
        for (const char* suffix : {"_N", "_AO"}) {
            auto map = findHdPicture(artFolder, stem + suffix);
            if (!map) continue;
            auto added = pod.AddFileToPod(itemName("ART", upperCase(stem) + suffix + ".PNG"), *map);
            if (added == PodBuilder::AddFileResult::Failed) return false;
            if (added != PodBuilder::AddFileResult::Added && added != PodBuilder::AddFileResult::Duplicate)
                appendBounded(result.normalMapsDropped, "    " + map->filename().string() + "\n", kDroppedCapacity);
        }
        return true;
    }

    // The .ACT first, then the .RAW: from the art folder when its .RAW is
    // there, else from memory (pixels indexing the track palette).
    bool addPair(const Texture& texture, const std::string& name, const std::string& stem) {
        std::string actName = actPathForRaw(name);
        if (actName.empty()) actName = name.substr(0, name.rfind('.')) + ".ACT";
        const size_t pixels = size_t(texture.width()) * size_t(texture.height());
        Blob act = paletteBytes(t.palette.colours());
        Blob raw(texture.pixels().begin(), texture.pixels().end());
        if (auto rawFile = artFile(artFolder, stem, ".RAW")) {
            auto actFile = artFile(artFolder, stem, ".ACT");
            auto actBytes = actFile ? readWholeFile(*actFile) : std::nullopt;
            act = actBytes ? paletteBytes(paletteFromRgbBytes(*actBytes)) : paletteBytes(DefaultPalette());
            auto rawBytes = readWholeFile(*rawFile);
            if (rawBytes && rawBytes->size() >= pixels)
                raw.assign(rawBytes->begin(), rawBytes->begin() + ptrdiff_t(pixels));
            else {
                act = paletteBytes(t.palette.colours());
                notPacked(texture, "could not be re-read from the art folder");
            }
        }
        return add(actName, act) && add(name, raw);
    }

    // A model that could not be read when the track was opened has no bytes
    // to pack: it is listed, not packed as an empty item.
    bool addModel(const Model& model, const std::string& name) {
        if (model.fileBytes().empty()) {
            itemNotPacked(name, "the model could not be read when the track was opened");
            return true;
        }
        return add(name, model.fileBytes());
    }

    bool addModels() {
        for (const auto& model : t.models)
            if (model && !addModel(*model, model->name().str())) return false;
        return !t.backdrop || addModel(*t.backdrop, BackdropPodName(t.backdrop->name().view()));
    }

    bool addSounds() {
        const Blob loopFlag(kLoopFlagFile.begin(), kLoopFlagFile.end());
        for (const auto& sound : t.sounds) {
            if (!sound) continue;
            const std::string name = SoundPodName(sound->name.view());
            if ((sound->kind & 1u) && !add(SoundLoopPodName(name), loopFlag)) return false;
            if (!add(name, sound->data)) return false;
        }
        return true;
    }

    bool addMusic() {
        const Blob& music = t.pictures.music;
        if (music.empty()) return true;
        auto startsWith = [&](std::string_view prefix) {
            return music.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), music.begin());
        };
        const std::string stem = PodStem(t);
        if (startsWith("RIFF"))
            return add(itemName("SOUND", stem + ".KLP"), Blob(kLoopFlagFile.begin(), kLoopFlagFile.end())) &&
                   add(itemName("SOUND", stem + ".WAV"), music);
        if (startsWith("MUSIC")) return true; // music the game already has
        return add(itemName("MUSIC", stem + ".MOD"), music);
    }

    bool addPictures() {
        const TrackPictures& p = t.pictures;
        const bool mapIsBitmap = p.iconBitmap.size() >= 2 && p.iconBitmap[0] == 'B' && p.iconBitmap[1] == 'M';
        if (mapIsBitmap && !add(itemName("UI", t.IconPictureName()), p.iconBitmap)) return false;
        if (!p.browseBitmap.empty() && !add(itemName("UI", t.BrowsePictureName()), p.browseBitmap)) return false;
        auto artPicture = [&](const Blob& bytes, const FixedString<8>& ext, const char* suffix) {
            if (bytes.empty()) return true;
            std::string name = itemName("ART", PodStem(t) + suffix + ext.str());
            if (name.size() > kPodMaxEntryName) {
                appendBounded(result.normalMapsDropped, "    " + std::string(itemFileName(name)) + "\n",
                              kDroppedCapacity);
                return true;
            }
            return add(name, bytes);
        };
        if (!artPicture(p.detailNormal, p.detailNormalExt, "_DTL") ||
            !artPicture(p.terrainMask, p.terrainMaskExt, "_MASK"))
            return false;
        if (!p.infoPhoto.empty())
            if (std::string photo = t.InfoPhotoName(); !photo.empty() && !add(itemName("UI", photo), p.infoPhoto))
                return false;
        for (int slot = 0; slot < kHdArtSlots; ++slot) {
            const Blob& hd = p.hdArt[size_t(slot)];
            if (hd.empty()) continue;
            if (slot == 1 && !p.iconBitmap.empty() && p.iconBitmap[0] != 'B') continue;
            const std::string name = itemName("UI", t.HdArtName(slot));
            if (t.HdArtName(slot).empty() || name.size() > kPodMaxEntryName || pod.HasItem(name)) continue;
            if (!add(name, hd)) return false;
        }
        return true;
    }

    void report() {
        if (!reporter) return;
        if (!result.normalMapsDropped.empty())
            reporter->warn(formatText(kNormalMapsDroppedFormat, result.normalMapsDropped.c_str()),
                           kNormalMapsDroppedCaption);
        if (!result.longFrameNames.empty())
            reporter->warn(formatText(kLongFrameNamesFormat, kMaxFrameNameLength, result.longFrameNames.c_str(),
                                      kMaxFrameNameLength),
                           kLongFrameNamesCaption);
        if (!result.texturesNotPacked.empty())
            reporter->warn(formatText(kTexturesNotPackedFormat, result.texturesNotPacked.c_str()),
                           kTexturesNotPackedCaption);
        if (!result.itemsNotPacked.empty())
            reporter->warn(formatText(kItemsNotPackedFormat, result.itemsNotPacked.c_str()), kItemsNotPackedCaption);
    }

    CTrackPOD& t;
    fs::path artFolder;
    Prompter* reporter;
    PodBuilder pod;
    ProgressSink* progress = nullptr;
    PodBuildResult result;
};

} // namespace

FallbackEstimate EstimateLegacyFallback(const CTrackPOD& track, const fs::path& artFolder) {
    FallbackEstimate estimate;
    auto count = [&](const auto& table, int64_t& part) {
        for (const auto& texture : table) {
            if (!texture) continue;
            auto hd = findHdPicture(artFolder, artStem(upperCase(texture->name().view())));
            if (!hd) continue;
            std::string message;
            auto size = ReadPictureHeader(*hd, false, message);
            const int64_t bytes = (size ? int64_t(size->width) * size->height : 0) + 768;
            part += bytes;
            estimate.total += bytes;
        }
    };
    count(track.terrainTextures, estimate.terrain);
    count(track.modelTextures, estimate.modelArt);
    return estimate;
}

PodBuildResult BuildTrackPod(CTrackPOD& track, const fs::path& podPath, const fs::path& artFolder, Prompter* reporter,
                             BuildDate date, ProgressSink* progress) {
    return TrackPodBuild(track, artFolder, reporter, progress).run(podPath, date);
}

int PrepareTrackForPod(CTrackPOD& track, const fs::path& artFolder, bool keepHdArtOnly,
                       ProgressSink* progress) {
    const int refreshed = RefreshChangedModels(track, artFolder);
    if (!keepHdArtOnly) {
        if (progress) progress->setText(kUpdatingHdTexturesText);
        UpdateHdTexturesOfTrack(track, artFolder);
    }
    if (progress) progress->setText(kWritingPodText);
    return refreshed;
}

} // namespace ravok
