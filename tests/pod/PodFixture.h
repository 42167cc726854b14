#pragma once

#include "base/ByteWriter.h"
#include "model/NewTrack.h"
#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodBuilder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ravok::test {

inline Blob blobOf(std::string_view s) { return {s.begin(), s.end()}; }

// The positions a long operation reports.
struct RecordedProgress : ProgressSink {
    std::vector<int> positions;
    int range = 0;
    void setRange(int max) override { range = max; }
    void setPosition(int pos) override { positions.push_back(pos); }
    void step() override {}
    void setText(const std::string&) override {}
    void setCaption(const std::string&) override {}
};

// A pod built from items in the given order and opened for reading.
class PodFixture {
public:
    explicit PodFixture(const std::vector<std::pair<std::string, Blob>>& items) {
        CTrackPOD writer;
        PodBuilder builder(writer, nullptr);
        builder.scratchFolder = m_dir.path();
        EXPECT_TRUE(builder.BeginPodBuild());
        for (const auto& [name, bytes] : items) EXPECT_TRUE(builder.AddPodItemFromMemory(name, bytes));
        EXPECT_TRUE(builder.FinishPod(path()));
        EXPECT_TRUE(OpenPodDirectory(track, m_pod, path()));
    }
    std::filesystem::path path() const { return m_dir / "fixture.pod"; }
    PodItemSource source() { return PodItemSource(track, m_pod); }
    PodFile& pod() { return m_pod; }

    CTrackPOD track; // holds the directory

private:
    TempDir m_dir;
    PodFile m_pod;
};

inline Blob tinyModel(const char* texture) {
    ByteWriter w;
    w.i32LE(20);
    w.zeros(12);
    w.i32LE(3);
    for (int32_t c : {0, 0, 0, 64, 0, 0, 64, 0, 64}) w.i32LE(c);
    w.i32LE(13); // texture record
    w.zeros(4);
    w.fixedText(texture, 16);
    w.i32LE(14); // a facet of three vertices
    w.i32LE(3);
    w.zeros(16);
    for (int32_t k = 0; k < 3; ++k) {
        w.i32LE(k);
        w.i32LE(0);
        w.i32LE(0);
    }
    w.i32LE(0);
    return w.bytes();
}

// A track with something in every part the pod carries.
inline void richTrack(CTrackPOD& t) {
    NewMtm2Track(t);
    t.SetTrackName("Farm Road");
    for (auto& slot : t.terrainTextures) slot.reset();
    PaletteColours colours{};
    for (int i = 0; i < 246; ++i) colours[size_t(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
    t.palette.set("ART\\FARM.ACT", colours);
    for (size_t slot = 0; slot < 3; ++slot) {
        auto texture = std::make_unique<Texture>();
        std::vector<uint8_t> pixels(64 * 64);
        for (size_t p = 0; p < pixels.size(); ++p) pixels[p] = uint8_t((p + slot * 50) % 246);
        texture->setPicture("ART\\TEX" + std::to_string(slot) + ".RAW", 64, 64, pixels.data());
        t.terrainTextures[slot] = std::move(texture);
    }
    for (size_t i = 0; i < t.terrain.heights.size(); ++i) t.terrain.heights[i] = uint8_t(i * 13);
    for (size_t i = 0; i < t.terrain.textures.size(); ++i) t.terrain.textures[i] = uint16_t(i % 3);
    auto box = std::make_unique<GroundBox>();
    box->x = 30;
    box->y = 40;
    box->faces = {1, 2, 0, 0, 0, 0};
    t.AddGroundBox(std::move(box));
    auto model = std::make_unique<Model>();
    ASSERT_TRUE(model->read("MODELS\\HUT.BIN", tinyModel("HUTWALL.RAW")));
    t.models[0] = std::move(model);
    auto wall = std::make_unique<Texture>();
    std::vector<uint8_t> wallPixels(32 * 32, 9);
    wall->setPicture("ART\\HUTWALL.RAW", 32, 32, wallPixels.data());
    t.modelTextures[0] = std::move(wall);
    for (int type : {kObjectCheckpoint, kObjectRamp, kObjectTree}) {
        auto o = std::make_unique<TrackObject>();
        o->type = type;
        o->x = 1000 + type;
        o->y = 2000;
        o->z = 120;
        if (type == kObjectTree) o->modelName.set("MODELS\\HUT.BIN");
        t.objects[size_t(lowestEmptySlot(t.objects))] = std::move(o);
    }
    t.mainCourse.insertSegment(0);
    t.mainCourse.segments[0].end = {500, 600, 70};
    t.SetMusic(blobOf("RIFFmusic"));
    t.SetInfoDescription(blobOf("information"));
    t.SetDetailNormal(blobOf("detail png"), ".PNG");
}

} // namespace ravok::test
