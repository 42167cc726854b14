#pragma once

#include "edit/DibImage.h"

#include <QImage>

#include <optional>

// The clipboard adapter: device-independent bitmaps of the core to and from
// Qt pictures and the system clipboard. Other programs (on Linux) offer 24-
// or 32-bit pictures; what comes back from the clipboard is presented the
// core's way (PresentAsPalettedPicture): all grey becomes an 8-bit grey
// bitmap, at most 256 colours an 8-bit bitmap of exactly those colours, and
// anything else keeps its depth for the core's rules to judge.
namespace ravok {

// The bitmap as a picture: 1-, 4- and 8-bit bitmaps become indexed pictures
// with their colour table, 24- and 32-bit ones RGB32. A null picture for a
// compressed bitmap, another depth, or one whose bits are not all there.
QImage ImageOfDib(const DibImage& dib);

// The picture as a bottom-up bitmap of its own depth: indexed and grey
// pictures 8 bits with their colours, 24-bit pictures 24 bits, every other
// one 32 bits (blue, green, red, alpha).
DibImage DibOfImage(const QImage& image);

// Puts the bitmap on the system clipboard as a picture.
void SetClipboardDib(const DibImage& dib);
// Whether the clipboard holds a picture (the terrain menu enables
// "Paste Terrain Bitmap" only then).
bool ClipboardHasBitmap();
// The clipboard's picture as the core should see it; nullopt when the
// clipboard holds none (Paste Terrain Bitmap then does nothing).
std::optional<DibImage> ClipboardDib();

} // namespace ravok
