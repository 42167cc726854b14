// Feeds arbitrary bytes to the model reader (BIN geometry, model lists and
// LightWave objects) and touches everything it produced.
#include "art/Model.h"

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Model model;
    if (!model.read("MODELS\\FUZZ.BIN", {data, size})) return 0;
    volatile int64_t sum = model.baseHeight();
    for (const auto& f : model.facets()) {
        sum = sum + f.vertexCount + f.textureName.size();
        for (int k = 0; k < f.vertexCount; ++k) sum = sum + f.uv[size_t(k)][0] + f.vertices[size_t(k)];
    }
    for (const auto& v : model.vertices()) sum = sum + v[0] + v[1] + v[2];
    sum = sum + int64_t(model.animatedTextureNames().size() + model.listedModels().size() + model.message().size());
    return 0;
}
