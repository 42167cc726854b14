#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// components FILE.rvk [-o OUT.rvk] [options] [--show]: the Track Components
// dialog from a script: names, race settings, pictures, music, info pop-up,
// terrain maps, backdrop and arena, with the dialog's rules and messages.
int runComponents(Arguments args);

} // namespace ravok::cli
