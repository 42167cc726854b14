#include "pod/SituationFile.h"

#include "base/ByteWriter.h"
#include "model/NewTrack.h"
#include "pod/LevelFile.h"

#include "PodFixture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace ravok;
using ravok::test::blobOf;
using ravok::test::PodFixture;

namespace {

const std::string kStars(45, '*');

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

// A one-vertex BIN model.
Blob tinyModel() {
    ByteWriter w;
    w.i32LE(20);
    w.zeros(12);
    w.i32LE(1);
    for (int32_t c : {0, 0, 0}) w.i32LE(c);
    w.i32LE(0);
    return w.bytes();
}

// The expected text of a truck entry from its first "ipos" on.
void expectTruck(std::vector<std::string>& e, const std::string& position, int course) {
    for (std::string s : {std::string("ipos"), position, std::string("bvel"), std::string("0,0,0"),
                          std::string("theta,phi,psi"), std::string("0.000000,0.000000,0.000000")})
        e.push_back(s);
    for (const char* s : {"p,q,r", "0,0,0", "faxle.angle,faxle.steering_angle", "0,0",
                          "faxle.rtire.on_gnd,faxle.ltire.on_gnd", "-1,1", "raxle.angle,raxle.steering_angle", "0,0",
                          "raxle.rtire.on_gnd,raxle.ltire.on_gnd", "-1,1", "xm.gear", "4", "ap.autopilot,ap.cnumber",
                          "0,1", "ap.speed_control,ap.course_control,ap.lasterror", "0,0,0", "!ap.courseToFollow"})
        e.push_back(s);
    e.push_back(std::to_string(course));
    for (const char* s : {"$heliTimer,heliTheta,heliPhi,heliPsi", "0,0,0,0", "heliPos", "0,0,0",
                          "^segments,laps,staged,bonusLaps,finishedRace,nextcheckpoint", "0,0,0,0,0,0",
                          "totalracetime,fastestLap,dragTimer", "0,0,0"})
        e.push_back(s);
    for (int lap = 0; lap < 20; ++lap) {
        e.push_back("***Lap time***");
        e.push_back("0");
        e.push_back("*****Checkpoint times*****");
        for (int i = 0; i < 20; ++i) e.push_back("0");
    }
}

// A small MTM2 track: a ramp, a light, a top-crush object, a course.
void smallTrack(CTrackPOD& t) {
    NewMtm2Track(t);
    t.SetWorldName("FARM");
    t.SetTrackName("Farm Road");
    t.locale.set("Ohio");
    t.SetRaceType(3);
    for (auto& o : t.objects) o.reset();
    t.mainCourse.clear();
    for (auto& c : t.extendedCourses) c.reset();
    t.vehicles[2].x = 1000;
    t.vehicles[2].y = 2001;
    t.vehicles[2].z = 51;
    t.vehicles[2].extra = 1;

    auto ramp = std::make_unique<TrackObject>();
    ramp->type = kObjectRamp;
    ramp->x = 101;
    ramp->xFraction = 128;
    ramp->y = 200;
    ramp->z = 50;
    ramp->zFraction = 64;
    ramp->length = 30;
    ramp->width = 40;
    ramp->height = 5;
    ramp->theta = 0.5f;
    t.objects[0] = std::move(ramp);

    auto light = std::make_unique<TrackObject>();
    light->type = kObjectLight;
    light->flags = 3;
    light->priority = 2;
    light->modelName.set("MODELS\\LAMP.BIN");
    light->mass = 10;
    light->bvel = {1, 2, 3};
    light->p = 4;
    light->q = 5;
    light->r = 6;
    light->impactSound.set("CRASH.WAV");
    t.objects[5] = std::move(light);

    auto crush = std::make_unique<TrackObject>();
    crush->type = kObjectTopCrush;
    crush->x = 64;
    crush->y = 64;
    crush->z = 10;
    crush->cabOffset = {2, -4, 6};
    crush->modelName.set("MODELS\\CAR.BIN");
    t.objects[9] = std::move(crush);

    CourseSegment s;
    s.start = {100, 200, 30};
    s.end = {300, 400, 31};
    s.speedLimit = 25;
    s.trackWidth = 12;
    t.mainCourse.segments = {s};
    t.extendedCourses[1] = std::make_unique<Course>();
    t.extendedCourses[1]->segments = {s, s};
    t.cylinderCount = 1;
    t.cylinderText = "cylinder line one\r\ncylinder line two\r\n";
}

} // namespace

TEST(SituationFile, WrittenTextFollowsTheFormatLineByLine) {
    CTrackPOD t;
    smallTrack(t);
    std::vector<std::string> e = {"FARM.lvl",
                                  "!Race Track Name",
                                  "Farm Road",
                                  "Race Track Locale",
                                  "Ohio",
                                  "Track Longtitude, Latitude",
                                  "7947984,7947988",
                                  "Track Logo .BMP file",
                                  "FARMS.BMP",
                                  "Track Map .BMP file",
                                  "FARML.BMP",
                                  "Track Fly-By .AVI file",
                                  "Sonic",
                                  "Track Announcer .WAV file",
                                  "Track",
                                  "Track Description .TXT file",
                                  "0,0",
                                  "Track Race Type",
                                  "3",
                                  "@Redbook Audio Track",
                                  "2",
                                  "!ambient sound,track length,weather mask",
                                  "14,5000.000000,65535",
                                  "viewmode,spotd,spotp,spoth,zoom",
                                  "0,16384,-16383,24832,98304",
                                  "$racetime, raceStartTime, dragDebugTimer",
                                  "0.000000,0.000000,0.000000",
                                  "controlflag, autoShift, autoStage, bothStaged, bothStagedPrev",
                                  "0,1,0,0,0",
                                  "stageComFlag, bonusLapFlag",
                                  "0,0",
                                  "*** Your Truck (Not used anymore) ***",
                                  kStars,
                                  "truckFile",
                                  "powerbig.trk"};
    expectTruck(e, "4096.000000,200.000000,4096.000000", 0);
    e.push_back("*** Vehicles ***");
    e.push_back("8");
    const char* trucks[] = {"bigfoot.trk", "grave.trk",    "boogey.trk",  "wildfoot.trk",
                            "bearfoot.trk", "snakebit.trk", "rampage.trk", "overkill.trk"};
    for (int i = 0; i < 8; ++i) {
        e.push_back(kStars);
        e.push_back("truckFile");
        e.push_back(trucks[i]);
        expectTruck(e, i == 1 ? "500.000000,102.000000,1000.500000" : "4096.000000,200.000000,4096.000000",
                    i == 1 ? 1 : 0);
    }
    for (const char* s : {"*** Ramps ***", "1", kStars.c_str(), "ipos", "50.750000,100.500000,100.000000",
                          "theta,phi,psi", "0.500000,0.000000,0.000000", "length,width,height",
                          "30.000000,40.000000,5.000000", "mass", "0.000000", "bvel", "0.000000,0.000000,0.000000",
                          "p,q,r", "0.000000,0.000000,0.000000"})
        e.push_back(s);
    for (const char* s :
         {"*** Boxes ***", "1", kStars.c_str(), "ipos", "4096.000000,200.000000,4096.000000", "theta,phi,psi",
          "0.000000,0.000000,0.000000", "model", "LAMP.BIN", "mass", "10.000000", "bvel",
          "1.000000,3.000000,2.000000", "p,q,r", "4.000000,6.000000,5.000000", "!type,flags", "12,3", "priority", "2",
          "@sound effect entries", "CRASH.WAV", "NULL.WAV", "0,0",
          "Llight rad,hgt,r,g,b,glow,glowRad,coneLen,coneRim,coneBase,bright,aimOff",
          "64.000000,8.000000,1.000000,1.000000,1.000000,0,6.000000,125.000000,10.000000,3.500000,1.000000,0.000000",
          "*** Cylinders ***", "1", "cylinder line one", "cylinder line two", "*** Top Crush ***", "1",
          kStars.c_str(), "ipos", "32.000000,20.000000,32.000000", "ipos2", "34.000000,16.000000,38.000000",
          "theta,phi,psi", "0.000000,0.000000,0.000000", "modelName", "CAR.BIN", "cabModelName", "NULL", "mass",
          "0.000000", "bvel", "0.000000,0.000000,0.000000", "p,q,r", "0.000000,0.000000,0.000000"})
        e.push_back(s);
    auto segment = [&](int k) {
        for (std::string s : {kStars + " " + std::to_string(2 * k + 1), std::string("ctype,cspeed_type"),
                              std::string("1,0"), std::string("cstart"), std::string("50.000000,60.000000,100.000000"),
                              std::string("cend"), std::string("150.000000,62.000000,200.000000"),
                              std::string("cdec_point,cspeed,lastentry"), std::string("30.000000,0.000000,0"),
                              std::string("&cSpeedLimit,cTrackWidth"), std::string("25.000000,12.000000")})
            e.push_back(s);
    };
    e.push_back("*** Course ***");
    e.push_back("c1Count,course_direction");
    e.push_back("1,0");
    segment(0);
    e.push_back("@*********** Extended Course Definitions *************");
    e.push_back("4");
    for (int n = 1; n <= 4; ++n) {
        e.push_back("[Course " + std::to_string(n) + "] c1Count,course_direction");
        e.push_back(n == 2 ? "2,0" : "0,0");
        if (n == 2) {
            segment(0);
            segment(1);
        }
    }
    for (const char* s : {"*** Stadium ***", "stadiumFlag,stadiumModelName", "0,none", "*** Backdrop ***",
                          "backdropType,backdropCount", "0,0", "backdropModelName", ""})
        e.push_back(s);

    std::vector<std::string> got = splitLines(SituationFileText(t));
    ASSERT_EQ(got.size(), e.size());
    for (size_t i = 0; i < e.size(); ++i) ASSERT_EQ(got[i], e[i]) << "line " << i + 1;
    EXPECT_EQ(WriteSituationFile(t).size(), SituationFileText(t).size());
}

TEST(SituationFile, StadiumAndBackdropForms) {
    auto tail = [](const CTrackPOD& t) {
        auto lines = splitLines(SituationFileText(t));
        return std::vector<std::string>(lines.end() - 8, lines.end());
    };
    CTrackPOD t;
    smallTrack(t);
    t.backdrop = std::make_unique<Model>();
    ASSERT_TRUE(t.backdrop->read("MODELS\\HILLS.BIN", tinyModel()));
    EXPECT_EQ(tail(t), (std::vector<std::string>{"*** Stadium ***", "stadiumFlag,stadiumModelName", "0,none",
                                                 "*** Backdrop ***", "backdropType,backdropCount", "0,1",
                                                 "backdropModelName", "HILLS.BIN"}));
    t.stadiumFlag = 1;
    t.arenaX = 100;
    t.arenaY = 110;
    t.arenaSizeX = 20;
    t.arenaSizeY = 22;
    EXPECT_EQ(tail(t), (std::vector<std::string>{"*** Stadium ***", "!stadiumFlag,x,z,sx,sz,stadiumModelName",
                                                 "1,100,110,20,22,HILLS.BIN", "*** Backdrop ***",
                                                 "backdropType,backdropCount", "0,0", "backdropModelName", ""}));
    // Read back from a pod holding the model: the stadium and its arena.
    PodFixture pod({{"MODELS\\HILLS.BIN", tinyModel()}});
    auto items = pod.source();
    CTrackPOD back;
    back.Clear();
    ReadSituationFile(back, items, WriteSituationFile(t));
    EXPECT_EQ(back.stadiumFlag, 1u);
    EXPECT_EQ(back.arenaX, 100);
    EXPECT_EQ(back.arenaSizeY, 22);
    ASSERT_TRUE(back.backdrop);
    EXPECT_EQ(back.backdrop->name().str(), "MODELS\\HILLS.BIN");
    t.stadiumFlag = 0;
    back.Clear();
    ReadSituationFile(back, items, WriteSituationFile(t));
    EXPECT_EQ(back.stadiumFlag, 0u);
    EXPECT_TRUE(back.backdrop);
    t.stadiumFlag = 1;

    t.GameFlags &= ~1u; // MTM1: no arena numbers, no ambient line
    EXPECT_EQ(tail(t)[1], "stadiumFlag,stadiumModelName");
    EXPECT_EQ(tail(t)[2], "1,HILLS.BIN");
    EXPECT_EQ(SituationFileText(t).find("!ambient"), std::string::npos);
}

TEST(SituationFile, RoundTripThroughAPodKeepsAllButTheListedDifferences) {
    CTrackPOD t;
    smallTrack(t);
    t.terrain.heights.assign(65536, 3);
    PodFixture pod({{"LEVELS\\FARM.LVL", WriteLevelFile(t)},
                    {"DATA\\FARM.RAW", t.terrain.heights},
                    {"MODELS\\LAMP.BIN", tinyModel()},
                    {"MODELS\\CAR.BIN", tinyModel()},
                    {"UI\\FARMS.BMP", blobOf("BMlogo")},
                    {"UI\\FARMS.PNG", blobOf("png bytes")}});
    auto items = pod.source();
    CTrackPOD back;
    NewMtm1Track(back);
    back.Clear();
    for (auto& o : back.objects) o.reset();
    back.mainCourse.segments.clear();
    ReadSituationFile(back, items, WriteSituationFile(t));

    EXPECT_EQ(back.WorldName.str(), "FARM");
    EXPECT_EQ(back.terrain.heights[0], 3);
    EXPECT_EQ(back.trackName.str(), "Farm Road");
    EXPECT_EQ(back.locale.str(), "Ohio");
    EXPECT_EQ(back.RaceType, 3);
    EXPECT_TRUE(back.isMtm2());
    EXPECT_EQ(back.browseBitmapName.str(), "FARMS.BMP");
    EXPECT_EQ(back.pictures.browseBitmap, blobOf("BMlogo"));
    EXPECT_EQ(back.pictures.hdArt[0], blobOf("png bytes"));
    EXPECT_TRUE(back.iconBitmapName.empty()); // not in the pod

    EXPECT_EQ(back.vehicles[2].x, 1000);
    EXPECT_EQ(back.vehicles[2].y, 2001);
    EXPECT_EQ(back.vehicles[2].z, 51);
    EXPECT_EQ(back.vehicles[2].extra, 1);
    EXPECT_EQ(back.vehicles[8].truckFile.str(), "overkill.trk");

    ASSERT_EQ(filledSlots(back.objects), 3);
    const TrackObject& ramp = *back.objects[0];
    EXPECT_EQ(ramp.type, kObjectRamp);
    EXPECT_EQ(ramp.x, 101);
    EXPECT_EQ(ramp.xFraction, 128);
    EXPECT_EQ(ramp.z, 50);
    EXPECT_EQ(ramp.zFraction, 64);
    EXPECT_EQ(ramp.length, 30);
    EXPECT_FLOAT_EQ(ramp.theta, 0.5f);
    const TrackObject& light = *back.objects[1];
    EXPECT_EQ(light.type, kObjectLight);
    EXPECT_EQ(light.flags, 3);
    EXPECT_EQ(light.priority, 2);
    ASSERT_NE(light.model, nullptr);
    EXPECT_EQ(light.modelName.str(), "MODELS\\LAMP.BIN");
    EXPECT_EQ(light.length, 64); // a box with a model takes the default dimensions
    EXPECT_EQ(light.bvel, (std::array<float, 3>{1, 2, 3}));
    EXPECT_FLOAT_EQ(light.q, 5);
    EXPECT_FLOAT_EQ(light.light.coneLen, 125);
    EXPECT_EQ(light.impactSound.str(), "NULL.WAV"); // sound names are not read back
    const TrackObject& crush = *back.objects[2];
    EXPECT_EQ(crush.type, kObjectTopCrush);
    EXPECT_EQ(crush.cabOffset, (std::array<int32_t, 3>{2, -4, 6}));
    EXPECT_EQ(crush.modelName.str(), "MODELS\\CAR.BIN");
    EXPECT_EQ(crush.cabModel, nullptr);
    EXPECT_EQ(filledSlots(back.models), 2); // each model read once

    EXPECT_EQ(back.cylinderCount, 1);
    EXPECT_EQ(back.cylinderText, t.cylinderText);
    ASSERT_EQ(back.mainCourse.segments.size(), 1u);
    const CourseSegment& s = back.mainCourse.segments[0];
    EXPECT_EQ(s.start, (std::array<int32_t, 3>{100, 200, 30}));
    EXPECT_EQ(s.end, (std::array<int32_t, 3>{300, 400, 31}));
    EXPECT_EQ(s.speedLimit, 25);
    EXPECT_EQ(s.trackWidth, 12);
    EXPECT_FALSE(back.extendedCourses[0]);
    ASSERT_TRUE(back.extendedCourses[1]);
    EXPECT_EQ(back.extendedCourses[1]->segments.size(), 2u);
    EXPECT_EQ(back.missingObjects, 0);
    EXPECT_EQ(SituationProblemText(back), "");

    // The text written again from what was read is the same, but for the
    // sound names, which are not read back.
    std::string first = SituationFileText(t);
    first.replace(first.find("CRASH.WAV"), 9, "NULL.WAV");
    EXPECT_EQ(SituationFileText(back), first);
}

namespace {

// A minimal valid header with an MTM1 or MTM2 form.
std::string header(bool ambient) {
    std::string h = "NONE.lvl\r\n!Race Track Name\r\nName\r\nRace Track Locale\r\nHere\r\nTrack Longtitude, "
                    "Latitude\r\n1,2\r\nTrack Logo .BMP file\r\nUI\\LOGOS.BMP\r\nTrack Map .BMP file\r\nMAPL.BMP\r\n"
                    "Track Fly-By .AVI file\r\nx\r\nTrack Announcer .WAV file\r\nx\r\nTrack Description .TXT file\r\n"
                    "x\r\nTrack Race Type\r\n4\r\n@Redbook Audio Track\r\n2\r\n";
    if (ambient) h += "!ambient sound,track length,weather mask\r\n7,123.5,9\r\n";
    return h + "viewmode,spotd,spotp,spoth,zoom\r\n0\r\n$racetime, raceStartTime, dragDebugTimer\r\n0\r\n"
               "controlflag, autoShift, autoStage, bothStaged, bothStagedPrev\r\n0\r\n"
               "stageComFlag, bonusLapFlag\r\n0\r\n*** Your Truck (Not used anymore) ***\r\n" + kStars +
               "\r\ntruckFile\r\nme.trk\r\nipos\r\n1,2,3\r\nbvel\r\n0,0,0\r\ntheta,phi,psi\r\n0,0,0\r\n"
               "*** Vehicles ***\r\n0\r\n";
}

std::string rampBody(const std::string& x) {
    return kStars + "\r\nipos\r\n" + x + ",0,0\r\ntheta,phi,psi\r\n0,0,0\r\nlength,width,height\r\n1,2,3\r\n"
                                         "mass\r\n0\r\nbvel\r\n0,0,0\r\np,q,r\r\n0,0,0\r\n";
}

const std::string kNoObjects =
    "*** Ramps ***\r\n0\r\n*** Boxes ***\r\n0\r\n*** Cylinders ***\r\n0\r\n*** Top Crush ***\r\n0\r\n";

void readText(CTrackPOD& t, const std::string& text) {
    PodFixture pod({{"DATA\\X", blobOf("x")}});
    auto items = pod.source();
    t.Clear();
    for (auto& o : t.objects) o.reset();
    ReadSituationFile(t, items, blobOf(text));
}

} // namespace

TEST(SituationFile, HeadersMismatchesAndShortFilesEndReadingQuietly) {
    CTrackPOD t;
    readText(t, "NONE.lvl\r\nRace Track Name\r\nName\r\n");
    EXPECT_EQ(t.trackName.str(), "new track"); // nothing after line 1 was taken
    EXPECT_TRUE(t.WorldName.empty());           // no such level file in the pod

    readText(t, header(false) + "*** Ramps ***\r\n1\r\n" + rampBody("-0.25"));
    EXPECT_EQ(t.trackName.str(), "Name");
    EXPECT_EQ(t.RaceType, 4);
    EXPECT_FALSE(t.isMtm2());
    ASSERT_EQ(filledSlots(t.objects), 1);
    EXPECT_EQ(t.objects[0]->x, 16383);
    EXPECT_EQ(t.objects[0]->xFraction, 128);
    EXPECT_TRUE(t.mainCourse.segments.empty()); // the file ended before the courses

    readText(t, header(true));
    EXPECT_TRUE(t.isMtm2());
    EXPECT_EQ(t.ambientSound, 7);
    EXPECT_EQ(t.weatherMask, 9u);

    // A wrong line among the four fixed headers stops there.
    std::string broken = header(true);
    broken.replace(broken.find("stageComFlag"), 5, "STAGE");
    readText(t, broken + "*** Ramps ***\r\n1\r\n" + rampBody("1"));
    EXPECT_EQ(filledSlots(t.objects), 0);

    // A file that ends inside the extended courses.
    readText(t, header(true) + kNoObjects + "*** Course ***\r\nc1Count,course_direction\r\n1,0\r\n" + kStars +
                    " 1\r\nctype\r\n1,0\r\ncstart\r\n-0.5,21,10\r\ncend\r\n1,2,3\r\ncdec\r\n0\r\n&c\r\n5.9,16\r\n"
                    "@*********** Extended Course Definitions *************\r\n9\r\n[Course 1] c1Count\r\n3,0\r\n");
    ASSERT_EQ(t.mainCourse.segments.size(), 1u);
    EXPECT_EQ(t.mainCourse.segments[0].start, (std::array<int32_t, 3>{16383, 20, 10}));
    EXPECT_EQ(t.mainCourse.segments[0].speedLimit, 5);
    ASSERT_TRUE(t.extendedCourses[0]);
    EXPECT_TRUE(t.extendedCourses[0]->segments.empty());
    EXPECT_FALSE(t.extendedCourses[1]);
}

TEST(SituationFile, MissingAndDroppedObjectsAreCountedAndReported) {
    CTrackPOD t;
    std::string three = rampBody("1") + rampBody("2") + rampBody("3");
    readText(t, header(true) + "*** Ramps ***\r\n5\r\n" + three + "*** Boxes ***\r\n1\r\n" + rampBody("9") +
                    "!type,flags\r\n6,0\r\npriority\r\n0\r\n@sound effect entries\r\nA.WAV\r\nB.WAV\r\n0,0\r\n"
                    "Llight rad\r\n1,2\r\n");
    EXPECT_EQ(filledSlots(t.objects), 4);
    EXPECT_EQ(t.missingObjects, 2);
    EXPECT_EQ(t.objects[3]->type, kObjectCheckpoint);
    EXPECT_EQ(t.objects[3]->sequence, 0);
    EXPECT_FLOAT_EQ(t.objects[3]->light.rad, 1);
    EXPECT_FLOAT_EQ(t.objects[3]->light.hgt, 2);
    EXPECT_FLOAT_EQ(t.objects[3]->light.r, 1); // stops at the first missing comma
    EXPECT_EQ(SituationProblemText(t).substr(0, 69),
              "The track's situation file (.SIT / .SI2) says it holds 2 more objects");

    std::string many;
    for (int i = 0; i < 4100; ++i) many += rampBody("1");
    readText(t, header(true) + "*** Ramps ***\r\n4100\r\n" + many + "*** Boxes ***\r\n2\r\n");
    EXPECT_EQ(filledSlots(t.objects), kMaxObjects);
    EXPECT_EQ(t.droppedObjects, 6);
    EXPECT_EQ(t.missingObjects, 0);
    EXPECT_EQ(SituationProblemText(t),
              "6 objects could not be kept: the track holds more than the 4096 this version of Ravok supports.");
    t.missingObjects = 1;
    t.droppedObjects = 1;
    std::string both = SituationProblemText(t);
    EXPECT_NE(both.find("holds 1 more object than"), std::string::npos);
    EXPECT_NE(both.find("Writing the track from Ravok writes the correct count.\n\n1 object could not"),
              std::string::npos);
}

// Counts of the largest size a file can state: the dropped and missing
// objects are counted without wrapping and stop at the largest count.
TEST(SituationFile, HugeObjectCountsNeverWrap) {
    CTrackPOD t;
    const std::string huge = "2147483647";
    readText(t, header(true) + "*** Ramps ***\r\n" + huge + "\r\n*** Boxes ***\r\n" + huge + "\r\n");
    EXPECT_EQ(t.droppedObjects, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(t.missingObjects, 4096 * 2);
    EXPECT_NE(SituationProblemText(t).find("2147483647 objects could not be kept"), std::string::npos)
        << SituationProblemText(t);

    // A clone cuts the top crush to the places left and counts the rest missing.
    CTrackPOD clone;
    const std::string text = header(true) + "*** Ramps ***\r\n0\r\n*** Boxes ***\r\n0\r\n*** Cylinders ***\r\n0\r\n"
                                            "*** Top Crush ***\r\n" + huge + "\r\n";
    EXPECT_EQ(ReadSituationFileForClone(clone, blobOf(text)), "");
    EXPECT_EQ(clone.missingObjects, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(clone.droppedObjects, 0);
}
