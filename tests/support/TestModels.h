#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ravok::test {

// The bytes of a BIN model of two vertices, the lower at `lowestHeight`,
// with one textured facet per texture name.
std::vector<uint8_t> binModel(const std::vector<std::string>& facetTextures, int32_t lowestHeight = 0);

// The bytes of a LightWave object: a cube of `half` units to each side of the
// origin, its six faces of one surface in the colour.
std::vector<uint8_t> lightWaveCube(float half, uint8_t red, uint8_t green, uint8_t blue);

// The bytes of a model list naming animation frames.
std::vector<uint8_t> modelList(const std::vector<std::string>& frames);

} // namespace ravok::test
