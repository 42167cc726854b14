#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// terrain FILE.rvk -o OUT.rvk: random terrain, a greyscale bitmap in or out,
// and the height adjustment, in that order.
int runTerrain(Arguments args);
// light FILE.rvk -o OUT.rvk: the light map recomputed.
int runLight(Arguments args);

} // namespace ravok::cli
