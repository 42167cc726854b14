#include "trackart/TrackPaletteOptimiser.h"

#include "art/HdTextures.h"
#include "art/NameLookup.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "model/TrackPod.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace fs = std::filesystem;

namespace ravok {

// The default colours Windows reserves in a 256-colour palette.
const std::array<RgbColour, 20> kSystemPaletteColours = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
}};

namespace {

constexpr int kPrimaryCount = 28;
constexpr int kFirstPrimaryEntry = 10;
constexpr int kLastFreeEntry = 245;
constexpr int kPrimaryWeight = 10;
constexpr int kBrightSum = 64; // sum of the three 5-bit values above which a colour counts double

std::array<RgbColour, kPrimaryCount> primaryColours() {
    std::array<RgbColour, kPrimaryCount> p{};
    size_t i = 0;
    for (int level : {63, 127, 191, 255}) {
        const uint8_t l = uint8_t(level);
        for (RgbColour c : {RgbColour{l, 0, 0}, RgbColour{0, l, 0}, RgbColour{0, 0, l}, RgbColour{l, l, 0},
                            RgbColour{0, l, l}, RgbColour{l, 0, l}, RgbColour{l, l, l}})
            p[i++] = c;
    }
    return p;
}

// A texture's pixels with its own palette, read for the histogram.
struct TexturePicture {
    int side = 0;
    std::vector<uint8_t> pixels;
    PaletteColours palette{};
};

std::optional<TexturePicture> readFromArt(const fs::path& artFolder, std::string_view name) {
    auto path = resolveInFolder(artFolder.empty() ? fs::path(".") : artFolder, storedLookupKey(name));
    if (!path) return std::nullopt;
    auto bytes = readWholeFile(*path, 1024 * 1024 + 1);
    const int side = bytes ? SideFromFileSize(bytes->size()) : 0;
    if (side == 0) return std::nullopt;
    TexturePicture t{side, std::move(*bytes), DefaultPalette()};
    if (auto act = readWholeFile(ActPathBeside(*path), 4096)) t.palette = paletteFromRgbBytes(*act);
    return t;
}

std::optional<TexturePicture> readFromHook(const CTrackPOD& track, std::string_view name, int kind) {
    if (!track.hdSourceCallback) return std::nullopt;
    TexturePicture t;
    t.pixels.assign(kHdSourcePixelBytes, 0);
    std::array<uint8_t, 768> palette{};
    const int side = track.hdSourceCallback(name, kind, t.pixels, palette);
    if (side <= 0 || size_t(side) * size_t(side) > t.pixels.size()) return std::nullopt;
    t.side = side;
    t.pixels.resize(size_t(side) * size_t(side));
    t.palette = paletteFromRgbBytes(palette);
    return t;
}

void addTexture(std::vector<uint64_t>& histogram, const TexturePicture& t, uint64_t weight) {
    std::array<uint64_t, 256> perIndex{};
    for (uint8_t p : t.pixels) ++perIndex[p];
    for (size_t i = 0; i < 256; ++i) {
        if (perIndex[i] == 0) continue;
        const RgbColour& c = t.palette[i];
        const bool bright = (c.r >> 3) + (c.g >> 3) + (c.b >> 3) > kBrightSum;
        histogram[size_t(HistogramCell(c))] += perIndex[i] * weight * (bright ? 2 : 1);
    }
}

void countObjectModel(const CTrackPOD& track, const Model* model, std::set<int>& slots) {
    if (!model) return;
    for (const std::string& name : ModelTextureNames(*model))
        if (const int slot = track.FindModelTexture(name); slot >= 0) slots.insert(slot);
}

const Model* modelNamed(const CTrackPOD& track, const Model* linked, const FixedString<32>& name) {
    if (linked || name.empty()) return linked;
    const int slot = track.FindModel(name.view());
    return slot >= 0 ? track.models[size_t(slot)].get() : nullptr;
}

// ---- reduction ---------------------------------------------------------------

struct WeightedCell {
    int cell = 0;
    uint64_t weight = 0;
    std::array<int, 3> rgb5{};
};

int distance(const WeightedCell& a, const WeightedCell& b) {
    int d = 0;
    for (size_t k = 0; k < 3; ++k) d += (a.rgb5[k] - b.rgb5[k]) * (a.rgb5[k] - b.rgb5[k]);
    return d;
}

size_t targetFor(size_t n) {
    for (size_t t : {8192u, 4096u, 2048u, 1024u, 512u})
        if (n > t) return t;
    return kOptimisedColours;
}

// Keeps `keep` weak cells in list order and merges every further weak cell
// into the nearest strong cell (on equal distance the later one). Without a
// strong cell the kept weak cells take them instead.
void mergeWeak(std::vector<WeightedCell>& cells, uint64_t threshold, size_t keep) {
    std::vector<size_t> targets, merged;
    std::vector<size_t> keptWeak;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].weight >= threshold)
            targets.push_back(i);
        else if (keptWeak.size() < keep)
            keptWeak.push_back(i);
        else
            merged.push_back(i);
    }
    if (targets.empty()) targets = keptWeak;
    for (size_t i : merged) {
        size_t best = targets.front();
        int bestDistance = distance(cells[i], cells[best]);
        for (size_t j : targets)
            if (const int d = distance(cells[i], cells[j]); d <= bestDistance) {
                bestDistance = d;
                best = j;
            }
        cells[best].weight += cells[i].weight;
        cells[i].weight = 0;
    }
    std::erase_if(cells, [](const WeightedCell& c) { return c.weight == 0; });
}

void reduceCells(std::vector<WeightedCell>& cells) {
    uint64_t threshold = 1;
    while (cells.size() > size_t(kOptimisedColours)) {
        const size_t target = targetFor(cells.size());
        const size_t strong = size_t(std::count_if(cells.begin(), cells.end(),
                                                   [&](const WeightedCell& c) { return c.weight >= threshold; }));
        if (strong > target) {
            threshold = target <= 512 ? threshold + 1 : threshold * 2;
            continue;
        }
        mergeWeak(cells, threshold, size_t(kOptimisedColours) - std::min(strong, size_t(kOptimisedColours)));
    }
}

} // namespace

int HistogramCell(const RgbColour& c) { return (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3); }

RgbColour HistogramCellColour(int cell) {
    return {uint8_t(((cell >> 10) & 31) * 8 + 7), uint8_t(((cell >> 5) & 31) * 8 + 7), uint8_t((cell & 31) * 8 + 7)};
}

int TerrainTextureWeight(int usage, int width) {
    return int(std::sqrt(double(std::min(std::max(usage, 0), 64) + 1))) + (width == 64 ? 10 : 1);
}

int ModelTextureWeight(int usage, int width) { return std::clamp(usage, 0, 10) + (width == 64 ? 10 : 1); }

TextureUsage CountTextureUsage(const CTrackPOD& track) {
    TextureUsage usage;
    auto countTerrain = [&](uint32_t slot) {
        if (slot < usage.terrain.size()) ++usage.terrain[slot];
    };
    for (uint16_t cell : track.terrain.textures) countTerrain(cell & kTextureSlotMask);
    for (const auto& box : track.groundBoxes)
        if (box)
            for (uint16_t face : box->faces) countTerrain(face & kTextureSlotMask);
    for (const auto& anim : track.animations.animations())
        for (uint32_t f = 0; f < anim.frameCount && f < kMaxAnimationFrames; ++f) countTerrain(anim.frames[f]);
    for (const auto& object : track.objects) {
        if (!object) continue;
        std::set<int> slots;
        countObjectModel(track, modelNamed(track, object->model, object->modelName), slots);
        countObjectModel(track, modelNamed(track, object->cabModel, object->cabModelName), slots);
        for (int slot : slots) ++usage.model[size_t(slot)];
    }
    return usage;
}

std::optional<std::vector<uint64_t>> BuildPaletteHistogram(const CTrackPOD& track, const fs::path& artFolder,
                                                           int* texturesRead, ProgressSink* progress) {
    const TextureUsage usage = CountTextureUsage(track);
    std::vector<uint64_t> histogram(kHistogramCells, 0);
    if (progress) progress->setRange(filledSlots(track.terrainTextures) + filledSlots(track.modelTextures));
    int done = 0, read = 0;
    auto addSlot = [&](const Texture& texture, int kind, int slotUsage) {
        const std::string_view name = texture.name().view();
        auto picture = readFromArt(artFolder, name);
        if (!picture) picture = readFromHook(track, name, kind);
        if (picture) {
            const int w = kind == kHdTerrainKind ? TerrainTextureWeight(slotUsage, picture->side)
                                                 : ModelTextureWeight(slotUsage, picture->side);
            addTexture(histogram, *picture, uint64_t(w));
            ++read;
        }
        if (progress && ++done % 8 == 0) progress->setPosition(done);
        return !(progress && progress->cancelled());
    };
    for (size_t i = 0; i < track.terrainTextures.size(); ++i)
        if (track.terrainTextures[i] && !addSlot(*track.terrainTextures[i], kHdTerrainKind, usage.terrain[i]))
            return std::nullopt;
    for (size_t i = 0; i < track.modelTextures.size(); ++i)
        if (track.modelTextures[i] && !addSlot(*track.modelTextures[i], kHdModelKind, usage.model[i]))
            return std::nullopt;
    if (texturesRead) *texturesRead = read;
    return histogram;
}

PaletteColours PaletteFromHistogram(std::vector<uint64_t> histogram) {
    histogram.resize(kHistogramCells, 0);
    const auto primaries = primaryColours();
    for (const RgbColour& c : primaries) histogram[size_t(HistogramCell(c))] += kPrimaryWeight;
    std::vector<WeightedCell> cells;
    for (int cell = 1; cell < kHistogramCells; ++cell) // cell 0, black, never takes an entry of its own
        if (const uint64_t w = histogram[size_t(cell)]; w > 0)
            cells.push_back({cell, uint64_t(std::sqrt(double(w))) + 1, {cell >> 10 & 31, cell >> 5 & 31, cell & 31}});
    reduceCells(cells);

    PaletteColours out{};
    for (size_t i = 0; i < 10; ++i) {
        out[i] = kSystemPaletteColours[i];
        out[246 + i] = kSystemPaletteColours[10 + i];
    }
    std::set<int> primaryCells;
    for (size_t i = 0; i < primaries.size(); ++i) {
        out[kFirstPrimaryEntry + i] = primaries[i];
        primaryCells.insert(HistogramCell(primaries[i]));
    }
    int entry = kFirstPrimaryEntry + kPrimaryCount;
    for (const WeightedCell& c : cells)
        if (!primaryCells.count(c.cell) && entry <= kLastFreeEntry) out[size_t(entry++)] = HistogramCellColour(c.cell);
    return out;
}

std::optional<PaletteColours> OptimisedPalette(const CTrackPOD& track, const fs::path& artFolder,
                                               ProgressSink* progress) {
    int read = 0;
    auto histogram = BuildPaletteHistogram(track, artFolder, &read, progress);
    if (!histogram || read == 0) return std::nullopt;
    return PaletteFromHistogram(std::move(*histogram));
}

} // namespace ravok
