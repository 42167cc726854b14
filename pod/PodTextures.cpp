#include "pod/PodTextures.h"

#include "art/ItemNames.h"
#include "art/NameLookup.h"
#include "base/Text.h"
#include "base/Trace.h"
#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/TextLines.h"

#include <cstdlib>

namespace ravok {

namespace {

std::optional<TrackItemSource::Item> findAnyExtension(TrackItemSource& items, std::string& name) {
    for (const std::string& candidate : TextureNameAlternatives(name))
        if (auto item = items.find(candidate)) {
            name = candidate;
            return item;
        }
    return std::nullopt;
}

std::string withRaw(std::string name) {
    auto dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".RAW";
}

} // namespace

std::unique_ptr<Texture> LoadTextureItem(const CTrackPOD& track, TrackItemSource& items, std::string_view asked,
                                         const char* kind) {
    std::string name = upperCase(asked);
    auto item = findAnyExtension(items, name);
    if (!item) {
        trace("  %s \"%s\": no such item in pod - NOT LOADED", kind, name.c_str());
        return nullptr;
    }
    const int side = SideFromFileSize(item->size);
    if (side > 0) {
        auto pixels = items.read(*item, item->size);
        if (!pixels || pixels->size() != item->size) return nullptr;
        auto texture = std::make_unique<Texture>();
        texture->setPicture(item->name, side, side, pixels->data());
        if (std::string act = actPathForRaw(item->name); !act.empty()) {
            auto rgb = items.findAndRead(act, 768);
            PaletteColours colours = rgb ? paletteFromRgbBytes(*rgb) : DefaultPalette();
            RemapToTrackPalette(track.palette, texture->pixels(), colours);
        }
        return texture;
    }
    if (IsHdPictureItemName(item->name)) {
        trace("  %s \"%s\": HD-only entry \"%s\" (%d bytes) - stashed for decode", kind, std::string(asked).c_str(),
              item->name.c_str(), int(item->size));
        auto texture = std::make_unique<Texture>();
        texture->setName(withRaw(item->name));
        if (item->size <= kMaxStashedPictureBytes)
            if (auto bytes = items.read(*item, item->size)) texture->setHdSource(*bytes);
        return texture;
    }
    trace("  %s \"%s\": in pod but length %d fits no tile size - NOT LOADED", kind, name.c_str(), int(item->size));
    return nullptr;
}

void LoadTextureList(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text) {
    TextLineReader lines(text);
    std::string line;
    if (!lines.next(line)) return;
    const int count = std::clamp(std::atoi(line.c_str()), 0, kMaxTerrainTextures);
    for (int slot = 0; slot < count && lines.next(line); ++slot) {
        if (line.empty() || track.FindTexture(line) >= 0) continue;
        std::string name = upperCase(line);
        // Our own pods keep textures in ART\; other tools may use any folder.
        std::string inArt = withDefaultFolder("ART", name);
        std::unique_ptr<Texture> texture;
        if (items.find(inArt)) texture = LoadTextureItem(track, items, inArt, "terrain tex");
        if (!texture) texture = LoadTextureItem(track, items, name, "terrain tex");
        if (texture) track.terrainTextures[size_t(slot)] = std::move(texture);
    }
}

} // namespace ravok
