#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/FixedString.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ravok;

TEST(ByteReader, ReadsLittleEndianAndStopsAtTheEnd) {
    const std::vector<uint8_t> bytes = {0x01, 0x02, 0x03, 0x04, 0xff, 0xff, 0x00, 0x00, 0x80, 0x3f, 0xaa};
    ByteReader r(bytes);
    uint32_t u = 0;
    int16_t s = 0;
    float f = 0;
    ASSERT_TRUE(r.readU32LE(u));
    EXPECT_EQ(u, 0x04030201u);
    ASSERT_TRUE(r.readI16LE(s));
    EXPECT_EQ(s, -1);
    ASSERT_TRUE(r.readF32LE(f));
    EXPECT_EQ(f, 1.0f);
    EXPECT_EQ(r.remaining(), 1u);

    // A read past the end fails, leaves the value alone, and the reader stays failed.
    u = 77;
    EXPECT_FALSE(r.readU32LE(u));
    EXPECT_EQ(u, 77u);
    uint8_t b = 0;
    EXPECT_FALSE(r.readU8(b));
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReader, SizesFromFilesAreChecked) {
    const std::vector<uint8_t> bytes(10, 7);
    ByteReader r(bytes);
    EXPECT_FALSE(r.has(SIZE_MAX)); // no overflow in the check
    EXPECT_TRUE(r.take(SIZE_MAX).empty());
    EXPECT_FALSE(r.ok());

    ByteReader s(bytes);
    EXPECT_TRUE(s.seek(10));
    EXPECT_FALSE(s.seek(11));
    const std::vector<uint8_t> bigEndian = {0x00, 0x00, 0x01, 0x02};
    ByteReader be(bigEndian);
    uint32_t v;
    ASSERT_TRUE(be.readU32BE(v));
    EXPECT_EQ(v, 0x0102u);
}

TEST(ByteWriter, WritesWhatTheReaderReads) {
    ByteWriter w;
    w.u32LE(0xdeadbeef);
    w.i16LE(-2);
    w.f32LE(2.5f);
    w.fixedText("ABCDEFGH", 4);
    w.fixedText("AB", 4);
    w.patchU32LE(0, 5);
    w.patchU32LE(100, 5); // past the end: ignored
    const auto& bytes = w.bytes();
    ASSERT_EQ(bytes.size(), 4u + 2 + 4 + 8);
    EXPECT_EQ(bytes[4], 0xfe);
    EXPECT_EQ(std::string(bytes.begin() + 10, bytes.begin() + 14), "ABCD");
    EXPECT_EQ(bytes[12 + 4], 0);
    ByteReader r(bytes);
    uint32_t u;
    int16_t s;
    float f;
    ASSERT_TRUE(r.readU32LE(u) && r.readI16LE(s) && r.readF32LE(f));
    EXPECT_EQ(u, 5u);
    EXPECT_EQ(s, -2);
    EXPECT_EQ(f, 2.5f);
}

TEST(FixedString, CutsToCapacityAndClearsTheRest) {
    FixedString<8> s;
    s.set("ABCDEFGHIJ");
    EXPECT_EQ(s.view(), "ABCDEFG");
    s.set("XY");
    EXPECT_EQ(s.view(), "XY");
    EXPECT_EQ(s.raw()[2], 0);
    EXPECT_EQ(s.raw()[6], 0); // no remains of the longer text
    s.set("ABCDEF", 3);
    EXPECT_EQ(s.view(), "ABC");
    s.set(std::string_view("A\0B", 3));
    EXPECT_EQ(s.view(), "A");
}
