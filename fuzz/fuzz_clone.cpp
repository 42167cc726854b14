// Feeds a situation file and the level and data files it leads to, laid out
// loose in a game folder, to Clone; then writes the situation text of what
// was cloned.
#include "ItemFraming.h"
#include "base/FileIO.h"
#include "base/PortableFile.h"
#include "model/TrackPod.h"
#include "pod/CloneTrack.h"
#include "pod/SituationFile.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

// The game folder's files, after the situation file, in input order.
constexpr std::string_view kFiles[] = {
    "LEVELS/F.LVL", "DATA/F.RAW", "DATA/F.RA0", "DATA/F.RA1", "DATA/F.CL0",
    "DATA/F.CLR",   "DATA/F.TEX", "DATA/F.TTY", "DATA/F.LTE",
};

void writeFile(const fs::path& path, std::span<const uint8_t> bytes) {
    if (FILE* f = ravok::openFile(path, "wb")) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One game folder per process, removed when the process ends.
    static const struct Game {
        fs::path folder = fs::temp_directory_path() / ("ravok-fuzz-clone-" + std::to_string(ravok::processId()));
        Game() {
            for (const char* sub : {"WORLD", "LEVELS", "DATA"}) fs::create_directories(folder / sub);
        }
        ~Game() {
            std::error_code ec;
            fs::remove_all(folder, ec);
        }
    } game;
    std::error_code ec;
    for (std::string_view name : kFiles) fs::remove(game.folder / name, ec);

    const fs::path situation = game.folder / "WORLD" / "F.SIT";
    writeFile(situation, fuzz::takeFramed(data, size, 2));
    for (std::string_view name : kFiles) {
        if (size == 0) break;
        writeFile(game.folder / name, fuzz::takeFramed(data, size, 3));
    }
    invalidateFolderCache();

    static auto track = std::make_unique<CTrackPOD>();
    std::string message;
    if (CloneFromGameFolder(*track, situation, message)) {
        SituationProblemText(*track);
        SituationFileText(*track);
        CloneCylinderWarning(*track);
    }
    return 0;
}
