#pragma once

#include "art/PictureSlots.h"
#include "base/Outcome.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The Track Components dialog's working copy of a track's names, race
// settings, backdrop and arena, music, menu pictures, info pop-up and terrain
// maps. The dialog edits these copies; the track changes only on Apply.
namespace ravok {

class CTrackPOD;
class Prompter;

constexpr const char* kTrackComponentsCaption = "Track Components";
constexpr const char* kWorldNameNeedsLetterMessage = "The World Name needs at least one letter or digit.";
constexpr const char* kMtm2TrackText = "MTM2 track. Use File\\New (MTM1) to make MTM1 track.";

// The Sound Theme list; the index is the stored value.
constexpr int kSoundThemeCount = 15;
extern const char* const kSoundThemeNames[kSoundThemeCount];
// The Color Palette list: the sixteen game palettes, then Custom (16).
constexpr int kColorPaletteCount = 17;

// The Type radios in their order (Circuit, Rally, Rumble, Drag) and the race
// types they store (2, 3, 4, 1).
constexpr int kRaceTypeRadios = 4;
extern const char* const kRaceTypeRadioNames[kRaceTypeRadios];
int RaceTypeOfRadio(int radio);
// The radio of a stored race type; -1 for none.
int RadioOfRaceType(int raceType);

// A detail normal or terrain mask as the dialog holds it: PNG or TGA bytes
// and their extension (".PNG").
struct TerrainMapFile {
    std::vector<uint8_t> bytes;
    std::string ext;
    bool operator==(const TerrainMapFile&) const = default;
};

struct TrackComponents {
    bool mtm2 = true;
    bool podView = false; // a track shown from a pod: nothing can change

    std::string trackName;  // at most 31 characters
    std::string worldName;  // the World Name field
    bool basedOnTrackName = true;
    std::string comment;    // at most 79 characters
    std::string browseBitmapName; // the track's, which decides the info photo name

    int soundTheme = 14;
    int palette = 0;        // 0..16
    double waterLevel = 0;  // 0.0 .. 255.0
    int raceType = 2;

    std::array<PictureSlot, kPictureSlotCount> pictures;
    bool writeEightBitCopies = true; // "Also write 8-bit BMP copies (old menus)"
    std::vector<uint8_t> music;
    std::string infoDescription;
    TerrainMapFile detailNormal, terrainMask;

    // Backdrop and arena: the backdrop's name, a newly chosen BIN file (loaded
    // on Apply) and the Arena Properties values in grid squares.
    std::string backdropName;
    std::optional<std::filesystem::path> newBackdropFile;
    bool arena = false;
    int arenaX = 127, arenaY = 127;
    int arenaSizeX = 18, arenaSizeY = 18;

    PictureSlotRules rules(int slot) const { return SlotRules(slot, mtm2); }

    // Typing into the Track Name field: while "Based on Track Name" is ticked
    // the World Name follows it.
    void setTrackName(std::string_view text);
    void setBasedOnTrackName(bool ticked);
    void setComment(std::string_view text);
    void setWaterLevel(double level);
    void setRaceTypeRadio(int radio);
    // Arena Properties: "Center Location" and "Internal size".
    void setArena(int x, int y, int sizeX, int sizeY);
    // A backdrop BIN file chosen with "...": shown by name, loaded on Apply.
    void chooseBackdrop(const std::filesystem::path& file);

    // Whether the browse picture's name gives an info photo name.
    bool infoPopupPossible() const;
    bool hasInfoPhoto() const;
    // The status line under the dialog.
    std::string statusText() const;
};

// The dialog's copies of a track's fields.
TrackComponents MakeTrackComponents(const CTrackPOD& track);

// The starting folder and file-name pattern of the backdrop's file dialog.
constexpr const char* kBackdropDialogTitle = "Load backdrop BIN file";
constexpr const char* kBackdropFilter = "BIN files (*.bin)";
constexpr const char* kBackdropNamePattern = "*drop*; *drp*; *fixd*; arena*";
// Whether a file name matches the backdrop pattern (without regard to case).
bool MatchesBackdropPattern(std::string_view fileName);
// The model name a backdrop file gets: "MODELS\" and its file name, upper case.
std::string BackdropModelName(const std::filesystem::path& file);

// What OK does before the dialog closes.
enum class OkResult {
    Close,            // the copies may be applied
    StayOnWorldName,  // the World Name field derives nothing
    StayOnDescription,// the user kept editing a description the game cuts
    StayOnPictures,   // an 8-bit copy could not be made
};
// OK's checks and questions: derives the World Name, asks about a
// description the game will cut, and drops or builds the 8-bit copies of HD
// art as "Also write 8-bit BMP copies" says. A track viewed from a pod closes
// without checks.
OkResult CheckComponentsOnOk(TrackComponents& components, Prompter& prompter);

} // namespace ravok
