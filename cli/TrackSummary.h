#pragma once

#include <nlohmann/json.hpp>

namespace ravok {
class CTrackPOD;
}

namespace ravok::cli {

// The summary of a track that `info` prints. `format` is "rvk", "new" or "pod".
nlohmann::ordered_json trackSummary(const CTrackPOD& track, const std::string& format);

// The same summary as lines of "key: value" text.
std::string summaryText(const nlohmann::ordered_json& summary);

} // namespace ravok::cli
