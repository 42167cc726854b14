#pragma once

#include <vector>

// Removing terrain textures (Purge Unused..., Delete Texture). The texture
// table closes the gap, so every grid cell, ground-box face and animation
// frame that named a later slot is renumbered one lower, keeping its flag bits.
namespace ravok {

class CTrackPOD;
class Prompter;
struct TextureUndo;
struct TransitionSettings;

constexpr const char* kPurgeTexturesCaption = "Purge Textures";
constexpr const char* kNoUnusedTexturesMessage = "There are no unused textures.";
constexpr const char* kPurgeQuestionFormat = "There are %d unused textures.\nGo ahead and remove them?";
constexpr const char* kDeleteTextureCaption = "Delete Texture";
constexpr const char* kDeleteUsedTextureFormat =
    "Texture \"%s\" is used by %d terrain cells, %d ground box faces and %d animation frames.\n\n"
    "Delete it anyway? The cells and faces will show the first texture instead, and the frames will be "
    "removed from their animations.";

// Where a terrain texture slot is used.
struct TextureUses {
    int cells = 0, faces = 0, frames = 0;
    bool any() const { return cells + faces + frames > 0; }
};
TextureUses CountTextureUses(const CTrackPOD& track, int slot);

// The filled slots nothing uses, lowest first.
std::vector<int> UnusedTextures(const CTrackPOD& track);

// Removes slot t from the table and renumbers everything above it. Uses of t
// itself are left as they are; callers move them first.
void RemoveTextureSlot(CTrackPOD& track, int slot);

// Purge Unused...: informs when there is nothing to purge, otherwise asks and
// removes them on Yes. Returns the number removed.
int PurgeUnusedTextures(CTrackPOD& track, Prompter& prompter);

// Delete Texture. A texture in use is removed only after a Yes to the
// question that names its uses; those cells and faces then take texture 0
// (flags kept) and its frames leave their animations (an animation left
// without frames is removed). True when the texture was removed.
bool DeleteTexture(CTrackPOD& track, int slot, Prompter& prompter);

// A texture slot remembered elsewhere (the transitions dialog, the Textures
// box) after slot `removed` went: -1 when it was that slot, one lower above it.
int SlotAfterRemoval(int slot, int removed);
void RenumberTransitionSlots(TransitionSettings& settings, int removed);
// The texture undo after slot `removed` went: its saved cells above the slot
// move one lower, as the map's did, so that Undo puts back the same textures.
// A saved cell of the removed slot itself can no longer be put back, so such
// an undo is dropped.
void RenumberUndoAfterRemoval(TextureUndo& undo, int removed);

} // namespace ravok
