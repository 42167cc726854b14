#include "art/TextureAnimation.h"

#include <cstdio>

namespace ravok {

std::array<uint8_t, kAnimationRecordBytes> TextureAnimation::toBytes() const {
    std::array<uint8_t, kAnimationRecordBytes> out{};
    auto put = [&](size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
    };
    put(0, period);
    put(4, frameCount);
    for (size_t f = 0; f < frames.size(); ++f) put(8 + 4 * f, frames[f]);
    return out;
}

TextureAnimation TextureAnimation::fromBytes(std::span<const uint8_t, kAnimationRecordBytes> bytes) {
    auto get = [&](size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    };
    TextureAnimation a;
    a.period = get(0);
    a.frameCount = get(4);
    for (size_t f = 0; f < a.frames.size(); ++f) a.frames[f] = get(8 + 4 * f);
    return a;
}

int TextureAnimationTable::startedBy(uint32_t textureSlot) const {
    for (size_t i = 0; i < m_animations.size(); ++i)
        if (m_animations[i].frameCount > 0 && m_animations[i].frames[0] == textureSlot) return int(i);
    return -1;
}

Outcome TextureAnimationTable::start(uint32_t textureSlot) {
    if (startedBy(textureSlot) >= 0) return Outcome::refused();
    if (count() >= kMaxAnimations) return Outcome::refused("Max. number of animations reached.");
    TextureAnimation a;
    a.frames[0] = textureSlot;
    m_animations.push_back(a);
    return Outcome::success();
}

Outcome FrameNameProblem(std::string_view frameName) {
    std::string_view bare = frameName;
    if (bare.size() >= 4 && bare.substr(0, 4) == "ART\\") bare.remove_prefix(4);
    if (int(bare.size()) > kMaxFrameNameLength) {
        char text[1024];
        std::snprintf(text, sizeof text,
                      "\"%.*s\" is %d characters.\n\nAn animation frame name may be at most %d characters "
                      "INCLUDING the extension (an 11-character stem with .RAW).\n\nThe engine stores each "
                      "frame's name next to that frame's sound name, so a longer name overwrites the sound "
                      "instead of truncating.\n\nRename the texture file and add it again.",
                      int(bare.size()), bare.data(), int(bare.size()), kMaxFrameNameLength);
        return Outcome::refused(text, "Frame name too long");
    }
    return Outcome::success();
}

Outcome TextureAnimationTable::appendFrame(int animation, uint32_t textureSlot, std::string_view frameName) {
    if (animation < 0 || animation >= count()) return Outcome::refused();
    TextureAnimation& a = m_animations[size_t(animation)];
    if (a.frameCount >= kMaxAnimationFrames) return Outcome::refused("Max. 8 frames per animation.");
    if (Outcome name = FrameNameProblem(frameName); !name) return name;
    a.frames[a.frameCount++] = textureSlot;
    return Outcome::success();
}

void TextureAnimationTable::remove(int animation) {
    if (animation >= 0 && animation < count()) m_animations.erase(m_animations.begin() + animation);
}

bool TextureAnimationTable::appendRecord(const TextureAnimation& a) {
    if (count() >= kMaxAnimations) return false;
    m_animations.push_back(a);
    return true;
}

} // namespace ravok
