#pragma once

#include <string>

namespace ravok {

class CTrackPOD;

constexpr size_t kCompletenessReportCapacity = 4095;
constexpr int kCompletenessReportLines = 32;

// Texts of the Incomplete Track dialog.
constexpr const char* kIncompleteTrackCaption = "Incomplete Track";
constexpr const char* kIncompleteTrackHeading = "The following errors were detected:";
constexpr const char* kIncompleteTrackOk = "Click OK to create the POD file anyway.";
constexpr const char* kIncompleteTrackWarning = "It may not function correctly in MTM.";

// What a track still lacks before it can be written as a pod, one problem
// a CR LF line: at most 32 lines and then "(more...)", at most 4095
// characters. `complete` is false when any check found a problem, whether
// or not its line fitted.
struct CompletenessReport {
    bool complete = true;
    std::string text;
};

CompletenessReport CheckTrackComplete(const CTrackPOD& track);

} // namespace ravok
