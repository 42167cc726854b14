#pragma once

#include "art/TextureAnimation.h"
#include "model/TrackPod.h"
#include "model/TrackRecords.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ravok {

// The parts of a track an undo step can restore; the view refreshes what a step names.
enum class TrackPart : uint32_t {
    Terrain = 1,     // heights, texture cells and shades
    Objects = 2,     // the object table
    Courses = 4,     // main and extended courses, truck starts
    GroundBoxes = 8, // the ground-box table (the box maps follow)
    Sounds = 16,     // the sound table
    Settings = 32,   // names, race type, water, pictures, fog map, animations, arena, light vectors
};
using TrackParts = uint32_t;
constexpr bool HasPart(TrackParts parts, TrackPart part) { return parts & uint32_t(part); }

// The courses and truck starts, taken whole: they are small.
struct CourseState {
    Course main;
    std::array<std::optional<Course>, kMaxExtendedCourses> extended;
    std::array<VehicleSlot, kVehicleSlots> vehicles;
    bool operator==(const CourseState&) const = default;
};

// The track's single values and pictures that Track Components, the palette
// of weather and the lighting change.
struct TrackSettingsState {
    FixedString<24> worldName;
    uint32_t worldNameFromTrackName = 1;
    FixedString<32> trackName, locale;
    FixedString<29> browseBitmapName, iconBitmapName;
    FixedString<80> comment;
    int32_t raceType = 2, waterLevel = 0, waterLevelQuarters = 0, ambientSound = 14;
    uint32_t omitLegacyFallback = 0, weatherMask = 65535, stadiumFlag = 0;
    int16_t arenaX = 127, arenaY = 127;
    uint16_t arenaSizeX = 18, arenaSizeY = 18;
    Blob fogMap;
    TrackPictures pictures;
    TextureAnimationTable animations;
    LevelVectors levelVectors;
    bool operator==(const TrackSettingsState&) const = default;
};

// A multi-level undo and redo history shared by every edit mode. It keeps a
// copy of the parts of the track it follows as they stood after the last
// step; `commit` compares the track with that copy and stores only what
// differs (for the terrain, the smallest rectangle holding every changed
// cell). The oldest steps go once the steps together pass the memory limit.
// Not followed: the texture and model tables and the palette; their edits
// stay as they are when a step around them is undone.
class EditHistory {
public:
    static constexpr size_t kDefaultMemoryLimit = size_t(64) << 20;

    explicit EditHistory(size_t memoryLimit = kDefaultMemoryLimit);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Starts afresh from the track as it stands (a new, opened, viewed or
    // cloned track), which counts as the saved state.
    void reset(const CTrackPOD& track);
    // Takes the track as it stands as the state after the last step, without
    // a step of its own (the changes a save makes, such as dropping unused sounds).
    void absorb(const CTrackPOD& track);
    // Records what changed since the last step as one step named `name`
    // ("Raise Terrain"); drops the steps that could be redone. False, and no
    // step, when nothing the history follows changed.
    bool commit(const std::string& name, const CTrackPOD& track);
    // Puts the track back as it stood before the last step (after the next
    // step for redo); the parts restored, 0 when there is nothing to do.
    TrackParts undo(CTrackPOD& track);
    TrackParts redo(CTrackPOD& track);

    bool canUndo() const { return m_applied > 0; }
    bool canRedo() const { return m_applied < m_steps.size(); }
    // The names of the steps undo and redo would take; empty when none.
    std::string undoName() const;
    std::string redoName() const;

    // The track was saved as it now stands; isModified() tells whether the
    // steps since then have been undone back to it.
    void markSaved();
    bool isModified() const;
    // A change the history does not follow (the model table) keeps the
    // track modified until the next save, whatever is undone.
    void markUntrackedChange() { m_untrackedChange = true; }
    // Texture `slot` left the table and the later slots moved down one: the
    // stored texture cells and box faces follow; cells of the removed
    // texture fall back to texture 0.
    void textureRemoved(int slot);

    size_t stepCount() const { return m_steps.size(); }
    size_t memoryUsed() const { return m_memoryUsed; }

    struct Step;

private:
    struct Baseline;
    void dropOldestWhileOverLimit();
    TrackParts apply(CTrackPOD& track, const Step& step, bool forward);

    size_t m_memoryLimit;
    std::unique_ptr<Baseline> m_baseline;
    std::deque<std::unique_ptr<Step>> m_steps;
    size_t m_applied = 0;              // steps in effect: undo takes m_steps[m_applied - 1]
    std::optional<size_t> m_savedAt{0}; // m_applied when saved; none when no longer reachable
    size_t m_memoryUsed = 0;
    bool m_untrackedChange = false;
};

} // namespace ravok
