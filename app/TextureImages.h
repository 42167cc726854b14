#pragma once

#include <QImage>

// Pictures of the core's textures and thumbnails for the texture boxes and
// dialogs: 8-bit pixels drawn through their palette.
namespace ravok {
class Texture;
class TrackPalette;
struct Thumbnail;

// A texture's pixels through the track palette, sampled to `side` x `side`
// (a texture without pixels gives a null picture).
QImage ImageOfTexture(const Texture& texture, const TrackPalette& palette, int side);
// A thumbnail through its own palette.
QImage ImageOfThumbnail(const Thumbnail& thumbnail);
} // namespace ravok
