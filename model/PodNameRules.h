#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How long the names inside a pod may be: an entry name is at most 31
// characters, folder and extension included.
namespace ravok {

constexpr size_t kPodMaxEntryName = 31;
constexpr int kPodNameStemCap = 18;

// The room a folder and extension leave for a name stem in a pod entry:
// 31 - length(folder) - length(extension), at most 18, at least 0.
int PodNameLimit(std::string_view folder, std::string_view extension);
// The smallest limit over ART\ with .RAW, .ACT, .PNG, .TGA and the HD
// suffixes _N and _AO; and over SOUND\ with .WAV and .KLP.
int ArtNameLimit();
int SoundNameLimit();
// The refusal of a name the user typed that is longer than the limit of its
// folder and extension; empty when the name fits.
std::string PodNameTooLongMessage(std::string_view name, std::string_view folder, std::string_view extension);

// The pod entries of items named by the track: the backdrop model gets
// MODELS\ in front unless it starts with it; a sound without a folder gets
// SOUND\; a continuous sound's loop flag is SOUND\ + its stem + ".KLP".
std::string BackdropPodName(std::string_view name);
std::string SoundPodName(std::string_view name);
std::string SoundLoopPodName(std::string_view soundPodName);

} // namespace ravok
