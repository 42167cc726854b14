#pragma once

#include "model/TrackPod.h"

#include <span>
#include <string>

namespace ravok {

class ProgressSink;
class TrackItemSource;

constexpr const char* kSituationProblemCaption = "Situation file problem";

// The situation file text of the track, exactly as the games read it.
std::string SituationFileText(const CTrackPOD& track);
// Writes the text and returns its bytes; their count is the item's size.
Blob WriteSituationFile(const CTrackPOD& track);

// Fills the track from a situation file. The level file, pictures and
// models it names are read from `items`. A header line that does not match
// ends reading quietly; counts that disagree with the objects present go to
// the track's missing and dropped object counters.
void ReadSituationFile(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text,
                       ProgressSink* progress = nullptr);

// Reads the situation file of a track being cloned from a game folder, from
// its second line on (the caller reads the level file): a header line that
// does not match fails with "Error in SIT file.", ramp and box counts that
// do not fit the object table fail, top-crush objects beyond it count as
// missing, and models are only recorded by name. Returns the failure text,
// empty on success.
std::string ReadSituationFileForClone(CTrackPOD& track, std::span<const uint8_t> text);

// The "Situation file problem" text for the counters of the last read, or
// empty when there is nothing to report.
std::string SituationProblemText(const CTrackPOD& track);

// Conversions between the track's positions and the file's units.
struct FilePosition {
    int32_t value;    // half units horizontally, two units vertically
    int16_t fraction; // 1/256 of a value
};
FilePosition HorizontalFromFile(double fileValue);
FilePosition HeightFromFile(double fileValue);

} // namespace ravok
