// Feeds arbitrary bytes to the menu picture slots: the 8-bit BMP rules, the
// conversion of 24/32-bit BMPs into HD art and the HD path with its 8-bit copy.
#include "art/PictureSlots.h"

#include <string>
#include <vector>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::span<const uint8_t> bytes(data, size);
    // The last byte picks the slot, the game and the path (BMP or picture name).
    const uint8_t choice = size ? data[size - 1] : 0;
    const PictureSlotRules rules = SlotRules(choice % kPictureSlotCount, (choice & 4) == 0);
    PictureSlot slot;
    LoadSlotPictureBytes(slot, rules, bytes, (choice & 8) ? "FUZZ.PNG" : "FUZZ.BMP");
    volatile size_t kept = slot.bitmap.size() + slot.hdArt.size();
    (void)kept;
    PictureSlot pasted;
    PasteSlotPicture(pasted, rules, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    (void)SlotLabel(slot, rules);
    return 0;
}
