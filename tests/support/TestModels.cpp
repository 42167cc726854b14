#include "TestModels.h"

#include "base/ByteWriter.h"

#include <array>
#include <cstring>

namespace ravok::test {

std::vector<uint8_t> binModel(const std::vector<std::string>& facetTextures, int32_t lowestHeight) {
    ByteWriter w;
    w.i32LE(20);
    w.zeros(12);
    w.i32LE(2);
    for (int32_t v : {8192, 2 * lowestHeight, 4096, 100, 0, 100}) w.i32LE(v);
    for (const auto& t : facetTextures) {
        w.i32LE(13);
        w.zeros(4);
        w.fixedText(t, 16);
        w.i32LE(14);
        w.i32LE(1);
        w.zeros(16);
        w.zeros(12);
    }
    w.i32LE(0);
    return w.release();
}

namespace {

void bigEndian(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
}

void chunk(std::vector<uint8_t>& out, const char* tag, const std::vector<uint8_t>& data) {
    out.insert(out.end(), tag, tag + 4);
    bigEndian(out, uint32_t(data.size()), 4);
    out.insert(out.end(), data.begin(), data.end());
}

} // namespace

std::vector<uint8_t> lightWaveCube(float half, uint8_t red, uint8_t green, uint8_t blue) {
    std::vector<uint8_t> points, polygons, chunks;
    for (int i = 0; i < 8; ++i)
        for (float f : {i & 1 ? half : -half, i & 2 ? half : -half, i & 4 ? half : -half}) {
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            bigEndian(points, bits, 4);
        }
    constexpr std::array<std::array<uint16_t, 4>, 6> kFaces{
        {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}}};
    for (const auto& face : kFaces) {
        bigEndian(polygons, 4, 2);
        for (uint16_t v : face) bigEndian(polygons, v, 2);
        bigEndian(polygons, 1, 2); // surface 1
    }
    const std::vector<uint8_t> name{'S', 'K', 'Y', 0};
    std::vector<uint8_t> surface = name;
    surface.insert(surface.end(), {'C', 'O', 'L', 'R', 0, 4, red, green, blue, 0});
    chunk(chunks, "PNTS", points);
    chunk(chunks, "SRFS", name);
    chunk(chunks, "POLS", polygons);
    chunk(chunks, "SURF", surface);
    std::vector<uint8_t> out{'F', 'O', 'R', 'M'};
    bigEndian(out, uint32_t(4 + chunks.size()), 4);
    out.insert(out.end(), {'L', 'W', 'O', 'B'});
    out.insert(out.end(), chunks.begin(), chunks.end());
    return out;
}

std::vector<uint8_t> modelList(const std::vector<std::string>& frames) {
    ByteWriter w;
    w.i32LE(32);
    w.zeros(4);
    w.i32LE(int32_t(frames.size()));
    w.zeros(12);
    for (const auto& f : frames) w.fixedText(f, 16);
    w.i32LE(0);
    return w.release();
}

} // namespace ravok::test
