#include "app/EditTrackComponents.h"

#include "app/ProgressDlg.h"
#include "app/RavokDoc.h"
#include "app/RavokView.h"
#include "app/TrackComponentsDlg.h"
#include "base/ProgramSettings.h"
#include "trackart/TrackComponentsApply.h"
#include "trackart/TrackPaletteChange.h"
#include "trackart/TrackPaletteOptimiser.h"

using namespace ravok;

namespace {

// ChangePalette on the progress dialog's worker: the palette and fog map,
// then every texture reloaded ("Loading Art...", "Loading Model Art...").
void changePalette(CRavokDoc& doc, int palette) {
    CTrackPOD& track = doc.track();
    // Custom is the palette the Track Palette dialog last installed, else the track's own.
    const PaletteColours custom = doc.customPalette.value_or(track.palette.colours());
    const std::filesystem::path art = doc.settings().artFolder;
    PaletteReloadResult result;
    doc.runProgress([&](ProgressSink& sink) {
        sink.setCaption(kBuildingPaletteCaption);
        result = ChangePalette(track, palette, custom, art, &sink);
        return true;
    });
    if (!result.texturesOk) doc.prompter().warn(result.textureReport, kReloadTexturesCaption);
    if (!result.modelTexturesOk) doc.prompter().warn(result.modelTextureReport, kReloadModelTexturesCaption);
}

} // namespace

bool EditTrackComponents(CRavokDoc& doc, CRavokView& view) {
    CTrackComponentsDlg dialog(doc.track(), doc.settings(), doc.window());
    if (dialog.exec() != QDialog::Accepted) return false;
    ComponentsApplyContext context;
    context.artFolder = doc.settings().artFolder;
    context.prompter = &doc.prompter();
    context.changePalette = [&doc](int palette) { changePalette(doc, palette); };
    const ComponentsApplyResult result = ApplyTrackComponents(doc.track(), dialog.components(), context);
    if (!result.applied) return false;
    doc.recordEdit(QStringLiteral("Track Components"));
    // A new backdrop brings its own model textures.
    if (result.backdropChanged) emit doc.modelsChanged();
    if (result.paletteChanged || result.backdropChanged) emit doc.texturesChanged();
    if (!result.paletteChanged && !result.backdropChanged) view.OnTrackChanged(); // water level, arena
    return true;
}
