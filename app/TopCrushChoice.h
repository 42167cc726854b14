#pragma once

#include <QString>

#include <functional>

class CRavokDoc;
class QWidget;

namespace ravok {
struct ProgramSettings;
}

// The cab and base choice of a Top-Crush object: the keyframed cab first,
// then (after telling the user) the base, each from a BIN file; both go into
// the model table and onto the object. False when the object did not get both.
// `chooseFile` (title) replaces the file dialogs, for tests.
bool ChooseTopCrushModels(CRavokDoc& doc, ravok::ProgramSettings& settings, int objectSlot, QWidget* parent,
                          const std::function<QString(const QString& title)>& chooseFile = {});
