#pragma once

#include "model/TrackPod.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace ravok {

// The report of missing textures and models that the user sees after a load.
// At most 32 lines; the 33rd becomes "(more...)" and later ones are dropped.
class BadReport {
public:
    static constexpr int kMaxLines = 32;
    void add(std::string_view line, bool indented = false);
    // A block of lines that counts as one line (a bad model's textures).
    void addBlock(std::string_view block);
    void restart() { m_lines = 0; }
    const std::string& text() const { return m_text; }
    bool empty() const { return m_text.empty(); }

private:
    std::string m_text;
    int m_lines = 0;
};

// Counts of the loading passes, for the summaries.
struct ArtLoadCounts {
    int badTextures = 0, badModels = 0;
};

// Reads one texture file (its size a texture square) under `name`, with the
// palette of the .ACT beside a .RAW (the default palette without one), and
// maps it onto the track palette. False when the file is no texture.
bool ReadTextureFile(const CTrackPOD& track, const std::filesystem::path& path, Texture& texture,
                     std::string_view name);

// Fills the pixels of every terrain texture that has none from the art
// folder, the track file's folder and the HD hook; the rest get a placeholder
// and a "Bad texture" line. True when none ended BAD.
bool LoadTextures(CTrackPOD& track, const std::filesystem::path& artFolder, BadReport& report,
                  ProgressSink* progress = nullptr);

// Reads every model of the model table (and the frames model lists add, and
// the backdrop), loads their textures, links the objects to their models and
// recomputes the arena origin. True when every model and texture was found.
bool LoadModels(CTrackPOD& track, const std::filesystem::path& modelsFolder, const std::filesystem::path& artFolder,
                BadReport& report, ProgressSink* progress = nullptr);

// Fills the model textures that have no pixels, without the HD hook.
bool ReloadModelTextures(CTrackPOD& track, const std::filesystem::path& artFolder, BadReport& report,
                         ProgressSink* progress = nullptr);

// Loads the textures one model's facets and animations name into the model
// texture table; true when all were found.
bool LoadModelTextures(CTrackPOD& track, const Model& model, const std::filesystem::path& artFolder,
                       BadReport& report);

// Reads a model again from its source file, then its textures. False when the
// file would not read (the model stays as it was).
bool ReloadModel(CTrackPOD& track, Model& model, const std::filesystem::path& artFolder, BadReport& report);

// Reloads the backdrop and every model whose source file changed on disk;
// returns how many were reloaded.
int RefreshChangedModels(CTrackPOD& track, const std::filesystem::path& artFolder);

// Builds the textures that have no pixels (or are BAD) from their HD source
// bytes or the HD picture in the art folder.
struct FillCounts {
    int filled = 0, failed = 0;
};
FillCounts FillHdOnlyTextures(CTrackPOD& track, const std::filesystem::path& artFolder);

// Brings the .RAW/.ACT fallbacks of the track's HD textures up to date.
struct UpdateCounts {
    int converted = 0, failed = 0;
};
UpdateCounts UpdateHdTexturesOfTrack(const CTrackPOD& track, const std::filesystem::path& artFolder);

// The hook that the editor and ravok-cli install: the PNG or TGA of the
// texture's file name in the art folder, built into a legacy texture (with the
// edge border for terrain textures).
HdSourceCallback ArtFolderHdSource(std::filesystem::path artFolder);

// The folder part of the track's file path; empty without one.
std::filesystem::path TrackFileFolder(const CTrackPOD& track);

// What opening a track does after reading its names: installs the art
// folder's HD hook, then loads the terrain textures and the models.
struct TrackArtResult {
    bool texturesOk = true, modelsOk = true;
    bool cancelled = false; // the user stopped a pass; the rest is not loaded
    std::string textureReport, modelReport;
};
constexpr const char* kTextureLoadCaption = "Error loading texture(s)";
// The progress captions of the loading passes.
constexpr const char* kLoadingArtCaption = "Loading Art...";
constexpr const char* kLoadingModelsCaption = "Loading Models...";
constexpr const char* kLoadingModelArtCaption = "Loading Model Art...";
constexpr const char* kModelLoadCaption = "Error loading model(s)";
TrackArtResult LoadTrackArt(CTrackPOD& track, const std::filesystem::path& artFolder,
                            const std::filesystem::path& modelsFolder, ProgressSink* progress = nullptr);

// Counts of the BAD textures and unloaded models of a track.
ArtLoadCounts CountBadArt(const CTrackPOD& track);

} // namespace ravok
