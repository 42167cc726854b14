#pragma once

// The texts of the Write POD command's dialogs and boxes, shared by the
// editor and ravok-cli.
namespace ravok {

constexpr const char* kWritePodDialogTitle = "Write POD file";
constexpr const char* kPodFileFilter = "POD files (*.pod)";
constexpr const char* kPodFilePattern = "*.pod";
constexpr const char* kPodSaveErrorMessage = "Error saving POD file!";
constexpr const char* kWritingPodText = "Writing POD...";
constexpr const char* kUpdatingHdTexturesText = "Updating HD textures...";

// The Legacy .RAW fallback dialog: total, model art and terrain in KB.
constexpr const char* kFallbackSizeFormat =
    "This track's .RAW/.ACT fallback is %ld KB of the pod you are about to write - %ld KB of model art and %ld KB "
    "of terrain.";
constexpr const char* kFallbackExplanation =
    "Ticking \"Omit the legacy .RAW fallback\" on the next dialog leaves those files out and makes the pod that "
    "much smaller.\r\n\r\nThe current engine is unaffected. It reads your PNG and TGA art directly on every renderer "
    "it still ships, and the HD sources are packed either way, so nothing you made is lost.\r\n\r\nWhat it does "
    "change is the original 1998 MTM2. That install will not see this track at all: it stays hidden rather than "
    "appearing and loading with broken textures. That is deliberate, and it is the reason to leave the fallback in "
    "if you are sharing the track with people running the original game.\r\n\r\nThe choice is remembered with the "
    "track, not as a program setting, because it is a property of the track's art rather than of whoever is "
    "exporting it.";
constexpr const char* kDontExplainAgain = "Don't explain this again";

// The save dialog's check box.
constexpr const char* kOmitFallbackSavesFormat = "Omit the legacy .RAW fallback  (saves %ld KB)";
constexpr const char* kOmitFallbackNoSources = "Omit the legacy .RAW fallback  (no PNG or TGA sources)";
constexpr const char* kOmitFallbackOlderDialog = "&Omit the legacy .RAW fallback from this pod";
constexpr const char* kOmitFallbackOlderExplanationFormat =
    "The .RAW/.ACT fallback is %ld KB of this pod (%ld KB model art, %ld KB terrain). Smaller pod, and the current "
    "engine is unaffected - it reads PNG on every renderer it still ships. Original (1998) MTM2 will not see this "
    "track at all: it stays hidden rather than loading with broken textures. The HD sources are packed either way.";
constexpr const char* kOmitFallbackOlderNoSources =
    "No texture in this track has a PNG or TGA source, so there is nothing the legacy fallback could be dropped in "
    "favour of.";
constexpr const char* kOmitFallbackSavesShortFormat = "Saves %ld KB";

// The reports after a build.
constexpr const char* kNormalMapsDroppedCaption = "Normal maps dropped";
constexpr const char* kNormalMapsDroppedFormat =
    "These normal maps could NOT be packed - their pod entry names are too long:\n\n%s\nThe track is otherwise "
    "complete, but these textures will have no bump in game.\nShorten the texture stems and build again.";
constexpr const char* kLongFrameNamesCaption = "Animation frame names too long";
constexpr const char* kLongFrameNamesFormat =
    "These animation frame names are longer than %d characters:\n\n%s\nThe engine stores each frame's name next to "
    "that frame's SOUND name, so a longer name\noverwrites the sound instead of truncating. Rename these to at most "
    "%d characters\nincluding the extension (an 11-character stem with .RAW) and build again.";
constexpr const char* kTexturesNotPackedCaption = "Textures not packed";
constexpr const char* kTexturesNotPackedFormat =
    "The pod was written, but these textures could not be packed properly:\n\n%s\nThe track will load, but these "
    "will be wrong or missing in game.";

// Items other than textures that the pod could not hold; the list has lines
// "    NAME  -  reason".
constexpr const char* kItemsNotPackedCaption = "Items not packed";
constexpr const char* kItemsNotPackedFormat =
    "The pod was written, but these items could not be packed:\n\n%s\nThe track will load, but these will be "
    "missing in game.";

} // namespace ravok
