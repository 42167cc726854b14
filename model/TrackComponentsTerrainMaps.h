#pragma once

#include "base/Outcome.h"
#include "model/TrackComponents.h"

#include <filesystem>
#include <string>
#include <string_view>

// The terrain detail normal and the painted terrain mask: PNG or TGA files
// that the pod carries as they are, checked when they are loaded.
namespace ravok {

class Prompter;

enum class TerrainMapKind { DetailNormal, Mask };

constexpr const char* kTerrainMapCaption = "Terrain map";
constexpr const char* kTerrainMapFilters[3] = {"Image files (*.png, *.tga)", "PNG files (*.png)",
                                               "TGA files (*.tga)"};
// Largest file a terrain map may be.
constexpr uintmax_t kMaxTerrainMapBytes = 32u * 1024 * 1024;

// "Select Terrain Detail Normal" or "Select Painted Terrain Mask".
const char* TerrainMapDialogTitle(TerrainMapKind kind);
// The folder the file dialog starts in: MaskArt beside the art folder when
// it exists, else the art folder.
std::filesystem::path TerrainMapStartFolder(const std::filesystem::path& artFolder);

// Reads a terrain map file, asks about sizes the engine handles badly and
// about masks that are not greyscale, and on acceptance replaces `target`.
// A file error is refused with its message (caption "Terrain map"); a name
// without an extension, or No to a question, is a silent refusal.
Outcome LoadTerrainMap(TerrainMapKind kind, TerrainMapFile& target, const std::filesystem::path& file,
                       Prompter& prompter);

// "ART\WORLD_DTL.PNG  -  12 KB", or "(generated)" / "(none)" without a file.
std::string TerrainMapLabel(TerrainMapKind kind, const TerrainMapFile& map, std::string_view worldName);

} // namespace ravok
