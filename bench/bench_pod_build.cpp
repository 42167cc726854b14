// Building the pod of a large track: 1,024 terrain textures of 256 x 256
// with their .RAW/.ACT in the art folder, 200 models and 100 sounds. The
// floor beside it: a plain copy of the same number of bytes, in 1 MiB blocks
// and flushed to disk like the pod. Peak memory is reported as the growth of
// the process's high-water mark over the first build.
#include "model/NewTrack.h"
#include "model/TrackPod.h"
#include "pod/TrackPodBuild.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

struct LargeTrack {
    fs::path folder = fs::temp_directory_path() / ("ravok-bench-pod-" + std::to_string(getpid()));
    fs::path art = folder / "art";
    std::unique_ptr<CTrackPOD> track = std::make_unique<CTrackPOD>();

    LargeTrack() {
        fs::create_directories(art);
        NewMtm2Track(*track);
        track->SetTrackName("Bench Track");
        std::vector<uint8_t> pixels(256 * 256), palette(768);
        char name[32];
        for (int i = 0; i < kMaxTerrainTextures; ++i) {
            for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = uint8_t(p * 7 + size_t(i));
            std::snprintf(name, sizeof name, "TEX%04d", i);
            write(art / (std::string(name) + ".RAW"), pixels);
            write(art / (std::string(name) + ".ACT"), palette);
            auto texture = std::make_unique<Texture>();
            texture->setPicture("ART\\" + std::string(name) + ".RAW", 256, 256, pixels.data());
            track->terrainTextures[size_t(i)] = std::move(texture);
        }
        std::vector<uint8_t> bin(20 + 12 * 2000 + 4, 0);
        bin[0] = 20;
        bin[16] = 0xD0, bin[17] = 0x07; // 2000 vertices
        for (int i = 0; i < 200; ++i) {
            auto model = std::make_unique<Model>();
            std::snprintf(name, sizeof name, "MODELS\\M%03d.BIN", i);
            model->read(name, bin);
            track->models[size_t(i)] = std::move(model);
        }
        for (int i = 0; i < 100; ++i) {
            auto sound = std::make_unique<TrackSound>();
            std::snprintf(name, sizeof name, "SOUND\\S%03d.WAV", i);
            sound->name.set(name);
            sound->kind = uint32_t(i & 1);
            sound->data.assign(100 * 1024, uint8_t(i));
            track->sounds[size_t(i)] = std::move(sound);
        }
    }
    ~LargeTrack() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    static void write(const fs::path& path, const std::vector<uint8_t>& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
};

LargeTrack& large() {
    static LargeTrack track;
    return track;
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_BuildTrackPod(benchmark::State& state) {
    LargeTrack& t = large();
    const fs::path pod = t.folder / "bench.pod";
    const long before = peakKilobytes();
    for (auto _ : state) {
        PodBuildResult result = BuildTrackPod(*t.track, pod, t.art, nullptr);
        if (!result.ok) state.SkipWithError("the build failed");
    }
    state.counters["podMiB"] = double(fs::file_size(pod)) / (1024.0 * 1024.0);
    state.counters["peakGrowthMiB"] = double(peakKilobytes() - before) / 1024.0;
}
BENCHMARK(BM_BuildTrackPod)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

// The same number of bytes copied from one file to another.
void BM_PlainCopyFloor(benchmark::State& state) {
    LargeTrack& t = large();
    const fs::path pod = t.folder / "bench.pod", source = t.folder / "source.bin", target = t.folder / "copy.bin";
    if (!fs::exists(pod)) BuildTrackPod(*t.track, pod, t.art, nullptr);
    if (!fs::exists(source)) fs::copy_file(pod, source);
    std::vector<uint8_t> buffer(1024 * 1024);
    for (auto _ : state) {
        FILE* in = std::fopen(source.c_str(), "rb");
        FILE* out = std::fopen(target.c_str(), "wb");
        for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) std::fwrite(buffer.data(), 1, n, out);
        std::fflush(out);
        fsync(fileno(out));
        std::fclose(out);
        std::fclose(in);
    }
}
BENCHMARK(BM_PlainCopyFloor)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

} // namespace
