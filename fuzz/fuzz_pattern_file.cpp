// Feeds arbitrary bytes to the pattern file reader; whatever it reads must
// write back into a file that reads the same patterns.
#include "trackart/TexturePatternFile.h"

#include <cstdlib>

using namespace ravok;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto patterns = ReadPatternFileBytes({data, size});
    const auto bytes = PatternFileBytes(patterns);
    const auto again = ReadPatternFileBytes(bytes);
    if (again.size() != patterns.size() || PatternFileBytes(again) != bytes) std::abort();
    return 0;
}
