#pragma once

#include "base/Outcome.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ravok {

constexpr int kMaxAnimations = 64;
constexpr int kMaxAnimationFrames = 8;
constexpr int kMaxFrameNameLength = 15; // without the leading ART\ (an 11-character stem with .RAW)
constexpr size_t kAnimationRecordBytes = 40;

// The "Frame name too long" refusal for a texture name (ART\ is not counted)
// over 15 characters, or success.
Outcome FrameNameProblem(std::string_view frameName);

// An animated terrain texture: the frames' terrain texture slots, first
// frame first, stepped every `period` milliseconds.
struct TextureAnimation {
    uint32_t period = 250; // 50..1000
    uint32_t frameCount = 1;
    std::array<uint32_t, kMaxAnimationFrames> frames{};

    // The 40-byte record form of the track file.
    std::array<uint8_t, kAnimationRecordBytes> toBytes() const;
    static TextureAnimation fromBytes(std::span<const uint8_t, kAnimationRecordBytes> bytes);
    bool operator==(const TextureAnimation&) const = default;
};

// The track's animation table, at most 64 records.
class TextureAnimationTable {
public:
    void clear() { m_animations.clear(); m_headerWord = 5000; }
    int count() const { return static_cast<int>(m_animations.size()); }
    const std::vector<TextureAnimation>& animations() const { return m_animations; }
    TextureAnimation& at(int i) { return m_animations.at(size_t(i)); }

    // The animation whose first frame is `textureSlot`, or -1.
    int startedBy(uint32_t textureSlot) const;

    // A new animation of one frame, the texture that starts it. Refused when
    // that texture already starts one, or with a message when 64 exist.
    Outcome start(uint32_t textureSlot);
    // Appends a frame. `frameName` is the texture's name (ART\ is not counted).
    Outcome appendFrame(int animation, uint32_t textureSlot, std::string_view frameName);
    // Removes an animation; later records move down one place.
    void remove(int animation);
    // Appends a record as read from a file (no checks but the table limit).
    bool appendRecord(const TextureAnimation& a);

    // Left as the list header's third word; nothing reads it.
    uint32_t headerWord() const { return m_headerWord; }
    bool operator==(const TextureAnimationTable&) const = default;

private:
    std::vector<TextureAnimation> m_animations;
    uint32_t m_headerWord = 5000;
};

} // namespace ravok
