#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// palette FILE.rvk --optimise -o OUT.act|OUT.pal: the optimised palette of
// the track's textures, saved as an .ACT or a RIFF palette.
int runPalette(Arguments args);
// cut IN.png --tile N --base NAME --art DIR: a picture cut into tiles in the
// art folder, without a track.
int runCut(Arguments args);

} // namespace ravok::cli
