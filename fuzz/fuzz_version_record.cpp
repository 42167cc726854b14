// Feeds arbitrary text as the version record of an earlier build: the lines
// a new record carries over.
#include "pod/VersionRecord.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ravok::CarriedVersionLines({reinterpret_cast<const char*>(data), size});
    return 0;
}
