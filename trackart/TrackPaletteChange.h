#pragma once

#include "art/Palette.h"

#include <filesystem>
#include <optional>
#include <string>

// Installing a new track palette: the game palettes of the Color Palette
// list (ChangePalette) and the palette of the Track Palette dialog. Every
// texture's pixels are dropped and read again so that each is remapped onto
// the new palette; progress goes to the track's progress window.
namespace ravok {

class CTrackPOD;
class ProgressSink;

constexpr const char* kReloadTexturesCaption = "Error reloading texture(s)";
constexpr const char* kReloadModelTexturesCaption = "Error reloading model texture(s)";

struct PaletteReloadResult {
    bool changed = false; // the palette was installed
    bool texturesOk = true, modelTexturesOk = true;
    std::string textureReport, modelTextureReport; // shown with the captions above when not ok
    int keptInMemory = 0; // textures found nowhere that kept their pictures, remapped
};

// Drops the pixels of every terrain and model texture and loads them again
// from the art folder. A texture that no longer loads but had a picture
// keeps that picture, remapped from the old palette onto the new one, so it
// is never lost; it is still listed in the report.
PaletteReloadResult ReloadTexturesOntoPalette(CTrackPOD& track, const PaletteColours& oldPalette,
                                              const std::filesystem::path& artFolder,
                                              ProgressSink* progress = nullptr);

// ChangePalette (MTM2 tracks only): game palette 0..15, or 16 for the custom
// palette (nothing without one). The track palette takes the colours (its
// name kept), the fog map becomes the default one for palette 0 or the
// nearest-colour table with the index as its first byte, and every texture
// is reloaded.
PaletteReloadResult ChangePalette(CTrackPOD& track, int index, const std::optional<PaletteColours>& custom,
                                  const std::filesystem::path& artFolder, ProgressSink* progress = nullptr);

// OK of the Track Palette dialog: the colours become the track palette (the
// fixed colours again at 246..255). An MTM2 track also gets the fog table of
// the new palette with the first byte 16 (Custom), so that the game set-up
// at the next Open keeps the palette instead of installing a built-in one.
// Then every texture is reloaded. The caller remembers the colours as the
// custom palette.
PaletteReloadResult ApplyTrackPalette(CTrackPOD& track, const PaletteColours& colours,
                                      const std::filesystem::path& artFolder, ProgressSink* progress = nullptr);

// The view's two display colours in a palette: the background (nearest to
// 192, 192, 192) and the grid (nearest to 64, 128, 0).
struct DisplayColourIndices {
    int background = 0, grid = 0;
};
DisplayColourIndices DisplayColourIndicesFor(const TrackPalette& palette);

} // namespace ravok
