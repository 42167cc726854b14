#include "art/Model.h"

#include "base/ByteWriter.h"
#include "TestSupport.h"

#include <chrono>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

using namespace ravok;

namespace {

// A geometry file: header, vertices, then the records the test appends.
struct BinBuilder {
    ByteWriter w;
    explicit BinBuilder(std::vector<std::array<int32_t, 3>> vertices, int32_t type = 20, int32_t count = -1) {
        w.i32LE(type);
        w.zeros(12);
        w.i32LE(count >= 0 ? count : int32_t(vertices.size()));
        for (auto& v : vertices)
            for (int32_t c : v) w.i32LE(c);
    }
    BinBuilder& texture(const char* name) {
        w.i32LE(13);
        w.zeros(4);
        w.fixedText(name, 16);
        return *this;
    }
    BinBuilder& facet(int32_t n, int32_t op = 14) {
        w.i32LE(op);
        w.i32LE(n);
        w.zeros(16);
        for (int32_t k = 0; k < n; ++k) {
            w.i32LE(k);
            w.i32LE((k * 10) << 16);
            w.i32LE((k * 20 + 1) << 16 | 0x8000);
        }
        return *this;
    }
    BinBuilder& word(int32_t v) {
        w.i32LE(v);
        return *this;
    }
    std::vector<uint8_t> bytes() const { return w.bytes(); }
};

} // namespace

TEST(BinModel, HeaderRulesAndVertexOrder) {
    Model m;
    EXPECT_FALSE(m.read("X", std::vector<uint8_t>(16, 0)));
    auto notModel = BinBuilder({}).word(0).bytes();
    notModel[0] = 21;
    EXPECT_FALSE(m.read("X", notModel));

    EXPECT_TRUE(m.read("EMPTY", BinBuilder({}).bytes())); // 20 bytes, no vertices
    EXPECT_TRUE(m.vertices().empty());
    EXPECT_TRUE(m.damaged());
    EXPECT_EQ(m.message().view(), "EMPTY: no terminator before end of file (opcode 0x0, byte 20, 0 polys read)");

    ASSERT_TRUE(m.read("V", BinBuilder({{10, 21, -7}, {0, -100, 0}}).word(0).bytes()));
    ASSERT_EQ(m.vertices().size(), 2u);
    EXPECT_EQ(m.vertices()[0], (Model::Vertex{5, -4, 10}));
    EXPECT_EQ(m.baseHeight(), -50 - 31);
    EXPECT_FALSE(m.damaged());
    EXPECT_EQ(m.fileBytes().size(), 20u + 24 + 4);

    // Counts are clamped to what the file holds.
    ASSERT_TRUE(m.read("C", BinBuilder({{1, 2, 3}}, 20, 70000).word(0).bytes()));
    EXPECT_EQ(m.vertices().size(), 1u); // 16 bytes after the header: one vertex
    ASSERT_TRUE(m.read("N", BinBuilder({}, 20, -5).word(0).bytes()));
    EXPECT_TRUE(m.vertices().empty());
}

TEST(BinModel, FacetsTexturesAndClamp) {
    Model m;
    BinBuilder b({{0, 0, 0}, {64, 0, 0}, {64, 0, 64}});
    b.texture("grass.raw").facet(3).facet(6).word(10).word(0).facet(3, 25);
    b.word(999); // unknown: ends reading but keeps the clamp message
    ASSERT_TRUE(m.read("MODELS\\T.BIN", b.bytes()));
    ASSERT_EQ(m.facets().size(), 3u);
    const ModelFacet& f = m.facets()[0];
    EXPECT_EQ(f.textureName.view(), "GRASS.RAW");
    EXPECT_EQ(f.opcode, 14);
    EXPECT_EQ(f.vertexCount, 3);
    EXPECT_EQ(f.uv[2][0], 20);
    EXPECT_EQ(f.uv[2][1], 41);
    EXPECT_EQ(m.facets()[1].vertexCount, 4);
    EXPECT_TRUE(m.facets()[2].textureName.empty()); // the colour record cleared the texture
    EXPECT_EQ(m.facets()[2].opcode, 25);
    EXPECT_TRUE(m.damaged());
    EXPECT_EQ(m.message().view(), "MODELS\\T.BIN: facet has 6 vertices, clamped to 4 (byte 140)");
    EXPECT_EQ(m.facet(3), nullptr);
    EXPECT_NE(m.vertex(2), nullptr);
    EXPECT_EQ(m.vertex(3), nullptr);
}

TEST(BinModel, DamageKeepsWhatWasRead) {
    Model m;
    BinBuilder b({{0, 0, 0}});
    b.facet(1).word(14).word(1000); // second facet claims 1000 vertices
    b.w.zeros(16);
    ASSERT_TRUE(m.read("D", b.bytes()));
    EXPECT_EQ(m.facets().size(), 1u);
    EXPECT_EQ(m.message().view(), "D: bad facet vertex count (opcode 0xE, byte 68, 1 polys read)");

    BinBuilder t({});
    t.word(13).word(0).word(0); // texture record cut short
    ASSERT_TRUE(m.read("T", t.bytes()));
    EXPECT_EQ(m.message().view(), "T: truncated texture record (opcode 0xD, byte 20, 0 polys read)");
    EXPECT_TRUE(m.facets().empty());

    BinBuilder s({});
    s.word(2).word(0).word(1000); // table-sized record: 3 + 3 x 1000 words
    ASSERT_TRUE(m.read("S", s.bytes()));
    EXPECT_EQ(m.message().view(), "S: record runs past the end of the file (opcode 0x2, byte 20, 0 polys read)");

    BinBuilder k({});
    k.word(1).word(0).word(0).word(0).word(0); // opcode 1: 4 words, skipped
    ASSERT_TRUE(m.read("K", k.bytes()));
    EXPECT_FALSE(m.damaged());
}

TEST(BinModel, AnimatedTexturesAndModelLists) {
    Model m;
    BinBuilder b({});
    b.word(29).word(0).word(3).word(0).word(0).word(0).word(0);
    b.w.fixedText("a.raw", 32);
    b.w.fixedText("b.raw", 32);
    b.w.fixedText("c.raw", 32);
    b.facet(0).word(0);
    ASSERT_TRUE(m.read("A", b.bytes()));
    EXPECT_EQ(m.animatedTextureNames(), "B.RAW;C.RAW;");
    ASSERT_EQ(m.facets().size(), 1u); // a facet of no vertices is still a facet
    EXPECT_EQ(m.facets()[0].textureName.view(), "A.RAW");

    ByteWriter list;
    list.i32LE(32);
    list.zeros(4);
    list.i32LE(2);
    list.zeros(12);
    list.fixedText("frame1.bin", 16);
    list.fixedText("frame2.bin", 16);
    list.i32LE(0);
    ASSERT_TRUE(m.read("L", list.bytes()));
    EXPECT_EQ(m.listedModels(), (std::vector<std::string>{"FRAME1.BIN", "FRAME2.BIN"}));
}

namespace {

// A big-endian LightWave object built chunk by chunk.
struct LwobBuilder {
    std::vector<uint8_t> chunks;
    static void be(std::vector<uint8_t>& out, uint32_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
    }
    LwobBuilder& chunk(const char* tag, const std::vector<uint8_t>& data) {
        chunks.insert(chunks.end(), tag, tag + 4);
        be(chunks, uint32_t(data.size()), 4);
        chunks.insert(chunks.end(), data.begin(), data.end());
        return *this;
    }
    std::vector<uint8_t> bytes(const char* formType = "LWOB") const {
        std::vector<uint8_t> out{'F', 'O', 'R', 'M'};
        be(out, uint32_t(4 + chunks.size()), 4);
        out.insert(out.end(), formType, formType + 4);
        out.insert(out.end(), chunks.begin(), chunks.end());
        return out;
    }
};

std::vector<uint8_t> points(const std::vector<std::array<float, 3>>& pts) {
    std::vector<uint8_t> out;
    for (auto& p : pts)
        for (float f : p) {
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            LwobBuilder::be(out, bits, 4);
        }
    return out;
}

void polygon(std::vector<uint8_t>& out, std::vector<uint16_t> indices, int16_t surface) {
    LwobBuilder::be(out, uint32_t(indices.size()), 2);
    for (auto i : indices) LwobBuilder::be(out, i, 2);
    LwobBuilder::be(out, uint16_t(surface), 2);
}

std::vector<uint8_t> text(std::string_view s) {
    std::vector<uint8_t> out(s.begin(), s.end());
    out.push_back(0);
    if (out.size() & 1) out.push_back(0);
    return out;
}

} // namespace

TEST(LightWaveModel, PointsPolygonsAndSurfaceColours) {
    std::vector<uint8_t> pols;
    polygon(pols, {0, 1}, 1);             // 2 vertices: dropped
    polygon(pols, {0, 1, 2}, 1);          // triangle, surface 1
    polygon(pols, {0, 1, 2, 3}, -2);      // quad, surface 2, with detail polygons
    LwobBuilder::be(pols, 1, 2);          // one detail polygon...
    LwobBuilder::be(pols, 3, 2);          // ...of 3 words, skipped
    for (int i = 0; i < 3; ++i) LwobBuilder::be(pols, 0, 2);
    polygon(pols, {0, 1, 2, 3, 0, 1}, 7); // 6 vertices keep 4; surface 7 is not listed

    auto srfs = text("Red");
    auto more = text("Blue");
    srfs.insert(srfs.end(), more.begin(), more.end());
    auto surf = text("Blue");
    surf.insert(surf.end(), {'C', 'O', 'L', 'R', 0, 4, 10, 20, 200, 0});

    LwobBuilder lw;
    lw.chunk("PNTS", points({{1.0f, 2.0f, 3.0f}, {0, 0, 0}, {0, 0, 0}, {-0.5f, 0, 0}}))
        .chunk("SRFS", srfs)
        .chunk("POLS", pols)
        .chunk("SURF", surf)
        .chunk("JUNK", {1, 2});

    Model m;
    ASSERT_TRUE(m.read("LW", lw.bytes()));
    ASSERT_EQ(m.vertices().size(), 4u);
    // x 64 x 3.281 x 2, truncated, with the file's second and third values swapped.
    EXPECT_EQ(m.vertices()[0], (Model::Vertex{419, 1259, 839}));
    EXPECT_EQ(m.vertices()[3][0], -209);

    ASSERT_EQ(m.facets().size(), 3u);
    const ModelFacet& tri = m.facets()[0];
    EXPECT_EQ(tri.opcode, 24);
    EXPECT_EQ(tri.vertexCount, 3);
    EXPECT_TRUE(tri.textureName.empty());
    EXPECT_EQ(tri.uv[1], (std::array<uint16_t, 2>{255, 0}));
    EXPECT_EQ(tri.uv[2], (std::array<uint16_t, 2>{0, 255}));
    auto colour = [](const ModelFacet& f) {
        const auto& r = f.textureName.raw();
        return std::array<int, 4>{uint8_t(r[1]), uint8_t(r[2]), uint8_t(r[3]), uint8_t(r[4])};
    };
    EXPECT_EQ(colour(tri), (std::array<int, 4>{255, 255, 255, 1})); // listed, no COLR: white
    EXPECT_EQ(colour(m.facets()[1]), (std::array<int, 4>{200, 20, 10, 2})); // blue, green, red
    EXPECT_EQ(m.facets()[1].uv[3], (std::array<uint16_t, 2>{255, 255}));
    EXPECT_EQ(m.facets()[2].vertexCount, 4);
    EXPECT_EQ(colour(m.facets()[2]), (std::array<int, 4>{0, 0, 0, 7}));

    // Points far outside any track stay within the range of a BIN vertex, so
    // the base height below them is still the lowest height minus 31.
    LwobBuilder far;
    far.chunk("PNTS", points({{1e30f, -1e30f, 0}, {-1e30f, 1e30f, 0}}));
    ASSERT_TRUE(m.read("FAR", far.bytes()));
    ASSERT_EQ(m.vertices().size(), 2u);
    EXPECT_EQ(m.vertices()[0], (Model::Vertex{1073741823, 0, -1073741824}));
    EXPECT_EQ(m.vertices()[1], (Model::Vertex{-1073741824, 0, 1073741823}));
    EXPECT_EQ(m.baseHeight(), -1073741824 - 31);

    // Another FORM type reads as a model without facets; a cut-off FORM is no model.
    ASSERT_TRUE(m.read("AIFF", lw.bytes("AIFF")));
    EXPECT_TRUE(m.facets().empty());
    EXPECT_TRUE(m.vertices().empty());
    EXPECT_FALSE(m.read("CUT", std::vector<uint8_t>{'F', 'O', 'R', 'M', 0, 0}));
}

TEST(LightWaveModel, ChunksStopAtTheBudgetAndTheFileEnd) {
    LwobBuilder lw;
    lw.chunk("PNTS", points({{1, 1, 1}, {2, 2, 2}}));
    auto bytes = lw.bytes();
    // A chunk claiming more than the file holds reads only what is there.
    bytes[16 + 7] = 0xFF;
    Model m;
    ASSERT_TRUE(m.read("BIG", bytes));
    EXPECT_EQ(m.vertices().size(), 2u);

    // A budget that ends before the second chunk leaves it unread.
    LwobBuilder two;
    two.chunk("PNTS", points({{1, 1, 1}})).chunk("PNTS", points({{1, 1, 1}, {2, 2, 2}}));
    auto b2 = two.bytes();
    b2[7] = uint8_t(4 + 8 + 12);
    ASSERT_TRUE(m.read("BUDGET", b2));
    EXPECT_EQ(m.vertices().size(), 1u);
}

TEST(ModelSource, ReadFromDiskChangedAndReloaded) {
    test::TempDir dir;
    const auto path = dir / "HUT.BIN";
    BinBuilder one({{2, 2, 2}});
    one.facet(1).word(0);
    test::writeBytes(path, one.bytes());

    Model m;
    ASSERT_TRUE(m.readFile("MODELS\\HUT.BIN", path));
    EXPECT_EQ(m.sourcePath(), path);
    EXPECT_FALSE(m.changedOnDisk());

    // A file that is no model leaves the loaded model as it was.
    test::writeBytes(path, {1, 2, 3, 4, 5, 6, 7, 8});
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
    EXPECT_TRUE(m.changedOnDisk());
    EXPECT_FALSE(m.reloadFromSource());
    EXPECT_EQ(m.facets().size(), 1u);
    EXPECT_EQ(m.fileBytes().size(), one.bytes().size());

    BinBuilder two({{2, 2, 2}});
    two.facet(1).facet(1).word(0);
    test::writeBytes(path, two.bytes());
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(10));
    ASSERT_TRUE(m.reloadFromSource());
    EXPECT_EQ(m.facets().size(), 2u);
    EXPECT_EQ(m.name().view(), "MODELS\\HUT.BIN");
    EXPECT_FALSE(m.changedOnDisk());

    // A model read from memory (a pod) has no source.
    ASSERT_TRUE(m.read("POD.BIN", two.bytes()));
    EXPECT_TRUE(m.sourcePath().empty());
    EXPECT_FALSE(m.changedOnDisk());
    std::filesystem::remove(path);
    ASSERT_TRUE(m.readFile("GONE", path) == false);
    EXPECT_FALSE(m.changedOnDisk()); // the file no longer exists
}
