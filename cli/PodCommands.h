#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// pod-ls FILE.pod: the directory (index, name, size, offset) and the comment.
int runPodLs(Arguments args);
// tracks FILE.pod: the tracks a pod holds and the naming warnings.
int runTracks(Arguments args);

} // namespace ravok::cli
