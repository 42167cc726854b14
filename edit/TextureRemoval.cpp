#include "edit/TextureRemoval.h"

#include "base/Interfaces.h"
#include "base/Text.h"
#include "edit/TexturePaint.h"
#include "edit/TextureTransitions.h"
#include "model/TrackPod.h"

namespace ravok {

namespace {

int slotOf(uint32_t word) { return int(word & kTextureSlotMask); }

// Applies a change to the slot bits of every cell and ground-box face word.
template <typename Change> void forEachTextureWord(CTrackPOD& track, Change change) {
    for (auto& cell : track.terrain.textures) cell = change(cell);
    for (auto& box : track.groundBoxes)
        if (box)
            for (auto& face : box->faces) face = change(face);
}

// Frames naming `slot` leave their animations; empty animations go.
void dropFrames(CTrackPOD& track, int slot) {
    for (int a = track.animations.count() - 1; a >= 0; --a) {
        TextureAnimation& anim = track.animations.at(a);
        uint32_t kept = 0;
        for (uint32_t f = 0; f < anim.frameCount && f < kMaxAnimationFrames; ++f)
            if (int(anim.frames[f]) != slot) anim.frames[kept++] = anim.frames[f];
        for (uint32_t f = kept; f < kMaxAnimationFrames; ++f) anim.frames[f] = 0;
        anim.frameCount = kept;
        if (kept == 0) track.animations.remove(a);
    }
}

} // namespace

TextureUses CountTextureUses(const CTrackPOD& track, int slot) {
    TextureUses uses;
    for (uint16_t cell : track.terrain.textures) uses.cells += slotOf(cell) == slot;
    for (const auto& box : track.groundBoxes)
        if (box)
            for (uint16_t face : box->faces) uses.faces += slotOf(face) == slot;
    for (const auto& anim : track.animations.animations())
        for (uint32_t f = 0; f < anim.frameCount && f < kMaxAnimationFrames; ++f) uses.frames += int(anim.frames[f]) == slot;
    return uses;
}

std::vector<int> UnusedTextures(const CTrackPOD& track) {
    std::vector<bool> used(kMaxTerrainTextures, false);
    auto mark = [&](uint32_t slot) {
        if (slot < uint32_t(kMaxTerrainTextures)) used[slot] = true; // a damaged word may name any slot
    };
    for (uint16_t cell : track.terrain.textures) mark(uint32_t(slotOf(cell)));
    for (const auto& box : track.groundBoxes)
        if (box)
            for (uint16_t face : box->faces) mark(uint32_t(slotOf(face)));
    for (const auto& anim : track.animations.animations())
        for (uint32_t f = 0; f < anim.frameCount && f < kMaxAnimationFrames; ++f) mark(anim.frames[f]);
    std::vector<int> unused;
    for (int t = 0; t < kMaxTerrainTextures; ++t)
        if (track.terrainTextures[size_t(t)] && !used[size_t(t)]) unused.push_back(t);
    return unused;
}

void RemoveTextureSlot(CTrackPOD& track, int slot) {
    if (slot < 0 || slot >= kMaxTerrainTextures) return;
    forEachTextureWord(track, [slot](uint16_t word) {
        return slotOf(word) > slot ? uint16_t(word - 1) : word; // the slot bits drop by one, flags stay
    });
    for (int a = 0; a < track.animations.count(); ++a) {
        TextureAnimation& anim = track.animations.at(a);
        for (uint32_t f = 0; f < anim.frameCount && f < kMaxAnimationFrames; ++f)
            if (int(anim.frames[f]) > slot) --anim.frames[f];
    }
    auto& table = track.terrainTextures;
    for (size_t i = size_t(slot); i + 1 < table.size(); ++i) table[i] = std::move(table[i + 1]);
    table.back().reset();
}

int PurgeUnusedTextures(CTrackPOD& track, Prompter& prompter) {
    const std::vector<int> unused = UnusedTextures(track);
    if (unused.empty()) {
        prompter.inform(kNoUnusedTexturesMessage, kPurgeTexturesCaption);
        return 0;
    }
    if (!prompter.askYesNo(formatText(kPurgeQuestionFormat, int(unused.size())), kPurgeTexturesCaption, true))
        return 0;
    for (auto it = unused.rbegin(); it != unused.rend(); ++it) RemoveTextureSlot(track, *it);
    return int(unused.size());
}

bool DeleteTexture(CTrackPOD& track, int slot, Prompter& prompter) {
    if (slot < 0 || slot >= kMaxTerrainTextures || !track.terrainTextures[size_t(slot)]) return false;
    const TextureUses uses = CountTextureUses(track, slot);
    if (uses.any()) {
        const std::string name = track.terrainTextures[size_t(slot)]->name().str();
        const std::string question =
            formatText(kDeleteUsedTextureFormat, name.c_str(), uses.cells, uses.faces, uses.frames);
        if (!prompter.askYesNo(question, kDeleteTextureCaption, false)) return false;
        forEachTextureWord(track, [slot](uint16_t word) {
            return slotOf(word) == slot ? uint16_t(word & ~kTextureSlotMask) : word;
        });
        dropFrames(track, slot);
    }
    RemoveTextureSlot(track, slot);
    return true;
}

int SlotAfterRemoval(int slot, int removed) {
    if (slot == removed) return -1;
    return slot > removed ? slot - 1 : slot;
}

void RenumberTransitionSlots(TransitionSettings& settings, int removed) {
    for (auto& row : settings.picture)
        for (int& t : row) t = SlotAfterRemoval(t, removed);
    settings.outer = SlotAfterRemoval(settings.outer, removed);
}

void RenumberUndoAfterRemoval(TextureUndo& undo, int removed) {
    if (!undo.available) return;
    for (uint16_t cell : undo.cells)
        if (slotOf(cell) == removed) {
            undo = {};
            return;
        }
    for (uint16_t& cell : undo.cells)
        if (slotOf(cell) > removed) --cell; // the slot bits drop by one, flags stay
}

} // namespace ravok
