#pragma once

#include "base/Outcome.h"
#include "trackart/TextureCut.h"

#include <filesystem>
#include <optional>
#include <string_view>

// The Textures box's two clipboard commands on the bitmap the clipboard
// adapter hands over: Paste texture (an 8-bit 64 x 64 or 256 x 256 bitmap
// written as .RAW + .ACT in its own palette) and the source of Paste
// Composite (an 8-bit or a true-colour picture to cut).
namespace ravok {

class CTrackPOD;
struct DibImage;
struct TextureAddParams;

constexpr const char* kNoClipboardBitmap = "Can't get bitmap from clipboard";
constexpr const char* kPasteTextureNamePrompt = "Specify a unique texture name:";

// Paste texture's checks; success when the bitmap can become a texture.
Outcome CheckPasteTexture(const DibImage* dib);
// The name box's answer checked: cut at its last dot, the texture name
// rules, and unique among the track's textures and the art folder's .RAW and
// .ACT files. A silent refusal (empty name) asks again.
Outcome PastedTextureNameProblem(const CTrackPOD& track, const std::filesystem::path& artFolder,
                                 std::string_view name);
// Writes the bitmap as name.raw + name.act (lower case) into the art folder
// and adds NAME.RAW. Returns the slot, or -1 with the refusal.
int PasteTexture(CTrackPOD& track, const DibImage& dib, std::string_view name, const TextureAddParams& params,
                 Outcome& outcome);

// Paste Composite's source from the clipboard. No bitmap: a silent refusal
// (the user then picks a file); an unusable one: the message, titled
// "Paste Composite".
Outcome CutSourceFromClipboard(const DibImage* dib, CutSource& source);

} // namespace ravok
