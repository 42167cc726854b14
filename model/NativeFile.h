#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace ravok {

class CTrackPOD;
class Prompter;
class ProgressSink;

// Told when a stadium's model name had to be cut to fit its block.
constexpr const char* kStadiumNameCutFormat =
    "The stadium model name (%d characters) is longer than a track file keeps; it was saved as \"%s\".";

constexpr int kNativeFileFirstVersion = 1;
constexpr int kNativeFileLastVersion = 11;

// Reads a native track file (any of the eleven versions) into the track,
// which is cleared first: a failed read leaves it cleared or partly filled.
// `version`, when given, receives the file's version (0 for no track file).
bool LoadBinary(CTrackPOD& track, const std::filesystem::path& path, int* version = nullptr,
                ProgressSink* progress = nullptr);
bool LoadBinaryFromMemory(CTrackPOD& track, std::span<const uint8_t> bytes, int* version = nullptr);

// The lowest version, from 2 up, that holds everything the track contains.
int NativeFileVersionFor(const CTrackPOD& track);

// Writes the track in that version. Sounds that no object names are dropped
// from the track first. The file is replaced only once it is whole. A
// stadium name that does not fit its block is cut and `prompter` warned.
// A read-only target is refused; on failure `error` says which file and why.
bool SaveBinary(CTrackPOD& track, const std::filesystem::path& path, Prompter* prompter = nullptr,
                ProgressSink* progress = nullptr, std::string* error = nullptr);
std::vector<uint8_t> SaveBinaryToMemory(CTrackPOD& track, Prompter* prompter = nullptr);

} // namespace ravok
