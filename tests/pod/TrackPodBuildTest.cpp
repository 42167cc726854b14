#include "pod/TrackPodBuild.h"

#include "art/Picture.h"
#include "model/NewTrack.h"
#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodTrackList.h"
#include "pod/WritePodTexts.h"

#include "PodFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
using ravok::test::RecordedProgress;
using ravok::test::ScriptedPrompter;
using ravok::test::TempDir;

namespace {

const BuildDate kDate{2026, 12, 7};

void addTexture(CTrackPOD& t, size_t slot, const std::string& name, int side = 64, bool model = false) {
    auto texture = std::make_unique<Texture>();
    std::vector<uint8_t> pixels(size_t(side * side), uint8_t(slot));
    texture->setPicture(name, side, side, pixels.data());
    if (model)
        t.modelTextures[slot] = std::move(texture);
    else
        t.terrainTextures[slot] = std::move(texture);
}

void writePng(const std::filesystem::path& path, int side) {
    std::vector<uint8_t> bgr(size_t(side * side * 3), 90);
    std::string message;
    ASSERT_TRUE(WritePng(path, bgr.data(), side, side, size_t(side * 3), message)) << message;
}

// The items of a pod, in directory order, with their bytes.
struct PodContents {
    std::vector<std::string> names;
    CTrackPOD track;
    PodFile file;
    explicit PodContents(const std::filesystem::path& path) {
        EXPECT_TRUE(OpenPodDirectory(track, file, path));
        for (const auto& e : track.podDirectory) names.push_back(e.name.str());
    }
    Blob item(const std::string& name) {
        PodItemSource items(track, file);
        return items.findAndRead(name).value_or(Blob{});
    }
    bool has(const std::string& name) const { return std::find(names.begin(), names.end(), name) != names.end(); }
    size_t index(const std::string& name) const {
        return size_t(std::find(names.begin(), names.end(), name) - names.begin());
    }
};

struct ArtFixture {
    TempDir dir;
    std::filesystem::path art = dir / "art";
    CTrackPOD track;

    ArtFixture() {
        std::filesystem::create_directories(art);
        NewMtm2Track(track);
        track.SetTrackName("Farm Road");
        for (auto& slot : track.terrainTextures) slot.reset();
        // GRASS: a .RAW/.ACT pair in the art folder, in two slots.
        test::writeBytes(art / "grass.raw", std::vector<uint8_t>(64 * 64, 42));
        test::writeBytes(art / "GRASS.ACT", std::vector<uint8_t>(768, 7));
        addTexture(track, 0, "ART\\GRASS.RAW");
        addTexture(track, 3, "ART\\GRASS.RAW");
        // ROCK: a 256 PNG source with its pair and a normal map.
        writePng(art / "ROCK.PNG", 256);
        writePng(art / "ROCK_N.PNG", 32);
        test::writeBytes(art / "ROCK.RAW", std::vector<uint8_t>(64 * 64, 5));
        addTexture(track, 1, "ART\\ROCK.RAW");
        // LONGSTEM: a 21-character stem, "_N" fits in 31 characters, "_AO" does not.
        writePng(art / "ABCDEFGHIJKLMNOPQRSTU_N.PNG", 32);
        writePng(art / "ABCDEFGHIJKLMNOPQRSTU_AO.PNG", 32);
        addTexture(track, 2, "ART\\ABCDEFGHIJKLMNOPQRSTU.RAW");
        // A model texture with only a TGA source.
        std::vector<uint8_t> bgr(32 * 32 * 3, 1);
        std::string message;
        EXPECT_TRUE(WriteTga(art / "CRATE.TGA", bgr.data(), 32, 32, 96, message));
        addTexture(track, 0, "ART\\CRATE.RAW", 32, true);

        auto continuous = std::make_unique<TrackSound>();
        continuous->kind = 1;
        continuous->name.set("SOUND\\ENGINE.WAV");
        continuous->data = {'R', 'I', 'F', 'F', 1};
        track.sounds[0] = std::move(continuous);
        auto impact = std::make_unique<TrackSound>();
        impact->name.set("SOUND\\CRASH.WAV");
        impact->data = {'R', 'I', 'F', 'F', 2};
        track.sounds[1] = std::move(impact);
        track.SetMusic({'R', 'I', 'F', 'F', 'm'});
        track.pictures.descriptionText = {'d', 'e', 's', 'c'};
        track.versionRecord = "tool=Other\r\nAuthor = Someone\r\nLegacyFallback = 0\r\n";

        for (int i = 0; i < 2; ++i) {
            auto box = std::make_unique<GroundBox>();
            box->x = 10 + 5 * i;
            box->y = 20 + i;
            box->bottom = 80;
            box->top = uint8_t(100 + i);
            box->faces = {uint16_t(7 + i), 0, 0, 0, 0, 0};
            track.AddGroundBox(std::move(box));
        }
    }
};


} // namespace

TEST(TrackPodBuild, ItemsInOrderWithArtSoundsMusicAndGameFiles) {
    ArtFixture f;
    ScriptedPrompter prompter;
    RecordedProgress progress;
    PodBuildResult result = BuildTrackPod(f.track, f.dir / "farm.pod", f.art, &prompter, kDate, &progress);
    ASSERT_TRUE(result.written);
    EXPECT_EQ(progress.range, 90);
    EXPECT_EQ(progress.positions, (std::vector<int>{10, 30, 40, 60, 70, 80, 90}));
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.fallbackOmitted);
    EXPECT_FALSE(result.largeHdArt);
    EXPECT_EQ(result.normalMapsDropped, "    ABCDEFGHIJKLMNOPQRSTU_AO.PNG\n");
    ASSERT_EQ(prompter.shown.size(), 1u); // the normal-maps box
    EXPECT_NE(prompter.shown[0].find("These normal maps could NOT be packed"), std::string::npos);

    PodContents pod(f.dir / "farm.pod");
    const std::vector<std::string> head = {"ART\\FARMROAD.ACT",
                                           "ART\\FARMROAD.RAW",
                                           "ART\\GRASS.ACT",
                                           "ART\\GRASS.RAW",
                                           "ART\\ROCK.ACT",
                                           "ART\\ROCK.RAW",
                                           "ART\\ROCK.PNG",
                                           "ART\\ROCK_N.PNG",
                                           "ART\\ABCDEFGHIJKLMNOPQRSTU.ACT",
                                           "ART\\ABCDEFGHIJKLMNOPQRSTU.RAW",
                                           "ART\\ABCDEFGHIJKLMNOPQRSTU_N.PNG",
                                           "ART\\CRATE.ACT",
                                           "ART\\CRATE.RAW",
                                           "ART\\CRATE.TGA",
                                           "DATA\\FARMROAD.ANI",
                                           "DATA\\FARMROAD.CL0",
                                           "DATA\\FARMROAD.CL1",
                                           "DATA\\FARMROAD.CL2",
                                           "DATA\\FARMROAD.CLR",
                                           "DATA\\FARMROAD.LTE",
                                           "DATA\\FARMROAD.PUP",
                                           "DATA\\FARMROAD.RA0",
                                           "DATA\\FARMROAD.RA1",
                                           "DATA\\FARMROAD.RA2",
                                           "DATA\\FARMROAD.RA3",
                                           "DATA\\FARMROAD.RA4",
                                           "DATA\\FARMROAD.RA5",
                                           "DATA\\FARMROAD.RAW",
                                           "DATA\\FARMROAD.TEX",
                                           "DATA\\FARMROAD.TTY",
                                           "DATA\\FARMROAD.TXT",
                                           "DATA\\NULL",
                                           "DATA\\ZERO.RAW",
                                           "FOG\\FARMROAD.MAP",
                                           "LEVELS\\FARMROAD.LVL",
                                           "SOUND\\ENGINE.KLP",
                                           "SOUND\\ENGINE.WAV",
                                           "SOUND\\CRASH.WAV",
                                           "SOUND\\FARMROAD.KLP",
                                           "SOUND\\FARMROAD.WAV"};
    ASSERT_GE(pod.names.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(pod.names.begin(), pod.names.begin() + ptrdiff_t(head.size())), head);
    const std::vector<std::string> tail = {"WORLD\\FARMROAD.SIT", "DATA\\FARMROAD.RVV", "WORLD\\FARMROAD.TXT"};
    EXPECT_EQ(std::vector<std::string>(pod.names.end() - 3, pod.names.end()), tail);
    EXPECT_TRUE(pod.has("UI\\FARMROADS.BMP")); // the default pictures
    EXPECT_TRUE(pod.has("UI\\FARMROADL.BMP"));
    EXPECT_LT(pod.index("UI\\FARMROADL.BMP"), pod.index("UI\\FARMROADS.BMP")); // map before logo

    // The art folder's pair, not the memory copy; the memory copy where the
    // folder has no .RAW.
    EXPECT_EQ(pod.item("ART\\GRASS.RAW"), Blob(64 * 64, 42));
    EXPECT_EQ(pod.item("ART\\GRASS.ACT"), Blob(768, 7));
    EXPECT_EQ(pod.item("ART\\CRATE.RAW"), Blob(32 * 32, 0));
    EXPECT_EQ(pod.item("SOUND\\ENGINE.KLP"), (Blob{'1', ' ', '0', ' ', '0', '\r', '\n'}));
    EXPECT_EQ(pod.item("DATA\\FARMROAD.CL1").size(), 262144u);
    EXPECT_EQ(pod.item("DATA\\ZERO.RAW"), Blob(78, 0));
    EXPECT_FALSE(pod.has("FOG\\FARMROAD.MIX"));

    // Ground boxes at their cell offsets.
    const Blob ra0 = pod.item("DATA\\FARMROAD.RA0"), ra1 = pod.item("DATA\\FARMROAD.RA1");
    const Blob cl0 = pod.item("DATA\\FARMROAD.CL0");
    ASSERT_EQ(cl0.size(), 786432u);
    for (int i = 0; i < 2; ++i) {
        const size_t cell = size_t((20 + i) * 256 + 10 + 5 * i);
        EXPECT_EQ(ra0[cell], 80);
        EXPECT_EQ(ra1[cell], 100 + i);
        EXPECT_EQ(cl0[cell * 12], 7 + i);
    }

    // The version record carries the line of its own key only.
    const Blob rvv = pod.item("DATA\\FARMROAD.RVV");
    EXPECT_EQ(std::string(rvv.begin(), rvv.end()),
              "# MTM2 track version record - written by Ravok\r\nformatVersion=1\r\ntool=Ravok\r\n"
              "toolVersion=1.6.7\r\nbuilt=2026-12-07\r\nlegacyFallback=1\r\nhdTextures=0\r\n"
              "# carried over from the previous build\r\nAuthor = Someone\r\n");

    // The pod lists the track.
    PodTrackList list = ListPodSituationFiles(f.dir / "farm.pod");
    ASSERT_EQ(list.tracks.size(), 1u);
    EXPECT_EQ(list.tracks[0].displayName, "Farm Road");
}

TEST(TrackPodBuild, OmittedFallbackLargeArtMtm1AndBadTextures) {
    ArtFixture f;
    f.track.omitLegacyFallback = 1;
    writePng(f.art / "BIG.PNG", 512);
    addTexture(f.track, 4, "ART\\BIG.RAW");
    FallbackEstimate estimate = EstimateLegacyFallback(f.track, f.art);
    // ROCK 256 and BIG 512 in the two terrain slots that have sources, CRATE 32 in the models.
    EXPECT_EQ(estimate.terrain, 256 * 256 + 768 + 512 * 512 + 768);
    EXPECT_EQ(estimate.modelArt, 32 * 32 + 768);
    EXPECT_EQ(estimate.total, estimate.terrain + estimate.modelArt);
    EXPECT_EQ(FallbackEstimate::kilobytes(estimate.modelArt), 2);

    PodBuildResult result = BuildTrackPod(f.track, f.dir / "omit.pod", f.art, nullptr, kDate);
    ASSERT_TRUE(result.ok);
    EXPECT_TRUE(result.fallbackOmitted);
    EXPECT_TRUE(result.largeHdArt);
    PodContents pod(f.dir / "omit.pod");
    EXPECT_TRUE(pod.has("ART\\ROCK.PNG"));
    EXPECT_FALSE(pod.has("ART\\ROCK.RAW"));
    EXPECT_TRUE(pod.has("ART\\GRASS.RAW")); // no source: the pair stays
    EXPECT_TRUE(pod.has("WORLD\\FARMROAD.SI2"));
    EXPECT_FALSE(pod.has("WORLD\\FARMROAD.SIT"));
    const Blob rvv = pod.item("DATA\\FARMROAD.RVV");
    const std::string record(rvv.begin(), rvv.end());
    EXPECT_NE(record.find("legacyFallback=0\r\nhdTextures=1\r\n"), std::string::npos);

    // A folder under a source's name is no source: the texture keeps its
    // .RAW/.ACT from memory and the folder is not packed.
    std::filesystem::create_directories(f.art / "MUD.PNG");
    addTexture(f.track, 5, "ART\\MUD.RAW");
    result = BuildTrackPod(f.track, f.dir / "omit2.pod", f.art, nullptr, kDate);
    EXPECT_TRUE(result.ok) << result.texturesNotPacked;
    PodContents omit2(f.dir / "omit2.pod");
    EXPECT_EQ(omit2.item("ART\\MUD.RAW"), Blob(64 * 64, 5));
    EXPECT_FALSE(omit2.has("ART\\MUD.PNG"));
    f.track.terrainTextures[5].reset();

    // MTM1: three fog tables after the map; a bad texture fails the build.
    CTrackPOD old;
    NewMtm1Track(old);
    old.SetTrackName("Old One");
    addTexture(old, 0, "ART\\GONE.RAW");
    old.terrainTextures[0]->bad = 1;
    auto empty = std::make_unique<Texture>();
    empty->setName("ART\\EMPTY.RAW");
    old.terrainTextures[1] = std::move(empty);
    ScriptedPrompter prompter;
    result = BuildTrackPod(old, f.dir / "old.pod", f.art, &prompter, kDate);
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.texturesNotPacked, "    ART\\GONE.RAW  -  could not be loaded when the track was opened\n"
                                        "    ART\\EMPTY.RAW  -  nothing in memory to write\n");
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_NE(prompter.shown.back().find("these textures could not be packed properly"), std::string::npos);
    PodContents mtm1(f.dir / "old.pod");
    const size_t map = mtm1.index("FOG\\OLDONE.MAP");
    ASSERT_LT(map + 4, mtm1.names.size());
    EXPECT_EQ(mtm1.names[map + 1], "FOG\\OLDONE.MIX");
    EXPECT_EQ(mtm1.names[map + 2], "FOG\\OLDONE.FOG");
    EXPECT_EQ(mtm1.names[map + 3], "FOG\\OLDONE.LTE");
    EXPECT_EQ(mtm1.names[map + 4], "LEVELS\\OLDONE.LVL");
    EXPECT_EQ(mtm1.item("FOG\\OLDONE.MIX").size(), 7936u);
    EXPECT_EQ(mtm1.item("FOG\\OLDONE.FOG").size(), 4096u);
    EXPECT_TRUE(mtm1.has("ART\\GONE.RAW")); // packed as far as it can be
    EXPECT_FALSE(mtm1.has("WORLD\\OLDONE.TXT"));
    EXPECT_EQ(mtm1.track.podDirectory[mtm1.index("DATA\\OLDONE.TXT")].size, 0u);
}

// A texture of the track's own stem would be shadowed by the track palette's
// ART\<stem>.RAW, a backdrop name too long for an entry cannot be packed and
// a model file that is no model has nothing to pack: each is listed, the
// build fails, and everything else is in the pod.
TEST(TrackPodBuild, ListsWhatItCannotPackAndPacksTheRest) {
    TempDir dir;
    CTrackPOD t;
    NewMtm2Track(t);
    t.SetTrackName("Grass");
    ASSERT_EQ(t.WorldName, "GRASS");
    for (auto& slot : t.terrainTextures) slot.reset();
    addTexture(t, 1, "ART\\GRASS.RAW");
    addTexture(t, 2, "ART\\ROCK.RAW");
    t.backdrop = std::make_unique<Model>();
    ASSERT_TRUE(t.backdrop->read("A_LONGER_BACKDROP_NAME.BIN", test::tinyModel("ROCK.RAW")));
    auto junk = std::make_unique<Model>();
    const std::string notAModel = "this is a text file, not a model";
    EXPECT_FALSE(junk->read("MODELS\\JUNK.BIN", std::span(reinterpret_cast<const uint8_t*>(notAModel.data()),
                                                          notAModel.size())));
    t.models[0] = std::move(junk);

    ScriptedPrompter prompter;
    const auto result = BuildTrackPod(t, dir / "t.pod", dir / "art", &prompter, kDate);
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.texturesNotPacked, "    ART\\GRASS.RAW  -  its name is the track's palette entry - rename the "
                                        "texture\n");
    EXPECT_EQ(result.itemsNotPacked,
              "    MODELS\\JUNK.BIN  -  the model could not be read when the track was opened\n"
              "    MODELS\\A_LONGER_BACKDROP_NAME.BIN  -  the name is longer than the 31 characters a pod "
              "entry holds\n");
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().rfind("Items not packed: The pod was written, but these items could not be "
                                          "packed:\n\n    MODELS\\JUNK.BIN",
                                          0),
              0u)
        << prompter.shown.back();

    PodContents pod(dir / "t.pod");
    EXPECT_EQ(pod.item("ART\\GRASS.RAW"), Blob(4096, 0)); // only the palette placeholder
    EXPECT_EQ(std::count(pod.names.begin(), pod.names.end(), "ART\\GRASS.RAW"), 1);
    EXPECT_EQ(pod.item("ART\\ROCK.RAW"), Blob(4096, 2));
    EXPECT_FALSE(pod.has("MODELS\\JUNK.BIN"));
    EXPECT_TRUE(pod.has("WORLD\\GRASS.SIT"));
    EXPECT_TRUE(pod.has("DATA\\GRASS.RVV"));
}
