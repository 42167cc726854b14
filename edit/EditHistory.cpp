#include "edit/EditHistory.h"

#include <algorithm>
#include <unordered_set>

namespace ravok {

namespace {

// A rectangle of the three terrain layers, row by row.
struct TerrainRect {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<uint8_t> heights;
    std::vector<TextureCell> textures;
    std::vector<ShadeCell> cells;

    size_t bytes() const {
        return heights.size() + textures.size() * sizeof(TextureCell) + cells.size() * sizeof(ShadeCell);
    }
};

TerrainRect copyRect(const TerrainGrid& grid, int x, int y, int width, int height) {
    TerrainRect rect{x, y, width, height, {}, {}, {}};
    for (int row = y; row < y + height; ++row) {
        const size_t from = size_t(row) * kGridSize + size_t(x);
        rect.heights.insert(rect.heights.end(), grid.heights.begin() + long(from), grid.heights.begin() + long(from + width));
        rect.textures.insert(rect.textures.end(), grid.textures.begin() + long(from),
                             grid.textures.begin() + long(from + width));
        rect.cells.insert(rect.cells.end(), grid.cells.begin() + long(from), grid.cells.begin() + long(from + width));
    }
    return rect;
}

void pasteRect(TerrainGrid& grid, const TerrainRect& rect) {
    for (int row = 0; row < rect.height; ++row) {
        const size_t to = size_t(rect.y + row) * kGridSize + size_t(rect.x);
        const size_t from = size_t(row) * size_t(rect.width);
        std::copy_n(rect.heights.begin() + long(from), rect.width, grid.heights.begin() + long(to));
        std::copy_n(rect.textures.begin() + long(from), rect.width, grid.textures.begin() + long(to));
        std::copy_n(rect.cells.begin() + long(from), rect.width, grid.cells.begin() + long(to));
    }
}

template <typename T> struct SlotDelta {
    int slot = 0;
    std::optional<T> before, after;
};

size_t recordBytes(const TrackObject&) { return sizeof(TrackObject); }
size_t recordBytes(const GroundBox&) { return sizeof(GroundBox); }
size_t recordBytes(const TrackSound& sound) { return sizeof(TrackSound) + sound.data.size(); }
size_t recordBytes(const Course& course) { return sizeof(Course) + course.segments.size() * sizeof(CourseSegment); }
size_t recordBytes(const CourseState& state) {
    size_t bytes = sizeof(CourseState) + recordBytes(state.main);
    for (const auto& course : state.extended)
        if (course) bytes += recordBytes(*course);
    return bytes;
}
size_t recordBytes(const TrackSettingsState& state) {
    const TrackPictures& p = state.pictures;
    size_t bytes = sizeof(TrackSettingsState) + state.fogMap.size() + p.browseBitmap.size() + p.iconBitmap.size() +
                   p.music.size() + p.descriptionText.size() + p.infoPhoto.size() + p.infoDescription.size() +
                   p.detailNormal.size() + p.terrainMask.size();
    for (const Blob& art : p.hdArt) bytes += art.size();
    return bytes;
}

CourseState coursesOf(const CTrackPOD& track) {
    CourseState state;
    state.main = track.mainCourse;
    for (size_t i = 0; i < state.extended.size(); ++i)
        if (track.extendedCourses[i]) state.extended[i] = *track.extendedCourses[i];
    state.vehicles = track.vehicles;
    return state;
}

void setCourses(CTrackPOD& track, const CourseState& state) {
    track.mainCourse = state.main;
    for (size_t i = 0; i < state.extended.size(); ++i)
        track.extendedCourses[i] = state.extended[i] ? std::make_unique<Course>(*state.extended[i]) : nullptr;
    track.vehicles = state.vehicles;
}

// Calls f(track field, state field) for every value the settings state holds.
template <typename Track, typename State, typename F> void forEachSetting(Track& t, State& s, F f) {
    f(t.WorldName, s.worldName);
    f(t.worldNameFromTrackName, s.worldNameFromTrackName);
    f(t.trackName, s.trackName);
    f(t.locale, s.locale);
    f(t.browseBitmapName, s.browseBitmapName);
    f(t.iconBitmapName, s.iconBitmapName);
    f(t.comment, s.comment);
    f(t.RaceType, s.raceType);
    f(t.waterLevel, s.waterLevel);
    f(t.waterLevelQuarters, s.waterLevelQuarters);
    f(t.ambientSound, s.ambientSound);
    f(t.omitLegacyFallback, s.omitLegacyFallback);
    f(t.weatherMask, s.weatherMask);
    f(t.stadiumFlag, s.stadiumFlag);
    f(t.arenaX, s.arenaX);
    f(t.arenaY, s.arenaY);
    f(t.arenaSizeX, s.arenaSizeX);
    f(t.arenaSizeY, s.arenaSizeY);
    f(t.fogMap, s.fogMap);
    f(t.pictures, s.pictures);
    f(t.animations, s.animations);
    f(t.levelVectors, s.levelVectors);
}

TrackSettingsState settingsOf(const CTrackPOD& t) {
    TrackSettingsState s;
    forEachSetting(t, s, [](const auto& from, auto& to) { to = from; });
    return s;
}

void setSettings(CTrackPOD& t, const TrackSettingsState& s) {
    forEachSetting(t, s, [](auto& to, const auto& from) { to = from; });
}

// Compared in place: the pictures may be megabytes, copied only when they changed.
bool sameSettings(const CTrackPOD& t, const TrackSettingsState& s) {
    bool same = true;
    forEachSetting(t, s, [&same](const auto& a, const auto& b) { same = same && a == b; });
    return same;
}

// The slots of a table as plain copies.
template <typename T, size_t N> std::vector<std::optional<T>> copySlots(const SlotTable<T, N>& table) {
    std::vector<std::optional<T>> copy(N);
    for (size_t i = 0; i < N; ++i)
        if (table[i]) copy[i] = *table[i];
    return copy;
}

// The slots where the table differs from the copy, and the copy brought up to date.
template <typename T, size_t N>
std::vector<SlotDelta<T>> diffSlots(const SlotTable<T, N>& table, std::vector<std::optional<T>>& copy, size_t& bytes) {
    std::vector<SlotDelta<T>> deltas;
    for (size_t i = 0; i < N; ++i) {
        const T* now = table[i].get();
        const std::optional<T>& was = copy[i];
        if (!now && !was) continue;
        if (now && was && *now == *was) continue;
        SlotDelta<T> delta{int(i), was, now ? std::optional<T>(*now) : std::nullopt};
        bytes += sizeof(delta) + (delta.before ? recordBytes(*delta.before) : 0) +
                 (delta.after ? recordBytes(*delta.after) : 0);
        copy[i] = delta.after;
        deltas.push_back(std::move(delta));
    }
    return deltas;
}

template <typename T, size_t N>
void applySlots(SlotTable<T, N>& table, std::vector<std::optional<T>>& copy, const std::vector<SlotDelta<T>>& deltas,
                bool forward) {
    for (const SlotDelta<T>& delta : deltas) {
        const std::optional<T>& value = forward ? delta.after : delta.before;
        table[size_t(delta.slot)] = value ? std::make_unique<T>(*value) : nullptr;
        copy[size_t(delta.slot)] = value;
    }
}

// An object brought back keeps its model only while the model is still in
// the track; otherwise its names find the model again, if there is one.
Model* liveModel(const CTrackPOD& track, const std::unordered_set<const Model*>& live, Model* model,
                 const FixedString<32>& name) {
    if (model && live.count(model)) return model;
    if (name.empty()) return nullptr;
    const int slot = track.FindModel(name.view());
    return slot >= 0 ? track.models[size_t(slot)].get() : nullptr;
}

} // namespace

struct EditHistory::Baseline {
    TerrainGrid terrain;
    std::vector<std::optional<TrackObject>> objects;
    std::vector<std::optional<GroundBox>> boxes;
    std::vector<std::optional<TrackSound>> sounds;
    CourseState courses;
    TrackSettingsState settings;
};

struct EditHistory::Step {
    std::string name;
    TrackParts parts = 0;
    std::optional<TerrainRect> terrainBefore, terrainAfter;
    std::vector<SlotDelta<TrackObject>> objects;
    std::vector<SlotDelta<GroundBox>> boxes;
    std::vector<SlotDelta<TrackSound>> sounds;
    // Held apart: most steps change neither, and the step stays small.
    std::shared_ptr<const CourseState> coursesBefore, coursesAfter;
    std::shared_ptr<TrackSettingsState> settingsBefore, settingsAfter;
    size_t bytes = 0;
};

EditHistory::EditHistory(size_t memoryLimit) : m_memoryLimit(memoryLimit) {}
EditHistory::~EditHistory() = default;

void EditHistory::absorb(const CTrackPOD& track) {
    m_baseline = std::make_unique<Baseline>();
    m_baseline->terrain = track.terrain;
    m_baseline->objects = copySlots(track.objects);
    m_baseline->boxes = copySlots(track.groundBoxes);
    m_baseline->sounds = copySlots(track.sounds);
    m_baseline->courses = coursesOf(track);
    m_baseline->settings = settingsOf(track);
}

void EditHistory::reset(const CTrackPOD& track) {
    absorb(track);
    m_steps.clear();
    m_applied = 0;
    m_savedAt = 0;
    m_memoryUsed = 0;
    m_untrackedChange = false;
}

bool EditHistory::commit(const std::string& name, const CTrackPOD& track) {
    if (!m_baseline) reset(track);
    Baseline& base = *m_baseline;
    Step step;
    step.name = name;

    // The terrain: the smallest rectangle that holds every changed cell.
    const TerrainGrid& grid = track.terrain;
    int left = kGridSize, right = -1, top = kGridSize, bottom = -1;
    for (int y = 0; y < kGridSize; ++y)
        for (int x = 0; x < kGridSize; ++x) {
            const size_t i = size_t(y) * kGridSize + size_t(x);
            if (grid.heights[i] == base.terrain.heights[i] && grid.textures[i] == base.terrain.textures[i] &&
                grid.cells[i] == base.terrain.cells[i])
                continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    if (right >= 0) {
        step.terrainBefore = copyRect(base.terrain, left, top, right - left + 1, bottom - top + 1);
        step.terrainAfter = copyRect(grid, left, top, right - left + 1, bottom - top + 1);
        pasteRect(base.terrain, *step.terrainAfter);
        step.bytes += step.terrainBefore->bytes() * 2;
        step.parts |= uint32_t(TrackPart::Terrain);
    }

    step.objects = diffSlots(track.objects, base.objects, step.bytes);
    if (!step.objects.empty()) step.parts |= uint32_t(TrackPart::Objects);
    step.boxes = diffSlots(track.groundBoxes, base.boxes, step.bytes);
    if (!step.boxes.empty()) step.parts |= uint32_t(TrackPart::GroundBoxes);
    step.sounds = diffSlots(track.sounds, base.sounds, step.bytes);
    if (!step.sounds.empty()) step.parts |= uint32_t(TrackPart::Sounds);

    if (CourseState courses = coursesOf(track); !(courses == base.courses)) {
        step.bytes += recordBytes(courses) + recordBytes(base.courses);
        step.coursesBefore = std::make_shared<const CourseState>(std::move(base.courses));
        base.courses = courses;
        step.coursesAfter = std::make_shared<const CourseState>(std::move(courses));
        step.parts |= uint32_t(TrackPart::Courses);
    }
    if (!sameSettings(track, base.settings)) {
        TrackSettingsState settings = settingsOf(track);
        step.bytes += recordBytes(settings) + recordBytes(base.settings);
        step.settingsBefore = std::make_shared<TrackSettingsState>(std::move(base.settings));
        base.settings = settings;
        step.settingsAfter = std::make_shared<TrackSettingsState>(std::move(settings));
        step.parts |= uint32_t(TrackPart::Settings);
    }
    if (!step.parts) return false;

    step.bytes += sizeof(Step) + name.size();
    // A new step ends the redo branch; a saved state there can no longer be reached.
    while (m_steps.size() > m_applied) {
        m_memoryUsed -= m_steps.back()->bytes;
        m_steps.pop_back();
    }
    if (m_savedAt && *m_savedAt > m_applied) m_savedAt.reset();
    m_memoryUsed += step.bytes;
    m_steps.push_back(std::make_unique<Step>(std::move(step)));
    ++m_applied;
    dropOldestWhileOverLimit();
    return true;
}

void EditHistory::dropOldestWhileOverLimit() {
    while (m_memoryUsed > m_memoryLimit && !m_steps.empty()) {
        m_memoryUsed -= m_steps.front()->bytes;
        m_steps.pop_front();
        --m_applied;
        if (m_savedAt) m_savedAt = *m_savedAt > 0 ? std::optional<size_t>(*m_savedAt - 1) : std::nullopt;
    }
}

TrackParts EditHistory::apply(CTrackPOD& track, const Step& step, bool forward) {
    Baseline& base = *m_baseline;
    if (const auto& rect = forward ? step.terrainAfter : step.terrainBefore) {
        pasteRect(track.terrain, *rect);
        pasteRect(base.terrain, *rect);
    }
    applySlots(track.objects, base.objects, step.objects, forward);
    applySlots(track.groundBoxes, base.boxes, step.boxes, forward);
    applySlots(track.sounds, base.sounds, step.sounds, forward);
    if (!step.objects.empty()) {
        std::unordered_set<const Model*> live;
        for (const auto& model : track.models)
            if (model) live.insert(model.get());
        for (const auto& delta : step.objects) {
            TrackObject* object = track.objects[size_t(delta.slot)].get();
            if (!object) continue;
            object->model = liveModel(track, live, object->model, object->modelName);
            object->cabModel = liveModel(track, live, object->cabModel, object->cabModelName);
            base.objects[size_t(delta.slot)] = *object;
        }
    }
    if (!step.boxes.empty()) track.RebuildGroundBoxMaps();
    if (const auto& courses = forward ? step.coursesAfter : step.coursesBefore) {
        setCourses(track, *courses);
        base.courses = *courses;
    }
    if (const auto& settings = forward ? step.settingsAfter : step.settingsBefore) {
        setSettings(track, *settings);
        base.settings = *settings;
    }
    return step.parts;
}

TrackParts EditHistory::undo(CTrackPOD& track) {
    if (!canUndo() || !m_baseline) return 0;
    --m_applied;
    return apply(track, *m_steps[m_applied], false);
}

TrackParts EditHistory::redo(CTrackPOD& track) {
    if (!canRedo() || !m_baseline) return 0;
    ++m_applied;
    return apply(track, *m_steps[m_applied - 1], true);
}

std::string EditHistory::undoName() const { return canUndo() ? m_steps[m_applied - 1]->name : std::string(); }
std::string EditHistory::redoName() const { return canRedo() ? m_steps[m_applied]->name : std::string(); }

void EditHistory::markSaved() {
    m_savedAt = m_applied;
    m_untrackedChange = false;
}

bool EditHistory::isModified() const { return m_untrackedChange || !m_savedAt || *m_savedAt != m_applied; }

namespace {

uint16_t renumbered(uint16_t cell, int removed) {
    const int slot = cell & kTextureSlotMask;
    if (slot < removed) return cell;
    const int now = slot == removed ? 0 : slot - 1;
    return uint16_t((cell & ~kTextureSlotMask) | now);
}

void renumberCells(std::vector<TextureCell>& cells, int removed) {
    for (TextureCell& cell : cells) cell = renumbered(cell, removed);
}

void renumberBox(std::optional<GroundBox>& box, int removed) {
    if (box)
        for (uint16_t& face : box->faces) face = renumbered(face, removed);
}

void renumberFrames(TrackSettingsState* state, int removed) {
    if (!state) return;
    for (int a = 0; a < state->animations.count(); ++a) {
        TextureAnimation& animation = state->animations.at(a);
        for (uint32_t& frame : animation.frames)
            if (int(frame) >= removed) frame = int(frame) == removed ? 0 : frame - 1;
    }
}

} // namespace

void EditHistory::textureRemoved(int slot) {
    if (!m_baseline) return;
    renumberCells(m_baseline->terrain.textures, slot);
    for (auto& box : m_baseline->boxes) renumberBox(box, slot);
    renumberFrames(&m_baseline->settings, slot);
    for (auto& stored : m_steps) {
        Step& step = *stored;
        renumberFrames(step.settingsBefore.get(), slot);
        renumberFrames(step.settingsAfter.get(), slot);
        for (auto* rect : {&step.terrainBefore, &step.terrainAfter})
            if (*rect) renumberCells((*rect)->textures, slot);
        for (auto& delta : step.boxes) {
            renumberBox(delta.before, slot);
            renumberBox(delta.after, slot);
        }
    }
}

} // namespace ravok
