#include "pod/SituationFile.h"

#include "art/ItemNames.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "pod/ItemSource.h"
#include "pod/LevelFile.h"
#include "pod/PodArchive.h"
#include "pod/TextLines.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ravok {

namespace {

constexpr std::string_view kStars = "*********************************************"; // 45

constexpr std::string_view kTrackNameHeader = "!Race Track Name";
constexpr std::string_view kAmbientHeader = "!ambient sound,track length,weather mask";
constexpr std::string_view kYourTruckHeader = "*** Your Truck (Not used anymore) ***";
constexpr std::string_view kVehiclesHeader = "*** Vehicles ***";
constexpr std::string_view kRampsHeader = "*** Ramps ***";
constexpr std::string_view kBoxesHeader = "*** Boxes ***";
constexpr std::string_view kCylindersHeader = "*** Cylinders ***";
constexpr std::string_view kTopCrushHeader = "*** Top Crush ***";
constexpr std::string_view kCourseHeader = "*** Course ***";
constexpr std::string_view kExtendedHeader = "@*********** Extended Course Definitions *************";
constexpr std::string_view kStadiumHeader = "*** Stadium ***";
constexpr std::string_view kBackdropHeader = "*** Backdrop ***";
constexpr std::string_view kCourseToFollow = "!ap.courseToFollow";
constexpr std::string_view kLightHeader =
    "Llight rad,hgt,r,g,b,glow,glowRad,coneLen,coneRim,coneBase,bright,aimOff";

// Header lines 2 to 21: a fixed line, or a value line (empty here).
constexpr std::string_view kHeaderLines[] = {
    kTrackNameHeader, "", "Race Track Locale", "", "Track Longtitude, Latitude", "", "Track Logo .BMP file", "",
    "Track Map .BMP file", "", "Track Fly-By .AVI file", "", "Track Announcer .WAV file", "",
    "Track Description .TXT file", "", "Track Race Type", "", "@Redbook Audio Track", "",
};
// The four headers after the ambient line, each with a fixed value line.
constexpr std::pair<std::string_view, std::string_view> kFixedHeaders[] = {
    {"viewmode,spotd,spotp,spoth,zoom", "0,16384,-16383,24832,98304"},
    {"$racetime, raceStartTime, dragDebugTimer", "0.000000,0.000000,0.000000"},
    {"controlflag, autoShift, autoStage, bothStaged, bothStagedPrev", "0,1,0,0,0"},
    {"stageComFlag, bonusLapFlag", "0,0"},
};

constexpr std::string_view kTruckBlock =
    "p,q,r\r\n0,0,0\r\nfaxle.angle,faxle.steering_angle\r\n0,0\r\nfaxle.rtire.on_gnd,faxle.ltire.on_gnd\r\n-1,1\r\n"
    "raxle.angle,raxle.steering_angle\r\n0,0\r\nraxle.rtire.on_gnd,raxle.ltire.on_gnd\r\n-1,1\r\nxm.gear\r\n4\r\n"
    "ap.autopilot,ap.cnumber\r\n0,1\r\nap.speed_control,ap.course_control,ap.lasterror\r\n0,0,0\r\n"
    "!ap.courseToFollow\r\n";
constexpr std::string_view kHeliBlock =
    "$heliTimer,heliTheta,heliPhi,heliPsi\r\n0,0,0,0\r\nheliPos\r\n0,0,0\r\n"
    "^segments,laps,staged,bonusLaps,finishedRace,nextcheckpoint\r\n0,0,0,0,0,0\r\n"
    "totalracetime,fastestLap,dragTimer\r\n0,0,0\r\n";
constexpr std::string_view kLapBlock = "***Lap time***\r\n0\r\n*****Checkpoint times*****\r\n";

std::string triple(double a, double b, double c) { return realText(a) + "," + realText(b) + "," + realText(c); }

// ---- writing ------------------------------------------------------------------------

class SituationWriter {
public:
    explicit SituationWriter(const CTrackPOD& track) : t(track) {}

    std::string text() {
        header();
        trucks();
        objects();
        courses();
        stadium();
        return out;
    }

private:
    void line(std::string_view s) { appendLine(out, s); }

    void header() {
        line(std::string(t.WorldName.view()) + ".lvl");
        line(kTrackNameHeader);
        line(t.trackName.view());
        line("Race Track Locale");
        line(t.locale.view());
        line("Track Longtitude, Latitude");
        line("7947984,7947988");
        line("Track Logo .BMP file");
        line(t.BrowsePictureName());
        line("Track Map .BMP file");
        line(t.IconPictureName());
        line("Track Fly-By .AVI file");
        line("Sonic");
        line("Track Announcer .WAV file");
        line("Track");
        line("Track Description .TXT file");
        line("0,0");
        line("Track Race Type");
        line(std::to_string(t.RaceType));
        line("@Redbook Audio Track");
        line("2");
        if (t.isMtm2()) {
            line(kAmbientHeader);
            line(formatText("%d,%s,%d", t.ambientSound, realText(double(t.mainCourse.length)).c_str(),
                            int32_t(t.weatherMask)));
        }
        for (const auto& [head, value] : kFixedHeaders) {
            line(head);
            line(value);
        }
    }

    // Trucks have no fractions.
    static std::string truckPosition(int32_t x, int32_t y, int32_t z) { return triple(x * 0.5, z * 2.0, y * 0.5); }

    void truckBody(const VehicleSlot& slot, int32_t course) {
        line("ipos");
        line(truckPosition(slot.x, slot.y, slot.z));
        out += "bvel\r\n0,0,0\r\ntheta,phi,psi\r\n";
        line(triple(slot.theta, slot.phi, slot.psi));
        out += kTruckBlock;
        line(std::to_string(course));
        out += kHeliBlock;
        for (int lap = 0; lap < 20; ++lap) {
            out += kLapBlock;
            for (int i = 0; i < 20; ++i) line("0");
        }
    }

    void trucks() {
        out += std::string(kYourTruckHeader) + "\r\n" + std::string(kStars) + "\r\ntruckFile\r\n";
        line(t.vehicles[0].truckFile.view());
        truckBody(t.vehicles[0], 0);
        line(kVehiclesHeader);
        line("8");
        for (int i = 1; i < kVehicleSlots; ++i) {
            line(kStars);
            line("truckFile");
            line(t.vehicles[size_t(i)].truckFile.view());
            truckBody(t.vehicles[size_t(i)], t.vehicles[size_t(i)].extra);
        }
    }

    static std::string objectPosition(const TrackObject& o) {
        return triple((o.x + o.xFraction / 256.0) * 0.5, 2.0 * o.z + o.zFraction / 128.0,
                      (o.y + o.yFraction / 256.0) * 0.5);
    }

    // Velocities and rates go out in the file's X, vertical, Y order.
    void motion(const TrackObject& o) {
        line("mass");
        line(realText(o.mass));
        line("bvel");
        line(triple(o.bvel[0], o.bvel[2], o.bvel[1]));
        line("p,q,r");
        line(triple(o.p, o.r, o.q));
    }

    void objectBody(const TrackObject& o) {
        line(kStars);
        line("ipos");
        line(objectPosition(o));
        line("theta,phi,psi");
        line(triple(o.theta, o.phi, o.psi));
        if (!o.modelName.empty()) {
            line("model");
            line(itemFileName(o.modelName.view()));
        } else {
            line("length,width,height");
            line(triple(o.length, o.width, o.height));
        }
        motion(o);
    }

    void boxTail(const TrackObject& o) {
        line("!type,flags");
        line(formatText("%d,%d", o.type, o.flags));
        line("priority");
        line(std::to_string(o.priority));
        line("@sound effect entries");
        line(TrackObject::isNoSound(o.impactSound) ? kNoSound : o.impactSound.view());
        line(TrackObject::isNoSound(o.continuousSound) ? kNoSound : o.continuousSound.view());
        line("0,0");
        if (o.type == kObjectLight) {
            const LightParameters& l = o.light;
            line(kLightHeader);
            std::string values;
            for (float v : {l.rad, l.hgt, l.r, l.g, l.b}) values += realText(v) + ",";
            values += std::to_string(l.glow);
            for (float v : {l.glowRad, l.coneLen, l.coneRim, l.coneBase, l.bright, l.aimOff}) values += "," + realText(v);
            line(values);
        }
    }

    void topCrushBody(const TrackObject& o) {
        const double x = (o.x + o.xFraction / 256.0) * 0.5, h = 2.0 * o.z + o.zFraction / 128.0,
                     y = (o.y + o.yFraction / 256.0) * 0.5;
        line(kStars);
        line("ipos");
        line(triple(x, h, y));
        line("ipos2");
        line(triple(x + o.cabOffset[0], h + o.cabOffset[1], y + o.cabOffset[2]));
        line("theta,phi,psi");
        line(triple(o.theta, o.phi, o.psi));
        line("modelName");
        line(o.modelName.empty() ? "NULL" : itemFileName(o.modelName.view()));
        line("cabModelName");
        line(o.cabModelName.empty() ? "NULL" : itemFileName(o.cabModelName.view()));
        motion(o);
    }

    template <typename Pick> int countObjects(Pick pick) const {
        int n = 0;
        for (const auto& o : t.objects) n += o && pick(*o);
        return n;
    }

    void objects() {
        auto isRamp = [](const TrackObject& o) { return o.type == kObjectRamp; };
        auto isTopCrush = [](const TrackObject& o) { return o.type == kObjectTopCrush; };
        auto isBox = [](const TrackObject& o) { return o.type != kObjectRamp && o.type != kObjectTopCrush; };
        line(kRampsHeader);
        line(std::to_string(countObjects(isRamp)));
        for (const auto& o : t.objects)
            if (o && isRamp(*o)) objectBody(*o);
        line(kBoxesHeader);
        line(std::to_string(countObjects(isBox)));
        for (const auto& o : t.objects)
            if (o && isBox(*o)) {
                objectBody(*o);
                boxTail(*o);
            }
        line(kCylindersHeader);
        line(std::to_string(t.cylinderCount));
        out += t.cylinderText;
        line(kTopCrushHeader);
        line(std::to_string(countObjects(isTopCrush)));
        for (const auto& o : t.objects)
            if (o && isTopCrush(*o)) topCrushBody(*o);
    }

    void segments(const Course& course) {
        for (size_t k = 0; k < course.segments.size(); ++k) {
            const CourseSegment& s = course.segments[k];
            line(std::string(kStars) + " " + std::to_string(2 * k + 1));
            line("ctype,cspeed_type");
            line("1,0");
            line("cstart");
            line(truckPosition(s.start[0], s.start[1], s.start[2]));
            line("cend");
            line(truckPosition(s.end[0], s.end[1], s.end[2]));
            line("cdec_point,cspeed,lastentry");
            line("30.000000,0.000000,0");
            line("&cSpeedLimit,cTrackWidth");
            line(realText(s.speedLimit) + "," + realText(s.trackWidth));
        }
    }

    void courses() {
        line(kCourseHeader);
        line("c1Count,course_direction");
        line(formatText("%d,0", int(t.mainCourse.segments.size())));
        segments(t.mainCourse);
        line(kExtendedHeader);
        line("4");
        for (int n = 1; n <= kMaxExtendedCourses; ++n) {
            const Course* course = t.extendedCourses[size_t(n - 1)].get();
            line(formatText("[Course %d] c1Count,course_direction", n));
            line(formatText("%d,0", course ? int(course->segments.size()) : 0));
            if (course) segments(*course);
        }
    }

    void stadium() {
        const std::string model = t.backdrop ? std::string(itemFileName(t.backdrop->name().view())) : "";
        line(kStadiumHeader);
        if (t.stadiumFlag) {
            if (t.isMtm2()) {
                line("!stadiumFlag,x,z,sx,sz,stadiumModelName");
                line(formatText("1,%d,%d,%d,%d,%s", t.arenaX, t.arenaY, t.arenaSizeX, t.arenaSizeY, model.c_str()));
            } else {
                line("stadiumFlag,stadiumModelName");
                line("1," + model);
            }
        } else {
            line("stadiumFlag,stadiumModelName");
            line("0,none");
        }
        line(kBackdropHeader);
        line("backdropType,backdropCount");
        const bool backdrop = !t.stadiumFlag && t.backdrop;
        line(backdrop ? "0,1" : "0,0");
        line("backdropModelName");
        line(backdrop ? model : "");
    }

    const CTrackPOD& t;
    std::string out;
};

} // namespace

std::string SituationFileText(const CTrackPOD& track) { return SituationWriter(track).text(); }

Blob WriteSituationFile(const CTrackPOD& track) {
    std::string text = SituationFileText(track);
    return {text.begin(), text.end()};
}

std::string SituationProblemText(const CTrackPOD& track) {
    std::string text;
    if (track.missingObjects > 0)
        text = formatText("The track's situation file (.SIT / .SI2) says it holds %d more object%s than it actually "
                          "does - the file was written wrong, by whatever made it. Ravok has kept every object that "
                          "is really there.\n\nThe game reads that file strictly in order and trusts the count, so "
                          "in game the sections after the objects - the courses, and with them the AI routes - are "
                          "likely misread. Writing the track from Ravok writes the correct count.",
                          track.missingObjects, track.missingObjects == 1 ? "" : "s");
    if (track.droppedObjects > 0) {
        if (!text.empty()) text += "\n\n";
        text += formatText("%d object%s could not be kept: the track holds more than the %d this version of Ravok "
                           "supports.",
                           track.droppedObjects, track.droppedObjects == 1 ? "" : "s", kMaxObjects);
    }
    return text;
}

// ---- reading ------------------------------------------------------------------------

namespace {

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A line that opens a section: no scan for an entry's opening line goes past it.
bool isSectionLine(std::string_view s) {
    return startsWith(s, "*** ") || startsWith(s, "@***") || startsWith(s, "[Course ");
}

struct Triple {
    double a = 0, b = 0, c = 0;
};
Triple readTriple(std::string_view line) {
    return {parseReal(afterComma(line, 0)), parseReal(afterComma(line, 1)), parseReal(afterComma(line, 2))};
}

class SituationReader {
public:
    // A clone reads its level file itself, fails where a pod read ends
    // quietly, and records model names without reading models.
    SituationReader(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text, bool clone = false)
        : t(track), items(items), in(text), clone(clone) {}

    // The failure text of a clone; empty otherwise.
    std::string failure;
    ProgressSink* sink = nullptr;

    void read() {
        if (clone ? !next() : !levelFile()) return;
        if (!header()) {
            if (clone) failure = "Error in SIT file.";
            return;
        }
        progress(40);
        playerTruck();
        progress(50);
        vehicles();
        if (!objects()) return;
        progress(70);
        mainCourse();
        extendedCourses();
        progress(80);
        stadiumAndBackdrop();
        progress(90);
    }

private:
    bool next() { return in.next(line); }
    void progress(int position) {
        if (sink) sink->setPosition(position);
    }
    bool skipTo(std::string_view exact) {
        while (next())
            if (line == exact) return true;
        return false;
    }
    // Reads n lines into `block`; false when the text ends first.
    bool take(size_t n) {
        block.clear();
        for (size_t i = 0; i < n; ++i) {
            if (!next()) return false;
            block.push_back(line);
        }
        return true;
    }
    // Finds an entry's opening line of asterisks. Stops, stepping back, at a
    // section's line or at the end.
    bool findOpening() {
        for (;;) {
            const size_t at = in.position();
            if (!next()) return false;
            if (startsWith(line, "********")) return true;
            if (isSectionLine(line)) {
                in.rewind(at);
                return false;
            }
        }
    }

    bool levelFile() {
        t.WorldName.clear();
        if (!next()) return false;
        const std::string name = upperCase(line);
        auto item = items.find(itemName("LEVELS", name));
        if (!item) item = items.find(name);
        if (item) {
            t.WorldName.set(line.substr(0, line.find('.')), 20);
            if (auto text = items.read(*item, TrackItemSource::kMaxWholeItem)) ReadLevelFile(t, items, *text);
        }
        progress(10);
        progress(20);
        progress(30);
        return true;
    }

    // A menu picture line: the BMP item and its HD version under UI\.
    void menuPicture(const std::string& value, FixedString<29>& name, Blob& bitmap, int hdSlot) {
        const std::string picture(StripUiPrefix(upperCase(value)));
        std::string stem = picture.substr(0, picture.rfind('.'));
        bool found = false;
        for (const char* ext : {".PNG", ".TGA"})
            if (auto hd = items.findAndRead(itemName("UI", stem + ext))) {
                t.SetHdArt(hdSlot, std::move(*hd), ext);
                found = true;
                break;
            }
        if (auto bmp = items.findAndRead(itemName("UI", picture))) {
            bitmap = std::move(*bmp);
            found = true;
        }
        if (found) name.set(picture, 28);
    }

    // Lines 2 to 21; each value is kept as soon as it is read, so that a
    // mismatch further down leaves what came before it in the track.
    bool header() {
        for (size_t i = 0; i < std::size(kHeaderLines); ++i) {
            if (!next()) return false;
            if (!kHeaderLines[i].empty()) {
                if (line != kHeaderLines[i]) return false;
                continue;
            }
            switch (i) {
            case 1: t.trackName.set(line, 31); break;
            case 3: t.locale.set(line, 31); break;
            case 7: menuPicture(line, t.browseBitmapName, t.pictures.browseBitmap, 0); break;
            case 9: menuPicture(line, t.iconBitmapName, t.pictures.iconBitmap, 1); break;
            case 17: t.SetRaceType(parseInt(line)); break;
            default: break; // read and ignored
            }
        }

        if (!next()) return false;
        // The ambient line is what marks an MTM2 track.
        t.GameFlags &= ~1u;
        if (line == kAmbientHeader) {
            t.GameFlags |= 1u;
            if (!next()) return false;
            t.ambientSound = parseInt(afterComma(line, 0));
            t.weatherMask = uint32_t(parseInt(afterComma(line, 2)));
            if (!next()) return false;
        }
        for (size_t i = 0; i < std::size(kFixedHeaders); ++i) {
            if (i > 0 && !next()) return false;
            if (line != kFixedHeaders[i].first || !next()) return false;
        }
        return true;
    }

    void truckValues(VehicleSlot& slot, const std::string& file, const std::string& position,
                     const std::string& angles) {
        slot.truckFile.set(file, 19);
        Triple p = readTriple(position);
        slot.x = HorizontalFromFile(p.a).value;
        slot.z = truncateToInt(p.b) / 2;
        slot.y = HorizontalFromFile(p.c).value;
        Triple a = readTriple(angles);
        slot.theta = float(a.a);
        slot.phi = float(a.b);
        slot.psi = float(a.c);
    }

    void playerTruck() {
        if (!skipTo(kYourTruckHeader) || !take(9)) return;
        // stars, truckFile, name, ipos, position, bvel, 0,0,0, theta,phi,psi, angles
        truckValues(t.vehicles[0], block[2], block[4], block[8]);
        t.vehicles[0].extra = 0;
    }

    void vehicles() {
        if (!skipTo(kVehiclesHeader) || !next()) return;
        const int count = parseInt(line);
        for (int i = 0; i < count; ++i) {
            if (!findOpening() || !take(8)) return;
            // truckFile, name, ipos, position, bvel, 0,0,0, theta,phi,psi, angles
            VehicleSlot scratch;
            VehicleSlot& slot = i + 1 < kVehicleSlots ? t.vehicles[size_t(i + 1)] : scratch;
            truckValues(slot, block[1], block[3], block[7]);
            for (;;) {
                const size_t at = in.position();
                if (!next()) return;
                if (line == kCourseToFollow) break;
                if (isSectionLine(line)) {
                    in.rewind(at);
                    return;
                }
            }
            if (!next()) return;
            slot.extra = parseInt(line);
        }
    }

    void position(TrackObject& o, const std::string& text) {
        Triple p = readTriple(text);
        FilePosition x = HorizontalFromFile(p.a), h = HeightFromFile(p.b), y = HorizontalFromFile(p.c);
        o.x = x.value;
        o.xFraction = x.fraction;
        o.z = h.value;
        o.zFraction = h.fraction;
        o.y = y.value;
        o.yFraction = y.fraction;
    }

    void angles(TrackObject& o, const std::string& text) {
        Triple a = readTriple(text);
        o.theta = float(a.a);
        o.phi = float(a.b);
        o.psi = float(a.c);
    }

    // mass, value, bvel, value, p,q,r, value: in the file's X, vertical, Y order.
    void motion(TrackObject& o, size_t at) {
        o.mass = float(parseReal(block[at + 1]));
        Triple v = readTriple(block[at + 3]);
        o.bvel = {float(v.a), float(v.c), float(v.b)};
        Triple r = readTriple(block[at + 5]);
        o.p = float(r.a);
        o.r = float(r.b);
        o.q = float(r.c);
    }

    // The model a file names: one of the track's, else read from the items.
    Model* model(const std::string& fileName) {
        if (fileName.empty() || fileName == "NULL") return nullptr;
        if (int slot = t.FindModel(fileName); slot >= 0) return t.models[size_t(slot)].get();
        const int slot = lowestEmptySlot(t.models);
        if (slot < 0) return nullptr;
        auto loaded = loadModel(fileName);
        if (!loaded) return nullptr;
        t.models[size_t(slot)] = std::move(loaded);
        Model* placed = t.models[size_t(slot)].get();
        if (!clone) loadListedFrames(*placed);
        return placed;
    }

    // The frames a model list names are models of the track too, as the
    // model pass loads them from the folders.
    void loadListedFrames(const Model& list) {
        for (const std::string& frame : list.listedModels()) {
            if (t.FindModel(frame) >= 0) continue;
            const int slot = lowestEmptySlot(t.models);
            if (slot < 0) return;
            if (auto loaded = loadModel(frame)) t.models[size_t(slot)] = std::move(loaded);
        }
    }

    std::unique_ptr<Model> loadModel(const std::string& fileName) {
        const std::string name = upperCase(fileName);
        if (clone) {
            // Loaded later from the models folder by this name.
            if (name.empty() || name == "NULL" || name == "NONE") return nullptr;
            auto named = std::make_unique<Model>();
            named->setName(withDefaultFolder("MODELS", name));
            return named;
        }
        auto item = hasItemFolder(name) ? std::nullopt : items.find(itemName("MODELS", name));
        if (!item) item = items.find(name);
        if (!item) return nullptr;
        auto bytes = items.read(*item, TrackItemSource::kMaxWholeItem);
        auto loaded = std::make_unique<Model>();
        if (!bytes || !loaded->read(item->name, *bytes)) return nullptr;
        return loaded;
    }

    void useModel(TrackObject& o, const std::string& fileName) {
        o.model = model(fileName);
        if (o.model) o.modelName.set(o.model->name().view());
    }

    void defaultDimensions(TrackObject& o) {
        o.length = 64;
        o.width = 64;
        o.height = 20;
    }

    std::unique_ptr<TrackObject> rampOrBox(bool box) {
        // ipos, pos, theta, angles, model|dims, value, mass, m, bvel, v, pqr, r
        if (!take(12)) return nullptr;
        auto o = std::make_unique<TrackObject>();
        position(*o, block[1]);
        angles(*o, block[3]);
        if (block[4] == "model") {
            useModel(*o, block[5]);
            if (box) defaultDimensions(*o);
        } else {
            Triple d = readTriple(block[5]);
            o->length = truncateToInt(d.a);
            o->width = truncateToInt(d.b);
            o->height = truncateToInt(d.c);
        }
        motion(*o, 6);
        o->type = kObjectRamp;
        if (box && !boxTail(*o)) return nullptr;
        return o;
    }

    bool boxTail(TrackObject& o) {
        if (!take(4)) return false; // !type,flags, values, priority, value
        o.type = parseInt(afterComma(block[1], 0));
        o.flags = parseInt(afterComma(block[1], 1));
        o.priority = parseInt(block[3]);
        if (o.type == kObjectCheckpoint) o.sequence = checkpoints++;
        for (;;) {
            const size_t at = in.position();
            if (!next()) break;
            if (startsWith(line, "*")) {
                in.rewind(at);
                break;
            }
            if (startsWith(line, "Llight") && next()) lightValues(o.light, line);
        }
        return true;
    }

    static void lightValues(LightParameters& l, const std::string& text) {
        float* reals[] = {&l.rad, &l.hgt, &l.r, &l.g, &l.b, nullptr,
                          &l.glowRad, &l.coneLen, &l.coneRim, &l.coneBase, &l.bright, &l.aimOff};
        std::string_view rest = text;
        for (size_t i = 0; i < std::size(reals); ++i) {
            if (i > 0) {
                auto comma = rest.find(',');
                if (comma == std::string_view::npos) return;
                rest = rest.substr(comma + 1);
            }
            if (reals[i])
                *reals[i] = float(parseReal(rest));
            else
                l.glow = parseInt(rest);
        }
    }

    std::unique_ptr<TrackObject> topCrush() {
        // ipos, pos, ipos2, pos2, theta, angles, modelName, name, cabModelName, cab, mass .. r
        if (!take(16)) return nullptr;
        auto o = std::make_unique<TrackObject>();
        position(*o, block[1]);
        Triple first = readTriple(block[1]), second = readTriple(block[3]);
        o->cabOffset = {truncateToInt(second.a - first.a), truncateToInt(second.b - first.b),
                        truncateToInt(second.c - first.c)};
        angles(*o, block[5]);
        useModel(*o, block[7]);
        o->cabModel = model(block[9]);
        if (o->cabModel) o->cabModelName.set(o->cabModel->name().view());
        motion(*o, 10);
        o->type = kObjectTopCrush;
        defaultDimensions(*o);
        return o;
    }

    enum class Section { Ramps, Boxes, TopCrush };

    // The counts come from the file and can be anything: add without wrapping.
    static void addToCount(int32_t& counter, int64_t n) {
        counter = int32_t(std::clamp<int64_t>(int64_t(counter) + n, 0, std::numeric_limits<int32_t>::max()));
    }

    // False when a clone's counts do not fit the object table.
    bool objectSection(std::string_view head, Section kind) {
        if (!skipTo(head) || !next()) return true;
        const int given = parseInt(line);
        const int free = kMaxObjects - filledSlots(t.objects);
        if (clone && kind == Section::Ramps && (given < 0 || given > kMaxObjects)) {
            failure = "Too many ramps for this track!";
            return false;
        }
        if (clone && kind == Section::Boxes &&
            (given < 0 || rampCount < 0 || int64_t(rampCount) + given > kMaxObjects)) {
            failure = "Too many ramps + boxes for this track!";
            return false;
        }
        if (kind == Section::Ramps) rampCount = given;
        const int count = std::max(0, given);
        const int wanted = std::min(count, free);
        if (clone)
            addToCount(t.missingObjects, count - wanted); // only the top crush can be cut here
        else
            addToCount(t.droppedObjects, count - wanted);
        for (int k = 0; k < wanted; ++k) {
            std::unique_ptr<TrackObject> o;
            if (findOpening())
                o = kind == Section::TopCrush ? topCrush() : rampOrBox(kind == Section::Boxes);
            if (!o) {
                addToCount(t.missingObjects, wanted - k);
                return true;
            }
            t.objects[size_t(lowestEmptySlot(t.objects))] = std::move(o);
        }
        return true;
    }

    void cylinders() {
        if (!skipTo(kCylindersHeader) || !next()) return;
        t.cylinderCount = parseInt(line);
        t.cylinderText.clear();
        for (;;) {
            const size_t at = in.position();
            if (!next()) return;
            if (line == kTopCrushHeader) {
                in.rewind(at);
                return;
            }
            appendLine(t.cylinderText, line);
        }
    }

    bool objects() {
        if (!objectSection(kRampsHeader, Section::Ramps) || !objectSection(kBoxesHeader, Section::Boxes)) return false;
        cylinders();
        return objectSection(kTopCrushHeader, Section::TopCrush);
    }

    static std::array<int32_t, 3> coursePoint(const std::string& text) {
        Triple p = readTriple(text);
        return {HorizontalFromFile(p.a).value, HorizontalFromFile(p.c).value, truncateToInt(p.b) / 2};
    }

    void segments(Course& course, int count) {
        for (int k = 0; k < count; ++k) {
            // ctype, 1,0, cstart, start, cend, end, cdec, values, &cSpeedLimit, speed and width
            if (!findOpening() || !take(10)) return;
            CourseSegment s;
            s.start = coursePoint(block[3]);
            s.end = coursePoint(block[5]);
            s.speedLimit = truncateToInt(parseReal(afterComma(block[9], 0)));
            s.trackWidth = truncateToInt(parseReal(afterComma(block[9], 1)));
            course.segments.push_back(s);
        }
    }

    void mainCourse() {
        if (!skipTo(kCourseHeader) || !next() || !next()) return;
        segments(t.mainCourse, parseInt(line));
    }

    void extendedCourses() {
        if (!skipTo(kExtendedHeader) || !next()) return;
        const int count = std::min(parseInt(line), kMaxExtendedCourses);
        for (int n = 0; n < count; ++n) {
            bool found = false;
            while (!found) {
                const size_t at = in.position();
                if (!next()) return;
                found = startsWith(line, "[Course ");
                if (!found && isSectionLine(line)) {
                    in.rewind(at);
                    return;
                }
            }
            if (!next()) return;
            const int segmentCount = parseInt(line);
            if (segmentCount < 1) continue;
            auto course = std::make_unique<Course>();
            course->segments.clear();
            segments(*course, segmentCount);
            t.extendedCourses[size_t(n)] = std::move(course);
        }
    }

    void stadiumAndBackdrop() {
        if (!skipTo(kStadiumHeader) || !next()) return;
        int flag = 0;
        std::string name;
        if (startsWith(line, "!stadiumFlag")) {
            if (!next()) return;
            flag = parseInt(afterComma(line, 0));
            if (flag) {
                t.arenaX = int16_t(parseInt(afterComma(line, 1)));
                t.arenaY = int16_t(parseInt(afterComma(line, 2)));
                t.arenaSizeX = uint16_t(parseInt(afterComma(line, 3)));
                t.arenaSizeY = uint16_t(parseInt(afterComma(line, 4)));
            }
            name = afterComma(line, 5);
        } else if (startsWith(line, "stadiumFlag")) {
            if (!next()) return;
            flag = parseInt(afterComma(line, 0));
            name = afterComma(line, 1);
        }
        if (flag)
            if (auto stadium = loadModel(name)) {
                t.backdrop = std::move(stadium);
                t.stadiumFlag = 1;
                t.RecomputeArenaOrigin();
            }

        // The count is the value line's number after the comma, below its
        // "backdropType,backdropCount" line.
        if (!skipTo(kBackdropHeader) || !next()) return;
        if (startsWith(line, "backdropType") && !next()) return;
        const int count = parseInt(afterComma(line, 1));
        if (!skipTo("backdropModelName") || !next()) return;
        if (count > 0 && !t.stadiumFlag)
            if (auto backdrop = loadModel(line)) t.backdrop = std::move(backdrop);
    }

    CTrackPOD& t;
    TrackItemSource& items;
    TextLineReader in;
    std::string line;
    std::vector<std::string> block;
    int checkpoints = 0;
    int rampCount = 0;
    bool clone = false;
};

} // namespace

void ReadSituationFile(CTrackPOD& track, TrackItemSource& items, std::span<const uint8_t> text,
                       ProgressSink* progress) {
    SituationReader reader(track, items, text);
    reader.sink = progress;
    reader.read();
    if (progress) progress->setPosition(100);
}

std::string ReadSituationFileForClone(CTrackPOD& track, std::span<const uint8_t> text) {
    MemoryItemSource none; // a clone's pictures and models are not read from the game folder
    SituationReader reader(track, none, text, true);
    reader.read();
    return reader.failure;
}

FilePosition HorizontalFromFile(double fileValue) {
    const double doubled = 2.0 * fileValue;
    if (!std::isfinite(doubled)) return {0, 0};
    double whole = std::floor(doubled);
    int fraction = int(std::lround((doubled - whole) * 256.0));
    if (fraction >= 256) {
        fraction -= 256;
        whole += 1;
    }
    int32_t value = truncateToInt(whole);
    if (value < 0) value += 16384; // a place just off the map's low edge wraps onto it
    return {value, int16_t(fraction)};
}

FilePosition HeightFromFile(double fileValue) {
    const double half = fileValue / 2.0;
    if (!std::isfinite(half)) return {0, 0};
    double whole = std::floor(half);
    int fraction = int(std::lround((half - whole) * 256.0));
    if (fraction >= 256) {
        fraction -= 256;
        whole += 1;
    }
    return {truncateToInt(whole), int16_t(fraction)};
}

} // namespace ravok
