#include "pod/DataFiles.h"

#include "art/FogTable.h"
#include "art/ItemNames.h"
#include "base/ByteWriter.h"
#include "base/Text.h"
#include "model/NewTrack.h"
#include "pod/ItemSource.h"
#include "pod/TextLines.h"

#include <cstdlib>

namespace ravok {

Blob WriteTerrainHeights(const CTrackPOD& track) { return track.terrain.heights; }

Blob WriteCellTextureMap(const CTrackPOD& track) {
    ByteWriter out;
    out.reserve(kCellTextureMapBytes);
    for (TextureCell cell : track.terrain.textures) out.u16LE(cell);
    return out.bytes();
}

Blob WriteTerrainLighting(const CTrackPOD& track) {
    Blob out;
    out.reserve(kTerrainLightingBytes);
    for (const ShadeCell& cell : track.terrain.cells) out.insert(out.end(), cell.begin(), cell.end());
    return out;
}

Blob ZeroFilled(size_t bytes) { return Blob(bytes, 0); }

GroundBoxLayers WriteGroundBoxLayers(CTrackPOD& track) {
    std::vector<std::array<uint16_t, 6>> faces;
    track.RebuildGroundBoxMaps(&faces);
    GroundBoxLayers layers{track.groundBoxMaps.bottom, track.groundBoxMaps.top, {}};
    ByteWriter out;
    out.reserve(kGroundBoxFacesBytes);
    for (const auto& cell : faces)
        for (uint16_t face : cell) out.u16LE(face);
    layers.faces = out.bytes();
    return layers;
}

Blob WriteFogMap(const CTrackPOD& track) {
    if (track.fogMap.size() != kFogMapBytes) return DefaultFogMap();
    Blob map = track.fogMap;
    map[0] = 0;
    return map;
}

Blob WriteTextureList(const CTrackPOD& track) {
    const int highest = track.HighestTextureInUse();
    std::string text;
    appendLine(text, std::to_string(highest + 1));
    for (int slot = 0; slot <= highest; ++slot) {
        const auto& texture = track.terrainTextures[size_t(slot)];
        appendLine(text, texture ? std::string(itemFileName(texture->name().view())) : kEmptyTextureSlotName);
    }
    return {text.begin(), text.end()};
}

Blob WriteTextureTypes(const CTrackPOD& track) {
    std::string body;
    int count = 0;
    for (const auto& texture : track.terrainTextures) {
        if (!texture || texture->surfaceType() == 0) continue;
        ++count;
        appendLine(body, formatText("%s,%d", std::string(itemFileName(texture->name().view())).c_str(),
                                    texture->surfaceType() * 100 + texture->gripDepth()));
    }
    std::string text = std::to_string(count) + "\r\n" + body;
    return {text.begin(), text.end()};
}

Blob WriteTextureAnimations(const CTrackPOD& track, std::vector<std::string>* longNames) {
    auto frameName = [&](uint32_t slot) {
        const Texture* texture = slot < uint32_t(kMaxTerrainTextures) ? track.terrainTextures[slot].get() : nullptr;
        std::string name = texture ? std::string(texture->name().view()) : kEmptyTextureSlotName;
        if (isInItemFolder(name, "ART")) name = nameInFolder(name);
        return name;
    };
    std::string text;
    appendLine(text, std::to_string(track.animations.count()));
    for (const TextureAnimation& a : track.animations.animations()) {
        // A record from a damaged track file may claim more frames than it
        // holds; the count written is always the number of names that follow.
        const uint32_t frames = std::min<uint32_t>(a.frameCount, kMaxAnimationFrames);
        appendLine(text, frameName(a.frames[0]));
        appendLine(text, formatText("%u,%u", frames, a.period * 65u));
        for (uint32_t f = 0; f < frames; ++f) {
            std::string name = frameName(a.frames[f]);
            if (name.size() > size_t(kMaxFrameNameLength) && longNames) longNames->push_back(name);
            appendLine(text, name);
        }
    }
    return {text.begin(), text.end()};
}

void ReadTextureTypes(CTrackPOD& track, std::span<const uint8_t> text) {
    TextLineReader lines(text);
    std::string line;
    while (lines.next(line)) {
        if (line.find(".RAW") == std::string::npos) continue;
        auto comma = line.find(',');
        if (comma == std::string::npos) continue;
        int slot = track.FindTexture(line.substr(0, comma));
        if (slot < 0) continue;
        const int value = std::atoi(line.c_str() + comma + 1);
        Texture& texture = *track.terrainTextures[size_t(slot)];
        texture.setSurfaceType(value / 100);
        texture.setGripDepth(value % 100);
    }
}

void LoadGroundBoxes(CTrackPOD& track, TrackItemSource& items, std::string_view terrainItemName) {
    std::string name(terrainItemName);
    auto raw = upperCase(name).find(".RAW");
    if (raw == std::string::npos) return;
    auto layer = [&](const char* ext, size_t bytes) {
        std::string layerName = name;
        layerName.replace(raw, 4, ext);
        auto blob = items.findAndRead(layerName, bytes);
        if (blob) blob->resize(bytes, 0);
        return blob;
    };
    auto bottom = layer(".RA0", kGroundBoxLayerBytes);
    auto top = layer(".RA1", kGroundBoxLayerBytes);
    auto faceBytes = layer(".CL0", kGroundBoxFacesBytes);
    if (!bottom || !top || !faceBytes) return;
    std::vector<std::array<uint16_t, 6>> faces(kGridCells);
    for (size_t i = 0; i < faces.size(); ++i)
        for (size_t k = 0; k < 6; ++k)
            faces[i][k] = uint16_t((*faceBytes)[i * 12 + k * 2] | ((*faceBytes)[i * 12 + k * 2 + 1] << 8));
    track.GroundBoxesFromMaps(*bottom, *top, faces);
}

} // namespace ravok
