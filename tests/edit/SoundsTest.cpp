#include "edit/TrackSounds.h"

#include "model/NativeFile.h"
#include "model/TrackPod.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace ravok;
namespace fs = std::filesystem;

namespace {
const std::vector<uint8_t> kWav{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

struct TrackSounds : ::testing::Test {
    test::TempDir root;
    fs::path sounds = root / "sound";
    CTrackPOD track;
    TrackObject& object(int slot) { return *track.objects[size_t(slot)]; }
    void SetUp() override {
        fs::create_directories(sounds);
        test::writeBytes(sounds / "horn.wav", kWav); // any letter case on disk
        test::writeBytes(sounds / "RAIN.WAV", kWav);
        for (int i = 0; i < 3; ++i)
            track.AddObject(std::make_unique<TrackObject>());
    }
};
} // namespace

TEST_F(TrackSounds, LoadsAWavOnceAndKeepsItThroughASave) {
    SoundChoice first = ChooseObjectSound(track, object(0), SoundKind::Impact, "horn.wav", sounds);
    EXPECT_TRUE(first.loaded);
    EXPECT_TRUE(first.notice.empty());
    EXPECT_EQ(object(0).impactSound, "HORN.WAV");
    ASSERT_EQ(track.counts().sounds, 1);
    const TrackSound& sound = *track.sounds[0];
    EXPECT_EQ(sound.name, "SOUND\\HORN.WAV");
    EXPECT_EQ(sound.kind, 0u);
    EXPECT_EQ(sound.data, kWav);

    SoundChoice again = ChooseObjectSound(track, object(1), SoundKind::Impact, "HORN.WAV", sounds);
    EXPECT_FALSE(again.loaded);
    EXPECT_EQ(object(1).impactSound, "HORN.WAV");
    EXPECT_EQ(track.counts().sounds, 1);

    // The track file keeps a sound only when an object names it exactly.
    auto bytes = SaveBinaryToMemory(track);
    CTrackPOD reread;
    ASSERT_TRUE(LoadBinaryFromMemory(reread, bytes));
    EXPECT_EQ(reread.counts().sounds, 1);
}

TEST_F(TrackSounds, ASoundIsOneKindOrTheOther) {
    ChooseObjectSound(track, object(0), SoundKind::Impact, "HORN.WAV", sounds);
    SoundChoice asContinuous = ChooseObjectSound(track, object(1), SoundKind::Continuous, "HORN.WAV", sounds);
    EXPECT_EQ(
        asContinuous.notice.text,
        "Continuous sound already loaded as impact sound.\nSounds can only be used as one or the other.");
    EXPECT_EQ(object(1).continuousSound, "NULL.WAV");

    SoundChoice rain = ChooseObjectSound(track, object(1), SoundKind::Continuous, "rain.wav", sounds);
    EXPECT_TRUE(rain.loaded);
    EXPECT_EQ(track.sounds[1]->kind, 1u);
    SoundChoice asImpact = ChooseObjectSound(track, object(2), SoundKind::Impact, "RAIN.WAV", sounds);
    EXPECT_EQ(
        asImpact.notice.text,
        "Impact sound already loaded as continuous sound.\nSounds can only be used as one or the other.");
    EXPECT_EQ(object(2).impactSound, "NULL.WAV");
}

TEST_F(TrackSounds, EmptyNamesStockSoundsAndTheLimit) {
    ChooseObjectSound(track, object(0), SoundKind::Impact, "", sounds);
    EXPECT_EQ(object(0).impactSound, "NULL");
    SoundChoice stock =
        ChooseObjectSound(track, object(0), SoundKind::Impact, StockSoundFieldName("airhorn"), sounds);
    EXPECT_TRUE(stock.notFound);
    EXPECT_EQ(object(0).impactSound, "AIRHORN.WAV");
    EXPECT_EQ(track.counts().sounds, 0);

    for (int i = 0; i < kMaxSounds; ++i) {
        auto s = std::make_unique<TrackSound>();
        s->name.set("SOUND\\S" + std::to_string(i) + ".WAV");
        track.AddSound(std::move(s));
    }
    SoundChoice full = ChooseObjectSound(track, object(1), SoundKind::Impact, "HORN.WAV", sounds);
    EXPECT_EQ(full.notice.text, "Max. 512 Sounds! Sound dropped.");
    EXPECT_EQ(object(1).impactSound, "NULL.WAV");

    SoundChoice tooLong =
        ChooseObjectSound(track, object(1), SoundKind::Impact, "averyveryverylongname.wav", sounds);
    EXPECT_FALSE(tooLong.notice.empty());
    EXPECT_EQ(object(1).impactSound, "NULL.WAV");
}

TEST(StockSounds, TheTwoTablesStartWithNull) {
    const auto impact = StockSounds(SoundKind::Impact);
    const auto continuous = StockSounds(SoundKind::Continuous);
    ASSERT_EQ(impact.size(), 155u);
    ASSERT_EQ(continuous.size(), 16u);
    EXPECT_EQ(impact[0].stem, "NULL");
    EXPECT_EQ(impact[0].description, "(default/none)");
    EXPECT_EQ(continuous[13].stem, "train22");
}
