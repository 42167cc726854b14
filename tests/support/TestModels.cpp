#include "TestModels.h"

#include "base/ByteWriter.h"

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
