#pragma once

#include "cli/CliOptions.h"

namespace ravok::cli {

// pod-ls FILE.pod: the directory (index, name, size, offset) and the comment.
int runPodLs(Arguments args);
// tracks FILE.pod: the tracks a pod holds and the naming warnings.
int runTracks(Arguments args);

// check FILE.rvk: the completeness report; exit 0 when complete, 1 when not.
int runCheck(Arguments args);
// pod FILE.rvk -o OUT.pod: the track pod.
int runPod(Arguments args);

// view FILE.pod [--track N] [--json]: one track of a pod, view-only.
int runView(Arguments args);
// extract FILE.pod --art DIR --models DIR [--yes]: the pod's art and models.
int runExtract(Arguments args);
// clone GAME/WORLD/NAME.SIT -o OUT.rvk: a new editable track from a game folder.
int runClone(Arguments args);

// render FILE.rvk -o OUT.png: a picture of the track.
int runRender(Arguments args);

} // namespace ravok::cli
