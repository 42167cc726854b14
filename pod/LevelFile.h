#pragma once

#include "model/TrackPod.h"

#include <span>
#include <string>

namespace ravok {

class TrackItemSource;

// The music line of the level file: the stem with .mod when the track has no
// music or music of its own, .wav for a RIFF wave, or the name of a piece of
// the game's own music ("MUSIC\" and a name, kept from its seventh byte on).
std::string LevelMusicName(const CTrackPOD& track);

// LEVELS\<stem>.LVL: the text naming the track's parts, lower case, CR LF.
Blob WriteLevelFile(const CTrackPOD& track);

// Reads a level file's lines and the items they name. Each item is looked up
// first in the folder our pod builder puts it in, then by its bare name, so
// that pods of other tools read as before. A missing item leaves that part
// of the track as it was.
void ReadLevelFile(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text);

} // namespace ravok
