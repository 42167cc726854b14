#pragma once

#include <string>
#include <string_view>

namespace ravok {

class CTrackPOD;

constexpr const char* kToolVersion = "1.6.7";

struct BuildDate {
    int year = 2000, month = 1, day = 1;
    static BuildDate today(); // the local date
};

// The lines of an earlier version record that a new one carries unchanged:
// 1 to 507 characters, not a comment, holding "=", with a key (the text
// before the first "=", at most 63 characters, lower case, trailing blanks
// and tabs removed) other than the six the record writes itself. Each line
// is returned with CR LF.
std::string CarriedVersionLines(std::string_view previousRecord);

// DATA\<stem>.RVV: what built the pod and how, then the carried lines.
std::string VersionRecordText(const CTrackPOD& track, bool fallbackKept, bool largeHdArt, BuildDate date);

} // namespace ravok
