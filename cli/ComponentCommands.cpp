// components: a track's names, race settings, pictures, music, info pop-up,
// terrain maps, backdrop and arena, changed as the Track Components dialog
// changes them.
#include "cli/ComponentCommands.h"

#include "art/InfoText.h"
#include "base/FileIO.h"
#include "base/Text.h"
#include "cli/CliPrompter.h"
#include "cli/TrackLoading.h"
#include "model/NativeFile.h"
#include "model/NewTrack.h"
#include "model/TrackComponents.h"
#include "model/TrackComponentsMusic.h"
#include "model/TrackComponentsTerrainMaps.h"
#include "model/TrackPod.h"
#include "trackart/TrackComponentsApply.h"
#include "trackart/TrackPaletteChange.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ravok::cli {

namespace {

constexpr const char* kUsage =
    "Usage: ravok-cli components FILE.rvk [-o OUT.rvk] [options] [--show]\n"
    "\n"
    "Changes what the Track Components dialog edits, with its rules and messages,\n"
    "and writes the track to OUT.rvk; prints the info pop-up status. Without -o\n"
    "nothing is written (the changes are only checked).\n"
    "  --show                 print the components (after the changes)\n"
    "  --name TEXT            Track Name (at most 31 characters)\n"
    "  --world TEXT           World Name (its letters and digits); unticks \"Based on Track Name\"\n"
    "  --world-from-name      ticks \"Based on Track Name\"\n"
    "  --locale TEXT          Race Track Locale (at most 31 characters)\n"
    "  --comment TEXT         the pod's comment (at most 79 characters)\n"
    "  --race-type TYPE       circuit, rally, rumble or drag\n"
    "  --water LEVEL          Water Level, 0.0 to 255.0\n"
    "  --sound-theme THEME    Sound Theme: 0 to 14 or its name\n"
    "  --palette P            Color Palette (MTM2): 0 to 15 or its name; the textures are\n"
    "                         loaded again onto it (16 Custom is made in the editor's\n"
    "                         Track Palette dialog)\n"
    "  --browse FILE          browse picture: 8-bit BMP, or PNG, TGA, 24/32-bit BMP as HD art\n"
    "  --icon FILE            icon (MTM2) or zoom picture (MTM1), likewise\n"
    "  --info-photo FILE      info photo, likewise (also --photo)\n"
    "  --stock-icon NAME      one of the program's stock icons (MTM2)\n"
    "  --no-8bit-copies       keep HD art without its 8-bit BMP copy (--8bit-copies: with it)\n"
    "  --music FILE           a WAV or MOD file (stock:NAME for stock music)\n"
    "  --stock-music NAME     stock music, e.g. BREAK\n"
    "  --description FILE     the info pop-up's text (--no-description removes it)\n"
    "  --detail-normal FILE   terrain detail normal, PNG or TGA (--no-detail-normal)\n"
    "  --mask FILE            painted terrain mask, PNG or TGA (--no-mask)\n"
    "  --backdrop FILE.bin    backdrop model, its textures from the art folder\n"
    "  --arena X,Y,W,H        the backdrop is an arena: centre and internal size in grid\n"
    "                         squares (--no-arena: it is not)\n"
    "  --yes                  answer the questions with Yes (else their defaults)\n"
    "  --art DIR              art folder of the backdrop's textures\n";

// Takes the questions' defaults unless --yes was given.
class ComponentsPrompter : public CliPrompter {
public:
    explicit ComponentsPrompter(bool yes) : m_yes(yes) {}
    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override {
        return CliPrompter::askYesNo(text, caption, m_yes || defaultYes);
    }

private:
    bool m_yes;
};

struct Requests {
    std::optional<std::string> out, name, world, locale, comment, raceType, water, soundTheme, palette, stockIcon, music,
        stockMusic, description, detailNormal, mask, backdrop, arena;
    std::optional<std::string> pictures[kPictureSlotCount];
    bool show = false, worldFromName = false, yes = false, noCopies = false, copies = false, noDescription = false,
         noDetailNormal = false, noMask = false, noArena = false;
};

Requests takeRequests(Arguments& args) {
    Requests r;
    r.show = args.flag("--show");
    r.worldFromName = args.flag("--world-from-name");
    r.yes = args.flag("--yes");
    r.noCopies = args.flag("--no-8bit-copies");
    r.copies = args.flag("--8bit-copies");
    r.noDescription = args.flag("--no-description");
    r.noDetailNormal = args.flag("--no-detail-normal");
    r.noMask = args.flag("--no-mask");
    r.noArena = args.flag("--no-arena");
    for (auto [field, name] : {std::pair{&r.out, "-o"}, {&r.name, "--name"}, {&r.world, "--world"},
                               {&r.locale, "--locale"}, {&r.comment, "--comment"}, {&r.raceType, "--race-type"},
                               {&r.water, "--water"}, {&r.soundTheme, "--sound-theme"}, {&r.palette, "--palette"},
                               {&r.stockIcon, "--stock-icon"},
                               {&r.music, "--music"}, {&r.stockMusic, "--stock-music"},
                               {&r.description, "--description"}, {&r.detailNormal, "--detail-normal"},
                               {&r.mask, "--mask"}, {&r.backdrop, "--backdrop"}, {&r.arena, "--arena"},
                               {&r.pictures[kBrowseSlot], "--browse"}, {&r.pictures[kIconSlot], "--icon"},
                               {&r.pictures[kInfoPhotoSlot], "--info-photo"}})
        *field = args.option(name);
    if (auto photo = args.option("--photo")) r.pictures[kInfoPhotoSlot] = photo;
    return r;
}

// Says why a change was refused; false when it was.
bool report(const Outcome& outcome) {
    if (!outcome.ok && !outcome.message.empty())
        printError((outcome.caption.empty() ? std::string(kTrackComponentsCaption) : outcome.caption) + ": " +
                   outcome.message);
    return outcome.ok;
}

bool refuse(const std::string& text) {
    printError("components: " + text);
    return false;
}

int indexOfName(std::string_view text, const char* const* names, int count) {
    for (int i = 0; i < count; ++i)
        if (equalsIgnoringCase(text, names[i])) return i;
    char* end = nullptr;
    const long n = std::strtol(std::string(text).c_str(), &end, 10);
    return !text.empty() && end && *end == 0 && n >= 0 && n < count ? int(n) : -1;
}

// The values of the plain settings, checked before the track is read.
struct Settings {
    std::optional<int> radio, soundTheme, palette;
    std::optional<double> water;
    std::optional<std::array<int, 4>> arena;
};

std::optional<std::string> parseSettings(const Requests& r, Settings& v) {
    if (r.raceType) {
        v.radio = indexOfName(*r.raceType, kRaceTypeRadioNames, kRaceTypeRadios);
        if (*v.radio < 0 || std::isdigit(static_cast<unsigned char>(r.raceType->front())))
            return "--race-type takes circuit, rally, rumble or drag";
    }
    if (r.water) {
        char* end = nullptr;
        v.water = std::strtod(r.water->c_str(), &end);
        if (r.water->empty() || *end != 0 || !(*v.water >= 0.0 && *v.water <= 255.0))
            return "--water takes a level from 0.0 to 255.0";
    }
    if (r.soundTheme) {
        v.soundTheme = indexOfName(*r.soundTheme, kSoundThemeNames, kSoundThemeCount);
        if (*v.soundTheme < 0) return "--sound-theme takes 0 to 14 or a theme's name";
    }
    if (r.palette) {
        v.palette = indexOfName(*r.palette, kGamePaletteNames, kCustomPaletteIndex + 1);
        if (*v.palette < 0) return "--palette takes 0 to 15 or a palette's name";
        if (*v.palette == kCustomPaletteIndex)
            return "--palette 16 (Custom) takes the palette made in the editor's Track Palette dialog, which "
                   "ravok-cli cannot make";
    }
    if (r.arena) {
        std::array<int, 4> a{};
        char extra = 0;
        if (std::sscanf(r.arena->c_str(), "%d,%d,%d,%d%c", &a[0], &a[1], &a[2], &a[3], &extra) != 4 || a[2] < 0 ||
            a[3] < 0)
            return "--arena takes X,Y,W,H in grid squares";
        v.arena = a;
    }
    return std::nullopt;
}

void setSettings(TrackComponents& c, const Requests& r, const Settings& v) {
    if (v.radio) c.setRaceTypeRadio(*v.radio);
    if (v.water) c.setWaterLevel(*v.water);
    if (v.soundTheme) c.soundTheme = *v.soundTheme;
    if (v.palette) c.palette = *v.palette;
    if (r.backdrop) c.chooseBackdrop(*r.backdrop);
    if (r.noArena) c.arena = false;
    if (v.arena) {
        c.arena = true;
        c.setArena((*v.arena)[0], (*v.arena)[1], (*v.arena)[2], (*v.arena)[3]);
    }
}

void setNames(TrackComponents& c, const Requests& r) {
    if (r.name) c.setTrackName(*r.name);
    if (r.world) {
        c.setBasedOnTrackName(false);
        c.worldName = *r.world;
    }
    if (r.worldFromName) c.setBasedOnTrackName(true);
    if (r.comment) c.setComment(*r.comment);
}

bool setPictures(TrackComponents& c, const Requests& r) {
    bool ok = true;
    for (int s = 0; s < kPictureSlotCount; ++s)
        if (r.pictures[s]) ok = report(LoadSlotPicture(c.pictures[size_t(s)], c.rules(s), *r.pictures[s])) && ok;
    if (r.stockIcon) {
        const auto& icons = StockIcons();
        int index = -1;
        for (size_t i = 0; i < icons.size(); ++i)
            if (equalsIgnoringCase(icons[i].name, *r.stockIcon)) index = int(i);
        if (!StockIconsAvailable(c.rules(kIconSlot)))
            ok = refuse("stock icons are for the icon of an MTM2 track");
        else if (index < 0)
            ok = refuse("no stock icon \"" + *r.stockIcon + "\"");
        else
            ok = report(UseStockIcon(c.pictures[kIconSlot], c.rules(kIconSlot), index)) && ok;
    }
    if (r.noCopies) c.writeEightBitCopies = false;
    if (r.copies) c.writeEightBitCopies = true;
    return ok;
}

bool setMusic(TrackComponents& c, const Requests& r) {
    std::optional<std::string> stock = r.stockMusic;
    if (r.music && r.music->rfind("stock:", 0) == 0) stock = r.music->substr(6);
    if (stock) {
        auto reference = StockMusicReference(*stock);
        if (!reference) return refuse("no stock music \"" + *stock + "\"");
        c.music = std::move(*reference);
        return true;
    }
    return !r.music || report(LoadMusicFile(c.music, *r.music));
}

bool setDescription(TrackComponents& c, const Requests& r) {
    if (r.noDescription) c.infoDescription.clear();
    if (!r.description) return true;
    auto text = readWholeFile(*r.description);
    if (!text) return report(Outcome::refused("Cannot open that file."));
    c.infoDescription.assign(text->begin(), text->end());
    return true;
}

bool setTerrainMaps(TrackComponents& c, const Requests& r, Prompter& prompter) {
    bool ok = true;
    if (r.noDetailNormal) c.detailNormal = {};
    if (r.noMask) c.terrainMask = {};
    if (r.detailNormal)
        ok = report(LoadTerrainMap(TerrainMapKind::DetailNormal, c.detailNormal, *r.detailNormal, prompter)) && ok;
    if (r.mask) ok = report(LoadTerrainMap(TerrainMapKind::Mask, c.terrainMask, *r.mask, prompter)) && ok;
    return ok;
}

std::string showText(const TrackComponents& c, const CTrackPOD& track) {
    const int radio = RadioOfRaceType(c.raceType);
    const bool themeKnown = c.soundTheme >= 0 && c.soundTheme < kSoundThemeCount;
    std::string text;
    if (c.mtm2) text += std::string(kMtm2TrackText) + "\n";
    text += "Track Name: " + c.trackName + "\n";
    text += "World Name: " + c.worldName + (c.basedOnTrackName ? " (based on the track name)" : "") + "\n";
    text += "Locale: " + track.locale.str() + "\n";
    text += "Comment: " + c.comment + "\n";
    text += formatText("Type: %s\n", radio >= 0 ? kRaceTypeRadioNames[radio] : "?");
    text += formatText("Water Level: %.2f\n", c.waterLevel);
    text += formatText("Sound Theme: %d %s\n", c.soundTheme, themeKnown ? kSoundThemeNames[c.soundTheme] : "");
    text += formatText("Color Palette: %d %s\n", c.palette, kGamePaletteNames[c.palette]);
    text += "Backdrop: " + (c.backdropName.empty() ? std::string("(none)") : c.backdropName) + "\n";
    text += c.arena ? formatText("Arena: centre %d, %d, internal size %d x %d\n", c.arenaX, c.arenaY, c.arenaSizeX,
                                 c.arenaSizeY)
                    : std::string("Arena: no\n");
    text += "Music: " + MusicDescription(c.music) + "\n";
    for (int s = 0; s < kPictureSlotCount; ++s) {
        const PictureSlot& slot = c.pictures[size_t(s)];
        text += SlotLabel(slot, c.rules(s)) + ": " + (slot.bitmap.empty() ? "no 8-bit picture" : "8-bit picture") +
                (slot.hdArt.empty() ? "" : ", HD art " + slot.hdExt) + "\n";
    }
    text += std::string("Also write 8-bit BMP copies: ") + (c.writeEightBitCopies ? "yes" : "no") + "\n";
    text += "Detail Normal: " + TerrainMapLabel(TerrainMapKind::DetailNormal, c.detailNormal, c.worldName) + "\n";
    text += "Terrain Mask: " + TerrainMapLabel(TerrainMapKind::Mask, c.terrainMask, c.worldName) + "\n";
    if (DescriptionPresent(c.infoDescription)) text += DescriptionStatusText(c.infoDescription) + "\n";
    return text;
}

// Applies the checked copies and writes the track.
int applyAndSave(CTrackPOD& track, TrackComponents& c, const Requests& r, const Folders& folders,
                 Prompter& prompter) {
    if (CheckComponentsOnOk(c, prompter) != OkResult::Close) return kExitFailed;
    ComponentsApplyContext context;
    context.artFolder = folders.art;
    context.prompter = &prompter;
    context.changePalette = [&](int palette) {
        const PaletteReloadResult reload = ChangePalette(track, palette, std::nullopt, folders.art);
        if (!reload.texturesOk) printError(reload.textureReport);
        if (!reload.modelTexturesOk) printError(reload.modelTextureReport);
    };
    ApplyTrackComponents(track, c, context);
    if (r.locale) track.locale.set(*r.locale);
    if (saveTrack(track, *r.out) != kExitOk) return kExitFailed;
    c = MakeTrackComponents(track);
    return kExitOk;
}

} // namespace

int runComponents(Arguments args) {
    if (args.flag("--help")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    const Folders folders = foldersFromSettings(args);
    const Requests r = takeRequests(args);
    if (args.missingValue()) return usageError("components: an option is missing its value");
    if (auto unknown = args.unknownOption()) return usageError("components: unknown option " + *unknown);
    if (args.rest().size() != 1) return usageError("components: give one FILE.rvk");
    Settings settings;
    if (auto wrong = parseSettings(r, settings)) return usageError("components: " + *wrong);

    auto track = std::make_unique<CTrackPOD>();
    int version = 0;
    if (!loadTrack(*track, args.rest().front(), version)) return kExitUsage;
    TrackComponents c = MakeTrackComponents(*track);
    ComponentsPrompter prompter(r.yes);
    setNames(c, r);
    setSettings(c, r, settings);
    bool ok = setPictures(c, r);
    ok = setMusic(c, r) && ok;
    ok = setDescription(c, r) && ok;
    ok = setTerrainMaps(c, r, prompter) && ok;
    if (!ok) return kExitFailed;

    if (r.out)
        if (const int status = applyAndSave(*track, c, r, folders, prompter); status != kExitOk) return status;
    if (r.show) std::fputs(showText(c, *track).c_str(), stdout);
    std::printf("%s\n", c.statusText().c_str());
    return kExitOk;
}

} // namespace ravok::cli
