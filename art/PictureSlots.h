#pragma once

#include "base/Outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The menu pictures of a track as the Track Components dialog holds them:
// each slot an 8-bit BMP file and, optionally, its true-colour (HD) version.
namespace ravok {

constexpr int kPictureSlotCount = 3;
constexpr int kBrowseSlot = 0;
constexpr int kIconSlot = 1; // the icon on MTM2 tracks, the zoom picture on MTM1
constexpr int kInfoPhotoSlot = 2;

constexpr const char* kHdArtCaption = "HD Track Art";

// What one slot holds.
struct PictureSlot {
    std::vector<uint8_t> bitmap; // 8-bit BMP file, or empty
    std::vector<uint8_t> hdArt;  // PNG or TGA file, or empty
    std::string hdExt;           // ".PNG" or ".TGA" while there is HD art
};

// The rules of a slot: its name in messages, the size of its 8-bit picture
// (ow x oh, which HD art must match in shape) and the HD side limit (0: none).
struct PictureSlotRules {
    int slot = kBrowseSlot;
    bool mtm2 = true;
    const char* name = "";
    int legacyWidth = 0, legacyHeight = 0;
    int hdLimit = 0;
};
PictureSlotRules SlotRules(int slot, bool mtm2);

// Loads a picture file: ".png" and ".tga" files and 24/32-bit BMPs become HD
// art with an 8-bit copy; an uncompressed 8-bit BMP becomes the slot's picture
// and drops the HD art. On refusal the slot is unchanged and the outcome holds
// the message and its caption.
Outcome LoadSlotPicture(PictureSlot& slot, const PictureSlotRules& rules, const std::filesystem::path& file);
// The same for the bytes of a file of that name.
Outcome LoadSlotPictureBytes(PictureSlot& slot, const PictureSlotRules& rules, std::span<const uint8_t> bytes,
                             std::string_view fileName);
// The HD path alone: a PNG or TGA whose extension the name gives.
Outcome LoadSlotHdPicture(PictureSlot& slot, const PictureSlotRules& rules, std::span<const uint8_t> bytes,
                          std::string_view fileName);
// Pasting: the clipboard's bitmap as a BMP file (nullopt when it has none)
// must be an uncompressed 8-bit picture of the slot's size.
Outcome PasteSlotPicture(PictureSlot& slot, const PictureSlotRules& rules,
                         const std::optional<std::vector<uint8_t>>& bmpFile);

// The 8-bit BMP copy of a slot's HD art at the slot's legacy size.
std::optional<std::vector<uint8_t>> BuildSlotCopy(std::span<const uint8_t> hdArt, const PictureSlotRules& rules,
                                                  std::string& message);

// Saving a slot: a slot with HD art offers it and its 8-bit copy, one
// without offers its 8-bit picture.
enum class SlotSaveForm { HdArt, EightBitCopy };
constexpr const char* kSavePictureTitle = "Save picture";
constexpr const char* kNothingToSave = "Nothing to save.";
constexpr const char* kCannotWriteFile = "Cannot write that file.";
// "HD art (*.PNG)" style filter of a slot with HD art.
std::string HdArtSaveFilter(const PictureSlot& slot);
// The name a save writes: the 8-bit copy of HD art gets ".bmp".
std::filesystem::path SlotSavePath(const std::filesystem::path& chosen, const PictureSlot& slot, SlotSaveForm form);
// The 8-bit copy of HD art is built when the slot keeps none.
Outcome SaveSlotPicture(const PictureSlot& slot, const PictureSlotRules& rules, SlotSaveForm form,
                        const std::filesystem::path& file);

// The text over a slot's box: "Browse (HD %dx%d)" and the like with HD art,
// else the slot's plain caption ("Browse Bitmap (257x210)", ...).
std::string SlotLabel(const PictureSlot& slot, const PictureSlotRules& rules);

// The program's own stock icons (32 x 24, 8-bit) for the MTM2 icon slot.
struct StockIcon {
    std::string name;
    std::vector<uint8_t> bitmap;
};
const std::vector<StockIcon>& StockIcons();
bool StockIconsAvailable(const PictureSlotRules& rules);
// Puts stock icon `index` into the slot as its 8-bit picture.
Outcome UseStockIcon(PictureSlot& slot, const PictureSlotRules& rules, int index);

} // namespace ravok
