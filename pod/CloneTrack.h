#pragma once

#include "pod/ItemSource.h"

#include <filesystem>
#include <string>

namespace ravok {

class CTrackPOD;

constexpr const char* kCloneErrorCaption = "Error Cloning Track";
// The caption of what a successful clone has to tell.
constexpr const char* kCloneCaption = "Clone Track";
constexpr const char* kCloneDialogFilter = "Situation files (*.sit;*.si2)";
constexpr const char* kCloneDialogPattern = "*.SIT;*.SI2";
constexpr int kMaxCloneNumber = 999;

// The files of a game installation's folder, looked up by stored names
// ("DATA\FARM.RAW") without regard to letter case.
class FolderItemSource : public TrackItemSource {
public:
    explicit FolderItemSource(std::filesystem::path folder) : m_folder(std::move(folder)) {}
    std::optional<Item> find(std::string_view name) override;
    std::optional<Blob> read(const Item& item, uint64_t maxBytes) override;

private:
    std::filesystem::path m_folder;
};

// The game folder of a situation file: the part of its path before a
// folder named WORLD (any letter case); empty when there is none.
std::filesystem::path GameFolderOf(const std::filesystem::path& situationFile);

// The first free stem for a clone: the source stem shortened to make room
// for a number from 2 to 999, free when the game folder holds no situation
// or level file of that name. Empty when all are taken.
std::string CloneStem(const std::filesystem::path& gameFolder, std::string_view sourceStem);

// Starts a new MTM2 track from a track installed loose in a game folder:
// its situation, level and data files, with a new stem. Texture slots are
// created empty and models recorded by name; both come afterwards from the
// editor's folders. On failure the track is empty and `message` says why.
bool CloneFromGameFolder(CTrackPOD& track, const std::filesystem::path& situationFile, std::string& message);

// Said after a clone whose situation file had cylinders, which the track
// file cannot keep; empty without cylinders.
std::string CloneCylinderWarning(const CTrackPOD& track);

} // namespace ravok
