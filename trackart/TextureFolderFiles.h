#pragma once

#include "base/Outcome.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Textures entering and leaving the track through the Textures box: adding
// texture files (with the normal-map and HD rules), loading several at once,
// adding a page of the art folder, and deleting and renaming files of the
// art folder. Names typed in the name box follow TextureNameProblem.
namespace ravok {

class CTrackPOD;
class Prompter;

constexpr const char* kNormalMapCaption = "Normal map";
constexpr const char* kHdTextureCaption = "HD texture";
constexpr const char* kTextureNameCaption = "Texture name";
constexpr const char* kTextureNameTooLongCaption = "Texture name too long";

// What adding a texture needs besides the track.
struct TextureAddParams {
    std::filesystem::path artFolder;
    bool keepHdArtOnly = false; // build the 8-bit copy of HD art in memory only
};

// A stem ending in "_N" or "_n" names a normal map, never a texture of its own.
bool IsNormalMapStem(std::string_view stem);

// The texture name a file gets: its file name, with the extension .RAW for a
// PNG or TGA.
std::string TextureNameForFile(const std::filesystem::path& file);

// Adds a texture file (.RAW, PNG or TGA) under `wantedName` (a file name,
// such as GRASS.RAW) into the lowest empty slot, named ART\ + the name in
// upper case. A PNG or TGA gets its 8-bit copy: in memory with keep-HD on,
// otherwise as .RAW + .ACT rebuilt beside it when out of date. Returns the
// slot, or -1 with the refusal (silent when it has no message).
int AddTextureFile(CTrackPOD& track, const std::filesystem::path& file, std::string_view wantedName,
                   const TextureAddParams& params, Outcome& outcome);

// Load texture files: each file not yet in the track is added; "already
// loaded" and every refusal are shown through the prompter. Returns the
// first slot added, or -1.
int LoadTextureFiles(CTrackPOD& track, const std::vector<std::filesystem::path>& files,
                     const TextureAddParams& params, Prompter& prompter);

// Add page: every file of the page (names inside the art folder) that is not
// yet in the track, passing over normal maps. "Empty Page!" without names; the first failure shows
// "Error loading "%s"!" and stops. Returns the number added.
int AddTexturePage(CTrackPOD& track, const std::vector<std::string>& page, const TextureAddParams& params,
                   Prompter& prompter);

// The name box's rules for a texture name typed without extension; the
// refusal, or success.
Outcome TextureNameProblem(std::string_view name);

// Deletes a .RAW (and its .ACT) of the art folder after asking; refused for
// a texture of the track and for the normal map of one. True when deleted.
bool DeleteTextureFile(const CTrackPOD& track, const std::filesystem::path& artFolder, std::string_view fileName,
                       Prompter& prompter);

// Whether a file of the art folder may be renamed (not while the track uses it).
Outcome CanRenameTextureFile(const CTrackPOD& track, std::string_view fileName);
// Renames a .raw and its .act to the new name (cut at its last dot). Refused
// with the name box's messages or "Name is not unique.\nPlease try a different name.".
Outcome RenameTextureFile(const CTrackPOD& track, const std::filesystem::path& artFolder, std::string_view fileName,
                          std::string_view newName);

// The name cut at its last dot (the extension the user may have typed).
std::string NameWithoutExtension(std::string_view name);

} // namespace ravok
