// Feeds arbitrary bytes to the readers of the settings' binary values, each
// given the size the settings store checks, and writes them back.
#include "base/ProgramSettings.h"

#include <array>
#include <span>

using namespace ravok;

namespace {

// The next `n` bytes, zero-padded when the input runs out.
template <size_t N> std::array<uint8_t, N> take(const uint8_t*& data, size_t& size) {
    std::array<uint8_t, N> out{};
    const size_t n = size < N ? size : N;
    for (size_t i = 0; i < n; ++i) out[i] = data[i];
    data += n;
    size -= n;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto lighting = take<16>(data, size);
    LightingSettings::fromBytes(lighting).toBytes();
    auto autoTerrain = take<16>(data, size);
    AutoTerrainSettings::fromBytes(autoTerrain).toBytes();
    auto autosave = take<16>(data, size);
    AutosaveSettings::fromBytes(autosave).toBytes();
    auto edit = take<12>(data, size);
    EditState::fromBytes(edit).toBytes();
    auto rect = take<16>(data, size);
    SavedRect::fromBytes(rect).toBytes();
    auto dialog = take<8>(data, size);
    SavedSize::fromBytes(dialog).toBytes();
    auto colours = take<32>(data, size);
    coloursFromBytes(colours);
    return 0;
}
