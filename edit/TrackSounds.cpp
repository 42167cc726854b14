#include "edit/TrackSounds.h"

#include "art/ItemNames.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "model/PodNameRules.h"
#include "model/TrackPod.h"
#include "resources/BuiltinResources.h"

namespace ravok {

namespace {

FixedString<64>& fieldOf(TrackObject& object, SoundKind kind) {
    return kind == SoundKind::Continuous ? object.continuousSound : object.impactSound;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

} // namespace

SoundChoice ChooseObjectSound(CTrackPOD& track, TrackObject& object, SoundKind kind, std::string_view name,
                              const std::filesystem::path& soundFolder) {
    SoundChoice choice;
    std::string_view given = trimmed(name);
    // A file chosen with "..." may come with its folder: the sound is the file's name.
    if (auto cut = given.find_last_of("\\/"); cut != std::string_view::npos) given.remove_prefix(cut + 1);
    auto finish = [&](std::string field) {
        choice.field = std::move(field);
        fieldOf(object, kind).set(choice.field);
        return choice;
    };
    if (given.empty()) return finish("NULL");
    const std::string upper = upperCase(given);
    if (upper == "NULL" || upper == kNoSound) return finish(upper);

    const auto dot = upper.rfind('.');
    const std::string stem = upper.substr(0, dot);
    const std::string extension = dot == std::string::npos ? std::string(".WAV") : upper.substr(dot);
    if (std::string tooLong = PodNameTooLongMessage(stem, "SOUND\\", extension); !tooLong.empty()) {
        choice.notice = {std::move(tooLong), {}};
        return finish(std::string(kNoSound));
    }

    const uint32_t kindBit = kind == SoundKind::Continuous ? 1u : 0u;
    if (int slot = track.FindSound(upper); slot >= 0) {
        if ((track.sounds[size_t(slot)]->kind & 1u) != kindBit) {
            choice.notice = {
                kind == SoundKind::Continuous ? kContinuousAsImpactMessage : kImpactAsContinuousMessage, {}};
            return finish(std::string(kNoSound));
        }
        return finish(upper);
    }
    const auto path = soundFolder.empty() ? std::nullopt : resolveInFolder(soundFolder, upper);
    auto bytes = path ? readWholeFile(*path) : std::nullopt;
    if (!bytes || bytes->empty()) {
        // Not in the sound folder: a sound the game has of its own (the stock lists).
        choice.notFound = true;
        return finish(upper);
    }
    auto sound = std::make_unique<TrackSound>();
    sound->kind = kindBit;
    sound->name.set(itemName("SOUND", upper));
    sound->data = std::move(*bytes);
    Outcome added;
    if (track.AddSound(std::move(sound), &added) < 0) {
        choice.notice = {added.message, {}};
        return finish(std::string(kNoSound));
    }
    choice.loaded = true;
    return finish(upper);
}

std::vector<StockSound> StockSounds(SoundKind kind) {
    std::string_view table = kind == SoundKind::Continuous ? resources::stockContinuousSoundTable()
                                                           : resources::stockImpactSoundTable();
    std::vector<StockSound> rows;
    while (!table.empty()) {
        auto end = table.find("\r\n");
        std::string_view row = table.substr(0, end);
        table = end == std::string_view::npos ? std::string_view() : table.substr(end + 2);
        if (row.empty()) continue;
        auto tab = row.find('\t');
        rows.push_back({std::string(row.substr(0, tab)),
                        tab == std::string_view::npos ? std::string() : std::string(row.substr(tab + 1))});
    }
    return rows;
}

std::string StockSoundFieldName(std::string_view stem) {
    return upperCase(stem) + ".WAV";
}

} // namespace ravok
