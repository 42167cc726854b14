#pragma once

#include <QString>

#include <functional>
#include <optional>

class CRavokDoc;
class QWidget;

namespace ravok {
struct ProgramSettings;
}

// The model slots of a chosen Top-Crush cab and base.
struct TopCrushModelsChoice {
    int cab = -1, base = -1;
};

// The cab and base choice of a Top-Crush object: the keyframed cab first,
// then (after telling the user) the base, each from a BIN file; both go into
// the model table. The object itself is left alone: Object Properties gives
// them to it on OK. Nullopt when the user did not get both.
// `chooseFile` (title) replaces the file dialogs, for tests.
std::optional<TopCrushModelsChoice>
ChooseTopCrushModels(CRavokDoc& doc, ravok::ProgramSettings& settings, QWidget* parent,
                     const std::function<QString(const QString& title)>& chooseFile = {});
