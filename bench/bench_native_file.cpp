// Saving and loading a track whose tables are full: 4096 objects, 2048 ground
// boxes, 512 sounds of 64 KiB and 1024 texture names.
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackPod.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

using namespace ravok;

namespace {

std::unique_ptr<CTrackPOD> fullTrack() {
    auto track = std::make_unique<CTrackPOD>();
    NewMtm2Track(*track);
    char name[32];
    for (int i = track->counts().terrainTextures; i < kMaxTerrainTextures; ++i) {
        auto t = std::make_unique<Texture>();
        std::snprintf(name, sizeof name, "ART\\TEX%04d.RAW", i);
        t->setName(name);
        track->AddTerrainTexture(std::move(t));
    }
    for (int i = 0; i < kMaxSounds; ++i) {
        auto s = std::make_unique<TrackSound>();
        std::snprintf(name, sizeof name, "SOUND\\SOUND%03d.WAV", i);
        s->name.set(name); // objects name it without the folder
        s->data.assign(64 * 1024, uint8_t(i));
        track->AddSound(std::move(s));
    }
    for (int i = track->counts().objects; i < kMaxObjects; ++i) {
        auto o = std::make_unique<TrackObject>();
        o->x = 1000 + i * 3;
        o->y = 2000 + i * 5;
        o->modelName.set("MODELS\\HUT.BIN");
        std::snprintf(name, sizeof name, "SOUND%03d.WAV", i % kMaxSounds);
        o->continuousSound.set(name);
        track->AddObject(std::move(o));
    }
    for (int i = track->counts().groundBoxes; i < kMaxGroundBoxes; ++i) {
        auto b = std::make_unique<GroundBox>();
        b->x = i % 256;
        b->y = i / 256;
        b->updateDerived();
        track->AddGroundBox(std::move(b));
    }
    return track;
}

void SaveFullTrack(benchmark::State& state) {
    auto track = fullTrack();
    size_t bytes = 0;
    for (auto _ : state) bytes = SaveBinaryToMemory(*track).size();
    state.counters["file_MiB"] = double(bytes) / (1024.0 * 1024.0);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(SaveFullTrack)->Unit(benchmark::kMillisecond);

void SaveFullTrackToDisk(benchmark::State& state) {
    auto track = fullTrack();
    const auto path = std::filesystem::temp_directory_path() / "ravok_bench_full.rvk";
    for (auto _ : state) benchmark::DoNotOptimize(SaveBinary(*track, path));
    std::filesystem::remove(path);
}
BENCHMARK(SaveFullTrackToDisk)->Unit(benchmark::kMillisecond);

void LoadFullTrack(benchmark::State& state) {
    auto bytes = SaveBinaryToMemory(*fullTrack());
    auto track = std::make_unique<CTrackPOD>();
    for (auto _ : state) benchmark::DoNotOptimize(LoadBinaryFromMemory(*track, bytes));
    state.counters["objects"] = track->counts().objects;
    state.counters["sounds"] = track->counts().sounds;
    state.counters["textures"] = track->counts().terrainTextures;
    state.counters["boxes"] = track->counts().groundBoxes;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(LoadFullTrack)->Unit(benchmark::kMillisecond);

} // namespace
