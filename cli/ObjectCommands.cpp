// objects and course: what a track holds of objects, courses and truck starts,
// and extended courses derived from the main one.
#include "cli/ObjectCommands.h"

#include "base/Text.h"
#include "cli/TrackLoading.h"
#include "edit/CourseEditing.h"
#include "edit/ObjectTypes.h"
#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>

namespace ravok::cli {

namespace {

using Json = nlohmann::ordered_json;

// Degrees rounded to 1/1000, for reading.
double degrees(float radians) {
    return std::round(double(radians) * 180.0 / std::numbers::pi * 1000.0) / 1000.0;
}

Json objectJson(int slot, const TrackObject& o) {
    Json j;
    j["slot"] = slot;
    j["type"] = o.type;
    j["typeName"] = std::string(kObjectTypeNames[size_t(objectTypeListPosition(o.type))]);
    j["x"] = o.x;
    j["y"] = o.y;
    j["z"] = o.z;
    j["fractions"] = {o.xFraction, o.yFraction, o.zFraction};
    j["aboveGround"] = o.aboveGround;
    j["heading"] = degrees(o.psi);
    j["tiltPhi"] = degrees(o.phi);
    j["tiltTheta"] = degrees(o.theta);
    j["size"] = {o.length, o.width, o.height};
    j["mass"] = o.mass;
    j["priority"] = o.priority;
    j["model"] = o.modelName.str();
    if (o.type == kObjectCheckpoint) j["sequence"] = o.sequence;
    if (o.type == kObjectTopCrush) {
        j["cabModel"] = o.cabModelName.str();
        j["cabOffset"] = o.cabOffset;
    }
    j["continuousSound"] = o.continuousSound.str();
    j["impactSound"] = o.impactSound.str();
    if (o.type == kObjectLight) {
        const LightParameters& l = o.light;
        j["light"] = {{"rad", l.rad},
                      {"hgt", l.hgt},
                      {"r", l.r},
                      {"g", l.g},
                      {"b", l.b},
                      {"glow", l.glow},
                      {"glowRad", l.glowRad},
                      {"coneLen", l.coneLen},
                      {"coneRim", l.coneRim},
                      {"coneBase", l.coneBase},
                      {"bright", l.bright},
                      {"aimOff", l.aimOff}};
    }
    return j;
}

Json courseJson(int index, const Course& c) {
    Json j;
    j["course"] = index;
    j["length"] = c.length;
    Json segments = Json::array();
    for (const CourseSegment& s : c.segments)
        segments.push_back({{"start", s.start},
                            {"end", s.end},
                            {"speedLimit", s.speedLimit / 2},
                            {"speedLimitStored", s.speedLimit},
                            {"width", s.trackWidth}});
    j["segments"] = std::move(segments);
    return j;
}

Json listing(const CTrackPOD& track) {
    Json j;
    Json objects = Json::array();
    for (int i = 0; i < kMaxObjects; ++i)
        if (const auto& o = track.objects[size_t(i)]) objects.push_back(objectJson(i, *o));
    j["objects"] = std::move(objects);
    Json courses = Json::array();
    for (int k = 0; k < kCourseCount; ++k)
        if (const Course* c = CourseOf(track, k)) courses.push_back(courseJson(k, *c));
    j["courses"] = std::move(courses);
    Json trucks = Json::array();
    for (int k = 0; k < kVehicleSlots; ++k) {
        const VehicleSlot& v = track.vehicles[size_t(k)];
        trucks.push_back({{"slot", k},
                          {"x", v.x},
                          {"y", v.y},
                          {"z", v.z},
                          {"heading", degrees(v.psi)},
                          {"course", v.extra},
                          {"truckFile", v.truckFile.str()}});
    }
    j["trucks"] = std::move(trucks);
    return j;
}

std::string listingText(const Json& j) {
    std::string text = formatText("objects: %d\n", int(j["objects"].size()));
    for (const auto& o : j["objects"]) {
        std::string line =
            formatText("  %4d %-20s at %d, %d, %d (above ground %d), heading %.3f", o["slot"].get<int>(),
                       o["typeName"].get<std::string>().c_str(), o["x"].get<int>(), o["y"].get<int>(),
                       o["z"].get<int>(), o["aboveGround"].get<int>(), o["heading"].get<double>());
        if (o.contains("sequence")) line += formatText(", CP %02d", o["sequence"].get<int>());
        const std::string model = o["model"].get<std::string>();
        line += model.empty() ? formatText(", box %d x %d x %d", o["size"][0].get<int>(),
                                           o["size"][1].get<int>(), o["size"][2].get<int>())
                              : ", model " + model;
        text += line + "\n";
    }
    text += "courses:\n";
    for (const auto& c : j["courses"]) {
        const int index = c["course"].get<int>();
        text += formatText("  %s: %d segments\n", index == 0 ? "main (0)" : std::to_string(index).c_str(),
                           int(c["segments"].size()));
        int n = 0;
        for (const auto& s : c["segments"]) {
            text += formatText("    %3d: %d, %d, %d -> %d, %d, %d, width %d", n++, s["start"][0].get<int>(),
                               s["start"][1].get<int>(), s["start"][2].get<int>(), s["end"][0].get<int>(),
                               s["end"][1].get<int>(), s["end"][2].get<int>(), s["width"].get<int>());
            const int limit = s["speedLimit"].get<int>();
            text += limit ? formatText(", speed limit %d\n", limit) : std::string("\n");
        }
    }
    text += "truck starts:\n";
    for (const auto& t : j["trucks"])
        text +=
            formatText("  %d: %d, %d, %d, heading %.3f, course %d, \"%s\"\n", t["slot"].get<int>(),
                       t["x"].get<int>(), t["y"].get<int>(), t["z"].get<int>(), t["heading"].get<double>(),
                       t["course"].get<int>(), t["truckFile"].get<std::string>().c_str());
    return text;
}

bool parseNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return end && *end == 0;
}

} // namespace

int runObjects(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli objects FILE.rvk [--json]\n\n"
                   "Lists the track's objects (slot, type, position in world units and height units,\n"
                   "height above ground, heading in degrees, model or box size), its courses with\n"
                   "their segments (speed limits as the Speed Limit dialog shows them) and the nine\n"
                   "truck starts.\n"
                   "  --json   one JSON object {objects, courses, trucks} instead of text\n",
                   stdout);
        return kExitOk;
    }
    const bool json = args.flag("--json");
    if (auto unknown = args.unknownOption()) return usageError("objects: unknown option " + *unknown);
    if (args.rest().size() != 1) return usageError("objects: give one FILE.rvk");
    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    const Json j = listing(*track);
    if (json)
        std::printf("%s\n", j.dump(2).c_str());
    else
        std::fputs(listingText(j).c_str(), stdout);
    return kExitOk;
}

int runCourse(Arguments args) {
    if (args.flag("--help")) {
        std::fputs("Usage: ravok-cli course FILE.rvk -o OUT.rvk --generate N [--seed S]\n\n"
                   "Generate from Main: replaces extended course N (1 to 4) by a copy of the main\n"
                   "course whose start and end points are each moved by -7 to +8 units in x and y,\n"
                   "for the computer trucks that follow it.\n"
                   "  --seed S  seed of the C library's random numbers (default: its own start)\n",
                   stdout);
        return kExitOk;
    }
    auto out = args.option("-o");
    auto generate = args.option("--generate");
    auto seed = args.option("--seed");
    if (args.missingValue()) return usageError("course: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("course: unknown option " + *unknown);
    if (!out || !generate || args.rest().size() != 1)
        return usageError("course: give FILE.rvk -o OUT.rvk --generate N");
    long course = 0, seedValue = 0;
    if (!parseNumber(*generate, course) || !CanGenerateFromMain(int(course)))
        return usageError("course: --generate takes an extended course, 1 to 4");
    if (seed && !parseNumber(*seed, seedValue)) return usageError("course: --seed takes a number");

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    if (seed) std::srand(unsigned(seedValue));
    if (!GenerateCourseFromMain(*track, int(course)).changed) {
        printError("course: the main course has no segments; nothing to generate from");
        return kExitFailed;
    }
    // The track file keeps only the extended courses that exist, in order:
    // with courses below this one absent it comes back under a lower number.
    int stored = 0;
    for (int k = 1; k <= int(course); ++k)
        stored += CourseOf(*track, k) != nullptr;
    if (stored != int(course))
        printError(
            formatText("course: courses 1 to %ld do not all exist, so the track file keeps this one as "
                       "course %d; generate the courses in order to keep their numbers",
                       course - 1, stored));
    if (saveTrack(*track, *out) != kExitOk) return kExitFailed;
    std::printf("%s: course %ld generated from the main course, %d segments\n", out->c_str(), course,
                CourseSegmentCount(*track, int(course)));
    return kExitOk;
}

} // namespace ravok::cli
