#include "model/TrackComponents.h"

#include "art/InfoText.h"
#include "art/ItemNames.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "model/WorldName.h"

#include <algorithm>
#include <cmath>

namespace ravok {

namespace fs = std::filesystem;

const char* const kSoundThemeNames[kSoundThemeCount] = {
    "Default",           "Voodoo",         "Excavation",       "Farm Road",    "Scrapyard",
    "Heights",           "Sidewinder Canyon", "Tinhorn Junction", "Tumbleweed", "Breakneck Ridge",
    "Arena Rumble",      "Pyramid Rumble", "Hypercube Rumble", "Graveyard",    "Tweety birds (C98)",
};

const char* const kRaceTypeRadioNames[kRaceTypeRadios] = {"Circuit", "Rally", "Rumble", "Drag"};

namespace {

constexpr int kRaceTypeOfRadio[kRaceTypeRadios] = {2, 3, 4, 1};
constexpr size_t kTrackNameChars = 31, kCommentChars = 79;
constexpr double kMaxWaterLevel = 255.0;

std::string cut(std::string_view text, size_t chars) { return std::string(text.substr(0, chars)); }

PictureSlot slotOf(const Blob& bitmap, const Blob& hd, std::string_view ext) {
    return {bitmap, hd, hd.empty() ? std::string() : std::string(ext)};
}

// The text of a zero-terminated blob.
std::string textOf(const Blob& blob) {
    const auto end = std::find(blob.begin(), blob.end(), uint8_t(0));
    return std::string(blob.begin(), end);
}

// Questions about the description when the game's pop-up would cut it.
bool descriptionAccepted(const TrackComponents& c, Prompter& prompter) {
    if (!c.infoPopupPossible() || !c.hasInfoPhoto() || !DescriptionPresent(c.infoDescription)) return true;
    const auto question = InfoDescriptionQuestion(c.infoDescription);
    return !question || prompter.askYesNo(*question, kInfoTooLongCaption, false);
}

// Drops or builds the 8-bit copies of the slots with HD art.
bool settleEightBitCopies(TrackComponents& c, Prompter& prompter) {
    for (int s = 0; s < kPictureSlotCount; ++s) {
        PictureSlot& slot = c.pictures[size_t(s)];
        if (slot.hdArt.empty()) continue;
        if (!c.writeEightBitCopies) {
            slot.bitmap.clear();
            continue;
        }
        if (!slot.bitmap.empty()) continue;
        std::string message;
        auto copy = BuildSlotCopy(slot.hdArt, c.rules(s), message);
        if (!copy) {
            prompter.warn(formatText("Could not make the 8-bit BMP copy of the HD %s.\n\nUntick \"Also write 8-bit "
                                     "BMP copies\" to keep the HD art alone.",
                                     c.rules(s).name),
                          kHdArtCaption);
            return false;
        }
        slot.bitmap = std::move(*copy);
    }
    return true;
}

bool matchesWildcard(std::string_view name, std::string_view pattern) {
    if (pattern.empty()) return name.empty();
    if (pattern.front() == '*')
        return matchesWildcard(name, pattern.substr(1)) || (!name.empty() && matchesWildcard(name.substr(1), pattern));
    return !name.empty() && name.front() == pattern.front() && matchesWildcard(name.substr(1), pattern.substr(1));
}

} // namespace

int RaceTypeOfRadio(int radio) { return radio >= 0 && radio < kRaceTypeRadios ? kRaceTypeOfRadio[radio] : 2; }

int RadioOfRaceType(int raceType) {
    for (int r = 0; r < kRaceTypeRadios; ++r)
        if (kRaceTypeOfRadio[r] == raceType) return r;
    return -1;
}

void TrackComponents::setTrackName(std::string_view text) {
    trackName = cut(text, kTrackNameChars);
    if (basedOnTrackName) worldName = DeriveWorldName(trackName);
}

void TrackComponents::setBasedOnTrackName(bool ticked) {
    basedOnTrackName = ticked;
    if (ticked) worldName = DeriveWorldName(trackName);
}

void TrackComponents::setComment(std::string_view text) { comment = cut(text, kCommentChars); }

void TrackComponents::setWaterLevel(double level) {
    waterLevel = std::isfinite(level) ? std::clamp(level, 0.0, kMaxWaterLevel) : 0.0;
}

void TrackComponents::setRaceTypeRadio(int radio) {
    if (radio >= 0 && radio < kRaceTypeRadios) raceType = RaceTypeOfRadio(radio);
}

void TrackComponents::setArena(int x, int y, int sizeX, int sizeY) {
    arenaX = std::clamp(x, int(INT16_MIN), int(INT16_MAX));
    arenaY = std::clamp(y, int(INT16_MIN), int(INT16_MAX));
    arenaSizeX = std::clamp(sizeX, 0, int(UINT16_MAX));
    arenaSizeY = std::clamp(sizeY, 0, int(UINT16_MAX));
}

void TrackComponents::chooseBackdrop(const fs::path& file) {
    newBackdropFile = file;
    backdropName = BackdropModelName(file);
}

bool TrackComponents::infoPopupPossible() const {
    const std::string world = basedOnTrackName ? worldName : DeriveWorldName(worldName);
    return !InfoPhotoNameFor(browseBitmapName.empty() ? world + "S.BMP" : browseBitmapName).empty();
}

bool TrackComponents::hasInfoPhoto() const {
    const PictureSlot& photo = pictures[kInfoPhotoSlot];
    return !photo.bitmap.empty() || !photo.hdArt.empty();
}

std::string TrackComponents::statusText() const {
    return InfoPopupStatusText(infoPopupPossible(), hasInfoPhoto(), infoDescription);
}

TrackComponents MakeTrackComponents(const CTrackPOD& track) {
    TrackComponents c;
    const TrackPictures& p = track.pictures;
    c.mtm2 = track.isMtm2();
    c.podView = track.podViewMode;
    c.trackName = track.trackName.str();
    c.worldName = track.WorldName.str();
    c.basedOnTrackName = track.worldNameFromTrackName != 0;
    c.comment = track.comment.str();
    c.browseBitmapName = track.browseBitmapName.str();
    c.soundTheme = track.ambientSound;
    c.palette = !track.fogMap.empty() && track.fogMap[0] < kColorPaletteCount ? track.fogMap[0] : 0;
    c.waterLevel = track.waterLevel + track.waterLevelQuarters / 4.0;
    c.raceType = track.RaceType;
    c.pictures[kBrowseSlot] = slotOf(p.browseBitmap, p.hdArt[0], p.hdArtExt[0].view());
    c.pictures[kIconSlot] = slotOf(p.iconBitmap, p.hdArt[1], p.hdArtExt[1].view());
    c.pictures[kInfoPhotoSlot] = slotOf(p.infoPhoto, p.hdArt[2], p.hdArtExt[2].view());
    // Ticked unless some HD art already goes without its 8-bit copy.
    c.writeEightBitCopies = std::none_of(c.pictures.begin(), c.pictures.end(), [](const PictureSlot& s) {
        return !s.hdArt.empty() && s.bitmap.empty();
    });
    c.music = p.music;
    c.infoDescription = textOf(p.infoDescription);
    c.detailNormal = {p.detailNormal, p.detailNormalExt.str()};
    c.terrainMask = {p.terrainMask, p.terrainMaskExt.str()};
    c.backdropName = track.backdrop ? track.backdrop->name().str() : std::string();
    c.arena = track.stadiumFlag != 0;
    c.arenaX = track.arenaX, c.arenaY = track.arenaY;
    c.arenaSizeX = track.arenaSizeX, c.arenaSizeY = track.arenaSizeY;
    return c;
}

bool MatchesBackdropPattern(std::string_view fileName) {
    const std::string name = lowerCase(fileName);
    for (std::string_view pattern : {"*drop*", "*drp*", "*fixd*", "arena*"})
        if (matchesWildcard(name, pattern)) return true;
    return false;
}

std::string BackdropModelName(const fs::path& file) {
    return cut(itemName("MODELS", upperCase(file.filename().string())), kTrackNameChars);
}

OkResult CheckComponentsOnOk(TrackComponents& c, Prompter& prompter) {
    if (c.podView) return OkResult::Close;
    if (!c.basedOnTrackName) {
        const std::string derived = DeriveWorldName(c.worldName);
        if (derived.empty()) {
            prompter.warn(kWorldNameNeedsLetterMessage, kTrackComponentsCaption);
            return OkResult::StayOnWorldName;
        }
        c.worldName = derived;
    }
    if (!descriptionAccepted(c, prompter)) return OkResult::StayOnDescription;
    if (!settleEightBitCopies(c, prompter)) return OkResult::StayOnPictures;
    return OkResult::Close;
}

} // namespace ravok
