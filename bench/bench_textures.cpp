// Timings of the Textures box's and the Track Palette dialog's long work: the
// optimised palette over a track of 1,024 textures, and the art-folder
// worker's listing and thumbnails over a folder of 8,192 pictures.
#include "ArtFolderScene.h"

#include "art/ColourReduction.h"
#include "art/Picture.h"
#include "art/TextureFolder.h"
#include "base/FileIO.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "trackart/TrackPaletteOptimiser.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace fs = std::filesystem;
using namespace ravok;

namespace {

// 1,024 textures in an art folder, every one used by some cells.
struct PaletteScene {
    bench::ScratchFolder art{"ravok-bench-palette"};
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();
    PaletteScene() {
        NewMtm2Track(*track);
        std::mt19937 rng(7);
        for (int i = 0; i < kMaxTerrainTextures; ++i) {
            const std::string stem = "T" + std::to_string(i);
            bench::writeTexture(art.path / (stem + ".RAW"), rng);
            auto t = std::make_unique<Texture>();
            t->setPicture("ART\\" + stem + ".RAW", 64, 64, nullptr);
            track->terrainTextures[size_t(i)] = std::move(t);
        }
        for (size_t c = 0; c < track->terrain.textures.size(); ++c) track->terrain.textures[c] = uint16_t(c % 1024);
    }
};

using FolderScene = bench::ArtFolderScene;

FolderScene& folderScene() {
    static FolderScene scene{int(kMaxArtFolderNames)};
    return scene;
}

} // namespace

static void OptimisedPaletteOf1024Textures(benchmark::State& state) {
    static PaletteScene scene;
    for (auto _ : state) benchmark::DoNotOptimize(OptimisedPalette(*scene.track, scene.art.path));
}
BENCHMARK(OptimisedPaletteOf1024Textures)->Unit(benchmark::kMillisecond);

static void ListArtFolderOf8192Pictures(benchmark::State& state) {
    const FolderScene& scene = folderScene();
    for (auto _ : state) benchmark::DoNotOptimize(ListArtFolder(scene.art.path));
}
BENCHMARK(ListArtFolderOf8192Pictures)->Unit(benchmark::kMillisecond);

// The worker's whole job: the listing, then every page of 96 thumbnails.
static void ThumbnailsOf8192Pictures(benchmark::State& state) {
    const FolderScene& scene = folderScene();
    for (auto _ : state) {
        const auto names = ListArtFolder(scene.art.path);
        size_t made = 0;
        for (size_t first = 0; first < names.size(); first += kThumbnailsKept)
            made += MakeThumbnailPage(scene.art.path, names, first).size();
        benchmark::DoNotOptimize(made);
    }
}
BENCHMARK(ThumbnailsOf8192Pictures)->Unit(benchmark::kMillisecond)->Iterations(1);

// One page, what the box waits for when it shows a page not made yet.
static void ThumbnailPageOf96(benchmark::State& state) {
    const FolderScene& scene = folderScene();
    const auto names = ListArtFolder(scene.art.path);
    for (auto _ : state) benchmark::DoNotOptimize(MakeThumbnailPage(scene.art.path, names, 0));
}
BENCHMARK(ThumbnailPageOf96)->Unit(benchmark::kMillisecond);
