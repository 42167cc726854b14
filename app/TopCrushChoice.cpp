#include "app/TopCrushChoice.h"

#include "app/RavokDoc.h"
#include "base/ProgramSettings.h"
#include "edit/ObjectModels.h"
#include "edit/TopCrushModels.h"

#include <QFileDialog>

using namespace ravok;

bool ChooseTopCrushModels(CRavokDoc& doc, ProgramSettings& settings, int objectSlot, QWidget* parent,
                          const std::function<QString(const QString& title)>& chooseFile) {
    auto ask = [&](const char* title) {
        if (chooseFile) return chooseFile(QString::fromLatin1(title));
        return QFileDialog::getOpenFileName(parent, QString::fromLatin1(title),
                                            QString::fromStdString(settings.modelsFolder.string()),
                                            QStringLiteral("BIN files (*.bin)"));
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
    if (cabFile.isEmpty()) return false;
    const int cab = load(TopCrushPart::Cab, cabFile);
    if (cab < 0) return false;
    doc.prompter().inform(kChooseBaseMessage, "Top-Crush");
    const QString baseFile = ask(kSelectBaseTitle);
    if (baseFile.isEmpty()) return false;
    const int base = load(TopCrushPart::Base, baseFile);
    if (base < 0) return false;
    return SetTopCrushModels(doc.track(), objectSlot, cab, base);
}
