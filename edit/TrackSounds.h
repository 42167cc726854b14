#pragma once

#include "edit/ObjectEditing.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The sounds of objects: WAV files loaded from the sound folder into the
// track's sound table, and the stock sound lists of the games.
namespace ravok {

class CTrackPOD;

enum class SoundKind { Impact, Continuous };

struct SoundChoice {
    std::string field;     // what the object's sound field now holds
    EditNotice notice;     // a refusal, or empty
    bool loaded = false;   // a WAV was added to the sound table
    bool notFound = false; // no such file in the sound folder: the name is kept (a sound of the game's own)
};

// Choosing an object's sound by file name. An empty name is stored as
// "NULL"; "NULL" and "NULL.WAV" mean no sound. Otherwise the name (upper
// case) is looked up in the sound table; when absent the WAV is loaded from
// the sound folder as "SOUND\" + name. Refusals: a sound already loaded as the
// other kind, and the 512-sound limit; both leave the field "NULL.WAV". A
// name too long for a pod is refused with the pod name message.
SoundChoice ChooseObjectSound(CTrackPOD& track, TrackObject& object, SoundKind kind, std::string_view name,
                              const std::filesystem::path& soundFolder);

constexpr const char* kContinuousAsImpactMessage =
    "Continuous sound already loaded as impact sound.\nSounds can only be used as one or the other.";
constexpr const char* kImpactAsContinuousMessage =
    "Impact sound already loaded as continuous sound.\nSounds can only be used as one or the other.";

// A row of a stock sound list: the file stem and its description; "NULL"
// "(default/none)" first.
struct StockSound {
    std::string stem, description;
};
std::vector<StockSound> StockSounds(SoundKind kind);
// The sound field a stock row gives: the stem with ".WAV".
std::string StockSoundFieldName(std::string_view stem);

} // namespace ravok
