// Feeds arbitrary bytes as a pod to Extract: every ART\ and MODELS\ entry's
// name goes through the checks that keep it inside its folder, and whatever
// passes is written there. A file that lands outside the two folders stops
// the run.
#include "ScratchFolder.h"
#include "base/Interfaces.h"
#include "model/TrackPod.h"
#include "pod/PodArchive.h"
#include "pod/PodExtract.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

struct YesPrompter : Prompter {
    bool askYesNo(const std::string&, const std::string&, bool) override { return true; }
    void inform(const std::string&, const std::string&) override {}
    void warn(const std::string&, const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFolder scratch("pod-extract");
    const auto& root = scratch.fresh({"box/art", "box/models", "box/art/sub"});
    const fs::path pod = root / "in.pod";
    fuzz::writeFile(pod, {data, size});

    static auto track = std::make_unique<CTrackPOD>();
    track->Clear();
    {
        PodFile file;
        if (!OpenPodDirectory(*track, file, pod)) return 0;
    }
    track->podPath.set(pod.string());
    YesPrompter yes;
    ExtractPodArt(*track, root / "box" / "art", root / "box" / "models", yes);

    // Beside the two folders and around them nothing may appear.
    for (const auto& [folder, allowed] : {std::pair{root, std::vector<std::string>{"in.pod", "box"}},
                                          {root / "box", {"art", "models"}}})
        for (const auto& entry : fs::directory_iterator(folder))
            if (std::find(allowed.begin(), allowed.end(), entry.path().filename().string()) == allowed.end())
                std::abort();
    return 0;
}
