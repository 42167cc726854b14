// The legacy texture build from a 1024 x 1024 photo-like PNG (decode,
// resample, quantise, map onto the track palette), and as the peer
// ImageMagick's 256-colour reduction of the same picture without dithering.
// Counters give the mean squared error of each result against its source.
#include "art/ColourReduction.h"
#include "art/HdTextures.h"
#include "art/Palette.h"
#include "art/Picture.h"
#include "base/FileIO.h"
#include "model/NewTrack.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

using namespace ravok;
namespace fs = std::filesystem;

namespace {

const fs::path& photo() {
    static const fs::path path = [] {
        fs::path p = fs::temp_directory_path() / "ravok-bench-photo-1024.png";
        if (!fs::exists(p)) {
            const std::string command = "convert -seed 7 -size 1024x1024 plasma:fractal -blur 0x2 '" + p.string() +
                                        "' 2>/dev/null";
            if (std::system(command.c_str()) != 0) return fs::path();
        }
        return p;
    }();
    return path;
}

double meanSquaredError(const RgbPicture& a, const RgbPicture& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return -1;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = double(a.rgb[i]) - double(b.rgb[i]);
        sum += d * d;
    }
    return sum / double(a.rgb.size());
}

RgbPicture expand(const std::vector<uint8_t>& indices, const std::array<uint8_t, 768>& palette, int w, int h) {
    RgbPicture out{w, h, std::vector<uint8_t>(size_t(w) * h * 3)};
    for (size_t i = 0; i < indices.size(); ++i)
        for (int c = 0; c < 3; ++c) out.rgb[i * 3 + c] = palette[size_t(indices[i]) * 3 + c];
    return out;
}

void LegacyTextureFrom1024Png(benchmark::State& state) {
    auto bytes = readWholeFile(photo());
    if (!bytes) return state.SkipWithError("ImageMagick could not make the test picture");
    TrackPalette track;
    track.setColours(*GamePaletteColours(0));
    std::string message;
    for (auto _ : state) {
        auto legacy = LegacyTextureFromPicture(*bytes, "PHOTO.PNG", true, message);
        if (!legacy) return state.SkipWithError(message.c_str());
        RemapToTrackPalette(track, legacy->indices, paletteFromRgbBytes(legacy->palette));
        benchmark::DoNotOptimize(legacy->indices.data());
    }
    // Quality on the same basis as the peer: the whole picture in 256 colours.
    auto source = DecodePicture(*bytes, "PHOTO.PNG", true, message);
    auto quantised = QuantisePicture(*source);
    state.counters["mse_1024"] = meanSquaredError(*source, expand(quantised->indices, quantised->palette, 1024, 1024));
    auto legacy = LegacyTextureFromPicture(*bytes, "PHOTO.PNG", false, message);
    state.counters["mse_legacy256"] =
        meanSquaredError(ResamplePicture(*source, 256, 256), expand(legacy->indices, legacy->palette, 256, 256));
}
BENCHMARK(LegacyTextureFrom1024Png)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void PeerImageMagickColours256(benchmark::State& state) {
    if (photo().empty()) return state.SkipWithError("ImageMagick could not make the test picture");
    const fs::path out = fs::temp_directory_path() / "ravok-bench-photo-im256.png";
    const std::string command =
        "convert '" + photo().string() + "' -colors 256 +dither '" + out.string() + "' 2>/dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) return state.SkipWithError("convert failed");
    std::string message;
    auto source = DecodePictureFile(photo(), true, message);
    auto peer = DecodePictureFile(out, true, message);
    if (source && peer) state.counters["mse_1024"] = meanSquaredError(*source, *peer);
    fs::remove(out);
}
BENCHMARK(PeerImageMagickColours256)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
