#pragma once

#include <string>
#include <vector>

namespace ravok {

class CTrackPOD;

// One line of the Track Statistics dialog: what is counted, how many, and
// the limit as the dialog shows it (empty when there is none).
struct StatisticsRow {
    std::string label;
    int count = 0;
    std::string limit;
};

std::vector<StatisticsRow> TrackStatisticsRows(const CTrackPOD& track);

} // namespace ravok
