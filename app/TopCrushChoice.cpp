#include "app/TopCrushChoice.h"

#include "app/FileDialogFilter.h"
#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectModels.h"
#include "edit/TopCrushModels.h"

#include <QFileDialog>

using namespace ravok;

std::optional<TopCrushModelsChoice>
ChooseTopCrushModels(CRavokDoc& doc, ProgramSettings& settings, QWidget* parent,
                     const std::function<QString(const QString& title)>& chooseFile) {
    auto ask = [&](const char* title) {
        if (chooseFile) return chooseFile(QString::fromLatin1(title));
        return QFileDialog::getOpenFileName(parent, QString::fromLatin1(title),
                                            QString::fromStdString(settings.modelsFolder.string()),
                                            QtFileFilter("BIN files (*.bin)"));
    };
    auto load = [&](TopCrushPart part, const QString& file) {
        const TopCrushModelLoad loaded = LoadTopCrushModel(doc.track(), part, file.toStdString(),
                                                           settings.modelsFolder, settings.artFolder);
        for (const EditNotice& n : loaded.notices) {
            if (n.caption == kBadModelTexturesCaption)
                doc.prompter().warn(n.text, n.caption);
            else
                doc.prompter().inform(n.text, n.caption);
        }
        return loaded.slot;
    };
    const QString cabFile = ask(kSelectCabTitle);
    if (cabFile.isEmpty()) return std::nullopt;
    const int cab = load(TopCrushPart::Cab, cabFile);
    if (cab < 0) return std::nullopt;
    doc.prompter().inform(kChooseBaseMessage, "Top-Crush");
    const QString baseFile = ask(kSelectBaseTitle);
    if (baseFile.isEmpty()) return std::nullopt;
    const int base = load(TopCrushPart::Base, baseFile);
    if (base < 0) return std::nullopt;
    return TopCrushModelsChoice{cab, base};
}
