#include "model/NativeFile.h"

#include "art/ItemNames.h"
#include "base/ByteReader.h"
#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "model/TrackPod.h"

#include <cstdio>
#include <cstring>
#include <strings.h>
#include <unordered_set>

namespace ravok {
namespace {

constexpr size_t kMagicBytes = 10;
constexpr size_t kObjectSoundBytesBeforeV4 = 12;
constexpr size_t kGroundBoxRecordBytes = 30;
constexpr size_t kCourseSegmentBytes = 40;
constexpr size_t kStadiumBlockBytes = 32;
constexpr uint16_t kAllPlanesCoded = 0x8007;

void progress(ProgressSink* sink, int range, int position) {
    if (!sink) return;
    if (range) sink->setRange(range);
    if (position >= 0) sink->setPosition(position);
}

// ---- reading ------------------------------------------------------------------

// Reads the file's items in order. Guarded reads fail the whole load; the
// unguarded ones take what the file still holds and let the next guarded
// read find the end.
class NativeReader {
public:
    NativeReader(std::span<const uint8_t> bytes) : m_in(bytes) {}

    bool u32(uint32_t& v) { return m_in.readU32LE(v); }
    bool i32(int32_t& v) { return m_in.readI32LE(v); }
    bool f32(float& v) { return m_in.readF32LE(v); }
    bool u16(uint16_t& v) { return m_in.readU16LE(v); }
    bool bytes(void* out, size_t n) { return m_in.readBytes(out, n); }

    // A count read as signed: below 1 means none.
    bool count(int& n) {
        int32_t v;
        if (!i32(v)) return false;
        n = v < 1 ? 0 : v;
        return true;
    }

    // Up to n bytes, as many as are left; never fails.
    std::vector<uint8_t> partial(size_t n) {
        n = std::min(n, m_in.remaining());
        auto view = m_in.take(n);
        return {view.begin(), view.end()};
    }

    // Length byte L, then L bytes of which the first min(L, capacity) are kept
    // up to their first zero. Fails when the length byte or the bytes are missing.
    bool lstring(std::string& out, size_t capacity) {
        out.clear();
        uint8_t length;
        if (!m_in.readU8(length)) return false;
        auto view = m_in.take(length);
        if (view.size() != length) return false;
        std::string kept(reinterpret_cast<const char*>(view.data()), std::min<size_t>(length, capacity));
        out = kept.substr(0, kept.find('\0'));
        return true;
    }
    // An unguarded string: a short read leaves it empty and moves to the end.
    std::string lstringOrEmpty(size_t capacity) {
        std::string s;
        if (!lstring(s, capacity)) {
            s.clear();
            m_in = ByteReader({});
        }
        return s;
    }

    bool blob(Blob& out) {
        uint32_t size;
        if (!u32(size)) return false;
        out = partial(size);
        return true;
    }

    // Run-length byte plane: (count, value) runs ended by a count of 0. Runs
    // past the plane's end are read and dropped.
    void runLengthPlane(uint8_t* plane, size_t stride, size_t count) {
        size_t at = 0;
        uint8_t run, value;
        while (m_in.readU8(run) && run != 0 && m_in.readU8(value))
            for (int i = 0; i < run; ++i, ++at)
                if (at < count) plane[at * stride] = value;
    }

private:
    ByteReader m_in;
};

int readMagic(NativeReader& in) {
    char magic[kMagicBytes + 1] = {};
    if (!in.bytes(magic, kMagicBytes)) return 0;
    for (int v = kNativeFileFirstVersion; v <= kNativeFileLastVersion; ++v) {
        char expected[kMagicBytes + 1];
        std::snprintf(expected, sizeof expected, "RAVOKV%d", v);
        if (std::strcmp(magic, expected) == 0) return v;
    }
    return 0;
}

bool readHeader(NativeReader& in, CTrackPOD& t, int v) {
    t.comment.set(in.lstringOrEmpty(79));
    t.WorldName.set(in.lstringOrEmpty(20));
    t.trackName.set(in.lstringOrEmpty(31));
    t.locale.set(in.lstringOrEmpty(31));
    if (v >= 7) {
        t.browseBitmapName.set(in.lstringOrEmpty(28));
        t.iconBitmapName.set(in.lstringOrEmpty(28));
    }
    int32_t raceType, waterLevel;
    uint32_t weather;
    if (!in.i32(raceType) || !in.i32(waterLevel) || !in.u32(t.GameFlags) || !in.i32(t.ambientSound) ||
        !in.u32(weather))
        return false;
    t.SetRaceType(raceType);
    t.weatherMask = weather == 0 ? 65535 : weather;
    auto& p = t.pictures;
    if (!in.blob(p.browseBitmap) || !in.blob(p.iconBitmap) || !in.blob(p.music) || !in.blob(p.descriptionText))
        return false;
    if (v >= 8 && (!in.blob(p.infoPhoto) || !in.blob(p.infoDescription))) return false;
    if (v >= 9) {
        p.detailNormalExt.set(in.lstringOrEmpty(7));
        if (!in.blob(p.detailNormal)) return false;
        p.terrainMaskExt.set(in.lstringOrEmpty(7));
        if (!in.blob(p.terrainMask)) return false;
    }
    if (v >= 10)
        for (size_t slot = 0; slot < kHdArtSlots; ++slot) {
            p.hdArtExt[slot].set(in.lstringOrEmpty(7));
            if (!in.blob(p.hdArt[slot])) return false;
            if (p.hdArt[slot].empty()) p.hdArtExt[slot].clear();
        }
    uint32_t quarters = 0;
    if (v >= 11 && !in.u32(quarters)) return false;
    t.SetWaterLevelQuarters(int32_t(std::clamp<int64_t>(int64_t(waterLevel) * 4 + quarters, 0, kMaxWaterLevelQuarters)));
    return true;
}

void readPalette(NativeReader& in, CTrackPOD& t) {
    std::string name = in.lstringOrEmpty(31);
    auto rgb = in.partial(768);
    PaletteColours colours{};
    for (size_t i = 0; i * 3 + 2 < rgb.size(); ++i) colours[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    t.palette.set(name, colours);
}

bool readTextures(NativeReader& in, CTrackPOD& t, int v) {
    int n;
    if (!in.count(n) || n > kMaxTerrainTextures) return false;
    for (int i = 0; i < n; ++i) {
        std::string name = in.lstringOrEmpty(31);
        auto texture = std::make_unique<Texture>();
        texture->setPicture(name.empty() ? "ERROR" : name, 64, 64, nullptr);
        if (v >= 2) {
            uint32_t type, grip, reserved;
            if (!in.u32(type) || !in.u32(grip) || !in.u32(reserved)) return false;
            if (type < 13) texture->setSurfaceType(int(type));
            if (grip <= 99) texture->setGripDepth(int(grip));
        }
        t.terrainTextures[size_t(i)] = std::move(texture);
    }
    return true;
}

bool readModels(NativeReader& in, CTrackPOD& t) {
    int n;
    if (!in.count(n) || n > kMaxModels) return false;
    for (int i = 0; i < n; ++i) {
        auto model = std::make_unique<Model>();
        model->setName(in.lstringOrEmpty(31));
        t.models[size_t(i)] = std::move(model);
    }
    return true;
}

// A sound name that the file holds but leaves empty means no sound, like a
// name the file leaves out: the field becomes "NULL.WAV".
bool readSoundName(NativeReader& in, int v, FixedString<64>& field) {
    if (v < 4) {
        auto raw = in.partial(kObjectSoundBytesBeforeV4);
        std::string s(raw.begin(), raw.end());
        TrackObject::setSoundField(field, s.substr(0, s.find('\0')));
        return true;
    }
    std::string s;
    if (!in.lstring(s, 63)) return false;
    TrackObject::setSoundField(field, s);
    return true;
}

bool readObject(NativeReader& in, TrackObject& o, int v) {
    uint32_t soundBits;
    uint16_t zFraction, xyFraction;
    if (!(in.i32(o.x) && in.i32(o.y) && in.i32(o.z) && in.f32(o.theta) && in.f32(o.phi) && in.f32(o.psi) &&
          in.i32(o.length) && in.i32(o.width) && in.i32(o.height) && in.f32(o.mass) && in.f32(o.bvel[0]) &&
          in.f32(o.bvel[1]) && in.f32(o.bvel[2]) && in.f32(o.p) && in.f32(o.q) && in.f32(o.r) && in.i32(o.type) &&
          in.i32(o.flags) && in.i32(o.priority) && in.i32(o.sequence) && in.i32(o.aboveGround) &&
          in.u32(soundBits)))
        return false;
    o.continuousSound.set(kNoSound);
    o.impactSound.set(kNoSound);
    if ((soundBits & 1) && !readSoundName(in, v, o.continuousSound)) return false;
    if ((soundBits & 2) && !readSoundName(in, v, o.impactSound)) return false;
    if (!in.u16(zFraction) || !in.u16(xyFraction)) return false;
    o.zFraction = int16_t(zFraction);
    o.xFraction = int16_t(xyFraction & 255);
    o.yFraction = int16_t(xyFraction >> 8);
    std::string name;
    if (!in.lstring(name, 31)) return false;
    o.modelName.set(name);
    if (o.type == kObjectTopCrush) {
        if (!in.lstring(name, 31)) return false;
        o.cabModelName.set(name);
        for (auto& c : o.cabOffset)
            if (!in.i32(c)) return false;
    }
    LightParameters& l = o.light;
    if (v >= 3 && !(in.f32(l.rad) && in.f32(l.hgt) && in.f32(l.r) && in.f32(l.g) && in.f32(l.b) && in.i32(l.glow) &&
                    in.f32(l.glowRad) && in.f32(l.coneLen) && in.f32(l.coneRim) && in.f32(l.coneBase)))
        return false;
    if (v >= 5 && !in.f32(l.bright)) return false;
    if (v >= 6 && !in.f32(l.aimOff)) return false;
    return true;
}

bool readObjects(NativeReader& in, CTrackPOD& t, int v) {
    int n;
    if (!in.count(n) || n > kMaxObjects) return false;
    for (int i = 0; i < n; ++i) {
        auto object = std::make_unique<TrackObject>();
        if (!readObject(in, *object, v)) return false;
        t.objects[size_t(i)] = std::move(object);
    }
    return true;
}

bool readCourse(NativeReader& in, Course& course) {
    int n;
    if (!in.count(n)) return false;
    course.clear();
    for (int i = 0; i < n; ++i) {
        CourseSegment s;
        int32_t w[10];
        for (auto& word : w)
            if (!in.i32(word)) return false;
        s.start = {w[0], w[1], w[2]};
        s.end = {w[3], w[4], w[5]};
        s.speedLimit = w[6];
        s.trackWidth = w[7];
        s.extra = {w[8], w[9]};
        course.segments.push_back(s);
    }
    return true;
}

bool readTerrain(NativeReader& in, TerrainGrid& g) {
    uint16_t flags;
    if (!in.u16(flags)) return false;
    const bool coded = flags & 0x8000;
    if (flags & 1) {
        if (coded)
            in.runLengthPlane(g.heights.data(), 1, kGridCells);
        else {
            auto b = in.partial(kGridCells);
            std::copy(b.begin(), b.end(), g.heights.begin());
        }
    }
    if (flags & 2) {
        std::vector<uint8_t> low(kGridCells), high(kGridCells);
        for (size_t i = 0; i < size_t(kGridCells); ++i) {
            low[i] = uint8_t(g.textures[i]);
            high[i] = uint8_t(g.textures[i] >> 8);
        }
        if (coded) {
            in.runLengthPlane(low.data(), 1, kGridCells);
            in.runLengthPlane(high.data(), 1, kGridCells);
        } else {
            auto b = in.partial(kGridCells * 2);
            for (size_t i = 0; i * 2 + 1 < b.size(); ++i) {
                low[i] = b[i * 2];
                high[i] = b[i * 2 + 1];
            }
        }
        for (size_t i = 0; i < size_t(kGridCells); ++i) g.textures[i] = TextureCell(low[i] | high[i] << 8);
    }
    if (flags & 4) {
        uint8_t* cells = g.cells.front().data();
        if (coded) {
            for (size_t byte = 0; byte < 7; ++byte) in.runLengthPlane(cells + byte, 7, kGridCells);
        } else {
            auto b = in.partial(size_t(kGridCells) * 7);
            std::copy(b.begin(), b.end(), cells);
        }
    }
    return true;
}

bool readVehicle(NativeReader& in, VehicleSlot& s) {
    uint32_t ignored;
    if (!(in.i32(s.x) && in.i32(s.y) && in.i32(s.z) && in.f32(s.theta) && in.f32(s.phi) && in.f32(s.psi) &&
          in.i32(s.extra)))
        return false;
    for (int i = 0; i < 4; ++i)
        if (!in.u32(ignored)) return false;
    std::string truck;
    if (!in.lstring(truck, 19)) return false;
    s.truckFile.set(truck);
    return true;
}

void readBackdrop(NativeReader& in, CTrackPOD& t) {
    auto lengthByte = in.partial(1);
    if (lengthByte.empty()) return;
    const size_t length = lengthByte[0];
    auto block = in.partial(length);
    if (length <= 1) return;
    std::string name(block.begin(), block.end());
    name = name.substr(0, std::min<size_t>(name.find('\0'), 31));
    t.backdrop = std::make_unique<Model>();
    t.backdrop->setName(name);
    if (length == kStadiumBlockBytes && block.size() == kStadiumBlockBytes) {
        auto u16at = [&](size_t at) { return uint16_t(block[at] | block[at + 1] << 8); };
        t.stadiumFlag = 1;
        t.arenaSizeY = u16at(24);
        t.arenaSizeX = u16at(26);
        t.arenaY = int16_t(u16at(28));
        t.arenaX = int16_t(u16at(30));
    }
}

bool readGroundBoxes(NativeReader& in, CTrackPOD& t) {
    int n;
    if (!in.count(n) || n > kMaxGroundBoxes) return false;
    for (int i = 0; i < n; ++i) {
        auto r = in.partial(kGroundBoxRecordBytes);
        r.resize(kGroundBoxRecordBytes, 0);
        ByteReader rec(r);
        auto box = std::make_unique<GroundBox>();
        rec.readI32LE(box->x);
        rec.readI32LE(box->y);
        rec.readI32LE(box->sizeX);
        rec.readI32LE(box->sizeY);
        rec.readU8(box->bottom);
        rec.readU8(box->top);
        for (auto& f : box->faces) rec.readU16LE(f);
        box->updateDerived();
        t.groundBoxes[size_t(i)] = std::move(box);
    }
    return true;
}

bool readSounds(NativeReader& in, CTrackPOD& t) {
    int n;
    if (!in.count(n) || n > kMaxSounds) return false;
    for (int i = 0; i < n; ++i) {
        auto sound = std::make_unique<TrackSound>();
        sound->name.set(in.lstringOrEmpty(31));
        uint32_t size;
        if (!in.u32(size) || !in.u32(sound->kind)) return false;
        sound->data = in.partial(size);
        t.sounds[size_t(i)] = std::move(sound);
    }
    return true;
}

void readAnimations(NativeReader& in, CTrackPOD& t) {
    auto countBytes = in.partial(4);
    if (countBytes.size() < 4) return;
    int32_t n = int32_t(countBytes[0] | countBytes[1] << 8 | countBytes[2] << 16 | uint32_t(countBytes[3]) << 24);
    for (int32_t i = 0; i < n; ++i) {
        auto r = in.partial(kAnimationRecordBytes);
        if (r.size() < kAnimationRecordBytes) return;
        t.animations.appendRecord(TextureAnimation::fromBytes(std::span<const uint8_t, kAnimationRecordBytes>(r)));
    }
}

bool readLevelVectors(NativeReader& in, LevelVectors& lv) {
    for (auto* vec : {&lv.first, &lv.second})
        if (!(in.i32(vec->v[0]) && in.i32(vec->v[1]) && in.i32(vec->v[2]) && in.i32(vec->w))) return false;
    return true;
}

bool readTrack(NativeReader& in, CTrackPOD& t, int* version, ProgressSink* sink) {
    progress(sink, 100, -1);
    const int v = readMagic(in);
    if (version) *version = v;
    if (v == 0 || !readHeader(in, t, v)) return false;
    readPalette(in, t);
    progress(sink, 0, 25);
    if (!readTextures(in, t, v) || !readModels(in, t) || !readObjects(in, t, v)) return false;
    progress(sink, 0, 50);
    int extended;
    if (!readCourse(in, t.mainCourse) || !in.count(extended) || extended > kMaxExtendedCourses) return false;
    for (int i = 0; i < extended; ++i) {
        t.extendedCourses[size_t(i)] = std::make_unique<Course>();
        if (!readCourse(in, *t.extendedCourses[size_t(i)])) return false;
    }
    if (!readTerrain(in, t.terrain)) return false;
    for (auto& vehicle : t.vehicles)
        if (!readVehicle(in, vehicle)) return false;
    readBackdrop(in, t);
    uint32_t flags;
    if (!in.u32(flags)) return false;
    t.omitLegacyFallback = (flags >> 2) & 1;
    if (flags & 1) {
        t.fogMap.assign(32768, 0);
        if (!in.bytes(t.fogMap.data(), t.fogMap.size())) return false;
    }
    progress(sink, 0, 75);
    if (!readGroundBoxes(in, t)) return false;
    t.RebuildGroundBoxMaps();
    progress(sink, 0, 90);
    if (!readSounds(in, t)) return false;
    progress(sink, 0, 95);
    readAnimations(in, t);
    if ((flags & 2) && !readLevelVectors(in, t.levelVectors)) return false;
    t.NormaliseObjectHeights();
    t.recomputeWorldNameFromTrackName();
    progress(sink, 0, 100);
    return true;
}

// ---- writing ------------------------------------------------------------------

void writeLString(ByteWriter& out, std::string_view s) {
    if (s.size() >= 255) {
        out.u8(255);
        out.text(s.substr(0, 255));
        return;
    }
    out.u8(uint8_t(s.size() + 1));
    out.text(s);
    out.u8(0);
}

void writeBlob(ByteWriter& out, const Blob& b) {
    out.u32LE(uint32_t(b.size()));
    out.bytes(b);
}

void writeRunLengthPlane(ByteWriter& out, const uint8_t* plane, size_t stride, size_t count) {
    size_t at = 0;
    while (at < count) {
        const uint8_t value = plane[at * stride];
        size_t run = 1;
        while (at + run < count && run < 255 && plane[(at + run) * stride] == value) ++run;
        out.u8(uint8_t(run));
        out.u8(value);
        at += run;
    }
    out.u8(0);
}

bool differsIgnoringCase(const FixedString<29>& name, const std::string& standard) {
    return !name.empty() && strcasecmp(name.c_str(), standard.c_str()) != 0;
}

void writeObject(ByteWriter& out, const TrackObject& o, int v) {
    for (int32_t w : {o.x, o.y, o.z}) out.i32LE(w);
    for (float f : {o.theta, o.phi, o.psi}) out.f32LE(f);
    for (int32_t w : {o.length, o.width, o.height}) out.i32LE(w);
    for (float f : {o.mass, o.bvel[0], o.bvel[1], o.bvel[2], o.p, o.q, o.r}) out.f32LE(f);
    for (int32_t w : {o.type, o.flags, o.priority, o.sequence, o.aboveGround}) out.i32LE(w);
    const uint32_t bits = (o.continuousSound.empty() ? 0u : 1u) | (o.impactSound.empty() ? 0u : 2u);
    out.u32LE(bits);
    for (const auto* field : {&o.continuousSound, &o.impactSound}) {
        if (field->empty()) continue;
        if (v < 4)
            out.bytes(field->raw().data(), kObjectSoundBytesBeforeV4);
        else
            writeLString(out, field->view());
    }
    out.u16LE(uint16_t(o.zFraction));
    out.u16LE(uint16_t((o.xFraction & 255) | (o.yFraction & 255) << 8));
    writeLString(out, o.modelName.view());
    if (o.type == kObjectTopCrush) {
        writeLString(out, o.cabModelName.view());
        for (int32_t c : o.cabOffset) out.i32LE(c);
    }
    const LightParameters& l = o.light;
    if (v >= 3) {
        for (float f : {l.rad, l.hgt, l.r, l.g, l.b}) out.f32LE(f);
        out.i32LE(l.glow);
        for (float f : {l.glowRad, l.coneLen, l.coneRim, l.coneBase}) out.f32LE(f);
    }
    if (v >= 5) out.f32LE(l.bright);
    if (v >= 6) out.f32LE(l.aimOff);
}

void writeCourse(ByteWriter& out, const Course& c) {
    out.u32LE(uint32_t(c.segments.size()));
    for (const auto& s : c.segments) {
        for (int32_t w : s.start) out.i32LE(w);
        for (int32_t w : s.end) out.i32LE(w);
        out.i32LE(s.speedLimit);
        out.i32LE(s.trackWidth);
        for (int32_t w : s.extra) out.i32LE(w);
    }
}

void writeTerrain(ByteWriter& out, const TerrainGrid& g) {
    out.u16LE(kAllPlanesCoded);
    writeRunLengthPlane(out, g.heights.data(), 1, kGridCells);
    std::vector<uint8_t> low(kGridCells), high(kGridCells);
    for (size_t i = 0; i < size_t(kGridCells); ++i) {
        low[i] = uint8_t(g.textures[i]);
        high[i] = uint8_t(g.textures[i] >> 8);
    }
    writeRunLengthPlane(out, low.data(), 1, kGridCells);
    writeRunLengthPlane(out, high.data(), 1, kGridCells);
    for (size_t byte = 0; byte < 7; ++byte) writeRunLengthPlane(out, g.cells.front().data() + byte, 7, kGridCells);
}

// A stadium block holds 23 characters of the name. The loaders find models by
// their base name, so a leading models folder is dropped when that makes the
// name fit; a name that still does not fit is cut, and the user is told.
std::string stadiumBlockName(std::string_view name, Prompter* prompter) {
    constexpr size_t kMaxChars = kStadiumBlockBytes - 8 - 1;
    if (name.size() <= kMaxChars) return std::string(name);
    constexpr std::string_view kFolder = "MODELS\\";
    if (name.size() > kFolder.size() && strncasecmp(name.data(), kFolder.data(), kFolder.size()) == 0 &&
        name.size() - kFolder.size() <= kMaxChars)
        return std::string(name.substr(kFolder.size()));
    std::string cut(name.substr(0, kMaxChars));
    if (prompter) {
        char text[160];
        std::snprintf(text, sizeof text, kStadiumNameCutFormat, int(name.size()), cut.c_str());
        prompter->warn(text, "Save");
    }
    return cut;
}

void writeBackdrop(ByteWriter& out, const CTrackPOD& t, Prompter* prompter) {
    if (!t.backdrop) {
        out.u8(1);
        out.u8(0);
        return;
    }
    std::string_view name = t.backdrop->name().view();
    if (t.stadiumFlag) {
        out.u8(uint8_t(kStadiumBlockBytes));
        out.fixedText(stadiumBlockName(name, prompter), 24);
        for (uint16_t w : {t.arenaSizeY, t.arenaSizeX, uint16_t(t.arenaY), uint16_t(t.arenaX)}) out.u16LE(w);
        return;
    }
    // A 31-character name would give a 32-byte block, which reads as a stadium:
    // one more zero keeps it a plain name.
    if (name.size() + 1 == kStadiumBlockBytes) {
        out.u8(uint8_t(kStadiumBlockBytes + 1));
        out.text(name);
        out.zeros(2);
        return;
    }
    writeLString(out, name);
}

// Frees every sound that no object names (as "SOUND\" + its sound field).
void dropUnusedSounds(CTrackPOD& t) {
    std::unordered_set<std::string> named;
    for (const auto& o : t.objects) {
        if (!o) continue;
        named.insert(itemName("SOUND", o->continuousSound.str()));
        named.insert(itemName("SOUND", o->impactSound.str()));
    }
    for (auto& sound : t.sounds)
        if (sound && !named.contains(sound->name.str())) sound.reset();
}

// Room for the whole file up front: a track's sounds can run to tens of MiB.
size_t expectedFileSize(const CTrackPOD& t) {
    size_t bytes = 4u << 20; // terrain planes, tables and texts
    for (const auto& s : t.sounds)
        if (s) bytes += s->data.size() + 48;
    const auto& p = t.pictures;
    for (const Blob* b : {&p.browseBitmap, &p.iconBitmap, &p.music, &p.descriptionText, &p.infoPhoto,
                          &p.infoDescription, &p.detailNormal, &p.terrainMask})
        bytes += b->size();
    for (const auto& art : p.hdArt) bytes += art.size();
    return bytes;
}

std::vector<uint8_t> writeTrack(CTrackPOD& t, Prompter* prompter, ProgressSink* sink = nullptr) {
    const int v = NativeFileVersionFor(t);
    ByteWriter out;
    out.reserve(expectedFileSize(t));
    char magic[kMagicBytes + 1] = {};
    std::snprintf(magic, sizeof magic, "RAVOKV%d", v);
    out.bytes(magic, kMagicBytes);
    progress(sink, 125, -1);
    for (auto s : {t.comment.view(), t.WorldName.view(), t.trackName.view(), t.locale.view()}) writeLString(out, s);
    if (v >= 7) {
        writeLString(out, t.browseBitmapName.view());
        writeLString(out, t.iconBitmapName.view());
    }
    for (int32_t w : {t.RaceType, t.waterLevel, int32_t(t.GameFlags), t.ambientSound, int32_t(t.weatherMask)})
        out.i32LE(w);
    progress(sink, 0, 25);
    const auto& p = t.pictures;
    for (const Blob* b : {&p.browseBitmap, &p.iconBitmap, &p.music, &p.descriptionText}) writeBlob(out, *b);
    if (v >= 8) {
        writeBlob(out, p.infoPhoto);
        writeBlob(out, p.infoDescription);
    }
    if (v >= 9) {
        writeLString(out, p.detailNormalExt.view());
        writeBlob(out, p.detailNormal);
        writeLString(out, p.terrainMaskExt.view());
        writeBlob(out, p.terrainMask);
    }
    if (v >= 10)
        for (size_t slot = 0; slot < kHdArtSlots; ++slot) {
            writeLString(out, p.hdArt[slot].empty() ? std::string_view() : p.hdArtExt[slot].view());
            writeBlob(out, p.hdArt[slot]);
        }
    if (v >= 11) out.u32LE(uint32_t(t.waterLevelQuarters));

    writeLString(out, t.palette.name().view());
    for (const auto& c : t.palette.colours()) {
        out.u8(c.r);
        out.u8(c.g);
        out.u8(c.b);
    }
    progress(sink, 0, 50);

    out.u32LE(uint32_t(filledSlots(t.terrainTextures)));
    for (const auto& tex : t.terrainTextures) {
        if (!tex) continue;
        writeLString(out, tex->name().view());
        out.u32LE(uint32_t(tex->surfaceType()));
        out.u32LE(uint32_t(tex->gripDepth()));
        out.u32LE(0);
    }
    out.u32LE(uint32_t(filledSlots(t.models)));
    for (const auto& m : t.models)
        if (m) writeLString(out, m->name().view());
    out.u32LE(uint32_t(filledSlots(t.objects)));
    for (const auto& o : t.objects)
        if (o) writeObject(out, *o, v);
    progress(sink, 0, 75);

    writeCourse(out, t.mainCourse);
    int extended = 0;
    for (const auto& c : t.extendedCourses) extended += c != nullptr;
    out.u32LE(uint32_t(extended));
    for (const auto& c : t.extendedCourses)
        if (c) writeCourse(out, *c);
    writeTerrain(out, t.terrain);
    for (const auto& s : t.vehicles) {
        for (int32_t w : {s.x, s.y, s.z}) out.i32LE(w);
        for (float f : {s.theta, s.phi, s.psi}) out.f32LE(f);
        out.i32LE(s.extra);
        out.zeros(16);
        writeLString(out, s.truckFile.view());
    }
    writeBackdrop(out, t, prompter);
    progress(sink, 0, 85);

    out.u32LE((t.fogMap.empty() ? 0u : 1u) | 2u | (t.omitLegacyFallback ? 4u : 0u));
    if (!t.fogMap.empty()) out.bytes(t.fogMap);
    out.u32LE(uint32_t(filledSlots(t.groundBoxes)));
    for (const auto& b : t.groundBoxes) {
        if (!b) continue;
        for (int32_t w : {b->x, b->y, b->sizeX, b->sizeY}) out.i32LE(w);
        out.u8(b->bottom);
        out.u8(b->top);
        for (uint16_t f : b->faces) out.u16LE(f);
    }
    progress(sink, 0, 100);

    dropUnusedSounds(t);
    out.u32LE(uint32_t(filledSlots(t.sounds)));
    for (const auto& s : t.sounds) {
        if (!s) continue;
        writeLString(out, s->name.view());
        out.u32LE(uint32_t(s->data.size()));
        out.u32LE(s->kind);
        out.bytes(s->data);
    }
    progress(sink, 0, 120);

    out.u32LE(uint32_t(t.animations.count()));
    for (const auto& a : t.animations.animations()) out.bytes(a.toBytes());
    for (const auto* vec : {&t.levelVectors.first, &t.levelVectors.second}) {
        for (int32_t w : vec->v) out.i32LE(w);
        out.i32LE(vec->w);
    }
    progress(sink, 0, 125);
    return out.release();
}

} // namespace

int NativeFileVersionFor(const CTrackPOD& t) {
    int v = 2;
    bool light = false, longSound = false, bright = false, aimOff = false;
    for (const auto& o : t.objects) {
        if (!o) continue;
        longSound |= o->continuousSound.size() > 12 || o->impactSound.size() > 12;
        if (o->type != kObjectLight) continue;
        light = true;
        bright |= o->light.bright != 1.0f;
        aimOff |= o->light.aimOff != 0.0f;
    }
    const auto& p = t.pictures;
    const bool names = differsIgnoringCase(t.browseBitmapName, t.WorldName.str() + "S.BMP") ||
                       differsIgnoringCase(t.iconBitmapName, t.WorldName.str() + "L.BMP");
    const bool hdArt = !p.hdArt[0].empty() || !p.hdArt[1].empty() || !p.hdArt[2].empty();
    const bool rules[] = {light, longSound, bright, aimOff, names, !p.infoPhoto.empty() || !p.infoDescription.empty(),
                          !p.detailNormal.empty() || !p.terrainMask.empty(), hdArt, t.waterLevelQuarters != 0};
    for (int i = 0; i < int(std::size(rules)); ++i)
        if (rules[i]) v = 3 + i;
    return v;
}

bool LoadBinaryFromMemory(CTrackPOD& track, std::span<const uint8_t> bytes, int* version) {
    track.Clear();
    NativeReader in(bytes);
    return readTrack(in, track, version, nullptr);
}

bool LoadBinary(CTrackPOD& track, const std::filesystem::path& path, int* version, ProgressSink* progress) {
    track.Clear();
    if (version) *version = 0;
    auto bytes = readWholeFile(path, uint64_t(1) << 31);
    if (!bytes) return false;
    track.filePath.set(path.string());
    NativeReader in(*bytes);
    return readTrack(in, track, version, progress);
}

std::vector<uint8_t> SaveBinaryToMemory(CTrackPOD& track, Prompter* prompter) {
    return writeTrack(track, prompter);
}

bool SaveBinary(CTrackPOD& track, const std::filesystem::path& path, Prompter* prompter, ProgressSink* progress,
                std::string* error) {
    if (track.podViewMode) {
        if (prompter) prompter->warn(kPodViewOnlyMessage, kPodViewOnlyCaption);
        if (error) *error = kPodViewOnlyMessage;
        return false;
    }
    // A file that may not be replaced is refused before the track is touched
    // (writing drops the sounds no object names).
    if (std::string refusal = refusalToReplace(resolveWriteTarget(path)); !refusal.empty()) {
        if (error) *error = refusal;
        return false;
    }
    return writeFileAtomically(path, writeTrack(track, prompter, progress), error);
}

} // namespace ravok
