#pragma once

#include "base/Outcome.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Cutting a large picture into a grid of square tiles that become textures
// of the track ("Cut Textures from an Image"). Positions are pixels from the
// picture's left and top edges.
namespace ravok {

class CTrackPOD;
class Prompter;
struct TextureAddParams;

constexpr const char* kPasteCompositeCaption = "Paste Composite";
constexpr int kMaxCutGrid = 16; // tile names carry one hexadecimal digit per column and row
constexpr size_t kMaxCutBaseName = 6;
constexpr int kSmallestTile = 32;

// Output kinds in the order the remembered setting stores them.
enum class CutOutput { Png = 0, Tga = 1, RawAct = 2 };
// The remembered output kind; anything unknown reads as PNG.
CutOutput CutOutputFromSetting(uint32_t value);

enum class CutSourceKind { None, Paletted, TrueColour };

// The picture to cut: true colour as blue, green, red rows padded to 4
// bytes; a palette picture as index rows and its 256 colours.
struct CutSource {
    CutSourceKind kind = CutSourceKind::None;
    std::string name; // file name without folder, or "Clipboard"
    int width = 0, height = 0;
    size_t stride = 0;
    std::vector<uint8_t> bgr;          // true colour: height rows of `stride` bytes, top row first
    std::vector<uint8_t> indices;      // paletted: width x height, top row first
    std::array<uint8_t, 768> palette{}; // paletted: red, green, blue
};

// Open Image: a PNG or TGA decoded without the texture rules (up to 8192 x 8192).
std::optional<CutSource> CutSourceFromFile(const std::filesystem::path& path, std::string& message);

// The dialog's choices.
struct CutSettings {
    int tileSize = 256;
    int left = 0, top = 0;
    int columns = 2, rows = 2;
    CutOutput output = CutOutput::Png;
    bool borderOverlap = false; // RAW/ACT output only
    bool keepHdArtOnly = false; // PNG/TGA output only
    std::string baseName;
};

// The output a source really gets: a palette picture always RAW/ACT.
CutOutput EffectiveCutOutput(const CutSource& source, CutOutput chosen);
// Sizes offered for the source and output, shown as "%d x %d": 32, 64, 256
// for RAW/ACT; 32..1024 for PNG and TGA; none larger than the smaller side.
std::vector<int> OfferedTileSizes(const CutSource& source, CutOutput output);
// The previous choice when still offered, otherwise 256, otherwise the
// largest offered; 0 when none is.
int ChooseTileSize(const std::vector<int>& offered, int previous);
std::string TileSizeLabel(int size);

// Overlap: max(tile / 32, 1) pixels with border overlap on RAW/ACT output, else 0.
int CutOverlap(const CutSource& source, const CutSettings& settings);
int CutStep(const CutSource& source, const CutSettings& settings);
// The base name cut at its first dot, in upper case.
std::string CutBaseName(const std::string& typed);
// "%s%X%X": base name, column, row.
std::string CutTileName(const std::string& base, int column, int row);

// The two status lines of the dialog. OK is enabled only while the second
// line is the tile summary (CutSummaryReady).
std::string CutSourceLine(const CutSource& source, const CutSettings& settings);
std::string CutSummaryLine(const CutSource& source, const CutSettings& settings);
bool CutSummaryReady(const CutSource& source, const CutSettings& settings);

// OK's checks, in order; the first refusal or success.
Outcome CheckCutSettings(const CutSource& source, const CutSettings& settings);
// Every tile name is checked against the track's textures and the art
// folder's files before anything is written.
Outcome CheckCutNames(const CTrackPOD& track, const std::filesystem::path& artFolder, const CutSettings& settings);

// Cuts: checks the settings and the names, then writes each tile (row by
// row, column by column) into the art folder and adds it to the track. A
// write failure is shown and stops; an add failure stops silently. Returns
// the number of tiles added.
struct CutResult {
    int added = 0;
    Outcome outcome;
};
CutResult CutTextures(CTrackPOD& track, const CutSource& source, const CutSettings& settings,
                      const TextureAddParams& params);

} // namespace ravok
