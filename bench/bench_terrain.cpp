// The terrain operations a person waits for: one brush application with the
// refresh of the 64-square terrain mesh around it (the interactive path of
// every click), one random terrain generation (each slider move of the
// Generate Terrain dialog's preview), one lighting of the whole map.
#include "BenchScene.h"
#include "edit/RandomTerrain.h"
#include "edit/TerrainLighting.h"
#include "edit/TerrainTools.h"
#include "edit/TerrainUndo.h"
#include "model/TrackPod.h"
#include "render/TrackMeshes.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> hillyTrack() {
    auto track = std::make_unique<CTrackPOD>();
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            track->terrain.heights[size_t(y * kGridSize + x)] = bench::sceneHeight(x, y);
            track->terrain.textures[size_t(y * kGridSize + x)] = bench::sceneCellTexture(x, y);
        }
    return track;
}

// The largest brush of a tool: 25 x 25 at 45 degrees (35 x 35 squares),
// curved, then the mesh of the view's 64-square window rebuilt.
void BrushWithMeshRefresh(benchmark::State& state) {
    auto track = hillyTrack();
    TerrainToolParams params;
    params.tool = TerrainTool(state.range(0));
    params.width = params.height = 25;
    params.orientation = 1;
    params.altitude = 1; // small, so repeated applications do not flatten the map at a clamp
    params.curvature = 5;
    TextureDatabase textures;
    textures.fill(*track);
    ViewCamera camera;
    const TerrainWindow window = TerrainWindowOf(camera);
    Mesh mesh;
    TerrainUndo undo;
    for (auto _ : state) {
        const TerrainBrush brush = BuildTerrainBrush(params);
        ApplyTerrainTool(*track, params, brush, {camera.originX(), camera.originY()}, undo);
        BuildTerrainMesh(mesh, *track, window, textures.terrain);
        benchmark::DoNotOptimize(mesh.triangleCount());
    }
}

void GenerateTerrain(benchmark::State& state) {
    RandomTerrainParams params;
    params.generator = TerrainGenerator(state.range(0));
    params.smoothness = int(state.range(1));
    params.second = 200;
    params.third = 150;
    RandomTerrainWork work; // kept, as the dialog keeps it between previews
    std::vector<uint8_t> map(65536);
    for (auto _ : state) {
        params.seed = (params.seed + 1) & 255;
        GenerateRandomTerrain(params, std::span<uint8_t, 65536>(map.data(), 65536), &work);
        benchmark::DoNotOptimize(map.data());
    }
}

// Every pass: base, altitude bias, terrain shadows and 200 objects' shadows.
void LightWholeMap(benchmark::State& state) {
    auto track = hillyTrack();
    Model model;
    model.setVertices({{-8192, -8192, 0}, {8192, 8192, 16384}});
    for (int i = 0; i < 200; ++i) {
        auto object = std::make_unique<TrackObject>();
        object->x = (i * 97 % 256) * 64;
        object->y = (i * 31 % 256) * 64;
        object->type = kObjectTree;
        object->model = &model;
        track->objects[size_t(i)] = std::move(object);
    }
    LightingParams params{60, 237, int(state.range(0)), 30, 50};
    for (auto _ : state) {
        ComputeTerrainLighting(*track, params);
        benchmark::DoNotOptimize(track->terrain.cells.data());
    }
}

} // namespace

BENCHMARK(BrushWithMeshRefresh)
    ->ArgName("tool")
    ->Arg(int(TerrainTool::Raise))
    ->Arg(int(TerrainTool::Hill))
    ->Arg(int(TerrainTool::Bumps))
    ->Arg(int(TerrainTool::Smooth))
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(GenerateTerrain)
    ->ArgNames({"fractal", "smoothness"})
    ->Args({0, 0})
    ->Args({0, 100})
    ->Args({1, 0})
    ->Args({1, 100})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(LightWholeMap)->ArgName("sun")->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
