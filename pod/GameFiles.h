#pragma once

#include <string>
#include <vector>

namespace ravok {

class CTrackPOD;
class PodBuilder;
class ProgressSink;

// Appends the track's own game files in their fixed order: the DATA\ group
// (its extensions alphabetical), DATA\NULL, DATA\ZERO.RAW, the fog map and,
// for MTM1 tracks, the three fog tables, then the level file. Rebuilds the
// ground-box layers from the boxes. Long animation frame names are added
// to `longFrameNames`. False when the builder failed.
bool AddTrackGameFiles(PodBuilder& pod, CTrackPOD& track, std::vector<std::string>* longFrameNames,
                       ProgressSink* progress = nullptr);

// Appends the situation file (.SI2 when a texture's fallback was omitted),
// the version record and, when the track has one, its WORLD\ text.
bool AddTrackClosingFiles(PodBuilder& pod, const CTrackPOD& track, bool fallbackOmitted, const std::string& record);

// The stem of the track's game files in the pod: its world name, upper case.
std::string PodStem(const CTrackPOD& track);

} // namespace ravok
