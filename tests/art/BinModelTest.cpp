#include "art/Model.h"

#include "base/ByteWriter.h"

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
