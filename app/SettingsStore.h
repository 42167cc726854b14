#pragma once

#include "base/ProgramSettings.h"

#include <QStringList>

#include <functional>

class QSettings;

namespace ravok {

// Reads the settings over `s` (values absent from the store keep what `s`
// holds), inside the store's group "1.0", with the read corrections and the
// fallback to the older view flag values.
void LoadSettings(QSettings& store, ProgramSettings& s);
// Writes every current value (never the older ones) into group "1.0".
// "Texture Filter" and "Texture Zoom" are neither read nor written: the
// Textures box lists every texture file of its folder at one size. Values an
// older version left in the store stay as they are.
void SaveSettings(QSettings& store, const ProgramSettings& s);

// The same through the user's store: organisation "Quorvane", application
// "Ravok" (on Windows the registry key Software\Quorvane\Ravok).
void LoadSettings(ProgramSettings& s);
void SaveSettings(const ProgramSettings& s);

// The display at the first start, for values the store does not hold yet:
// drawing at the window's own size ("Window Size"), through OpenGL when
// `openGLAvailable` says a context can be made (asked only then). A stored
// choice is always kept. True when anything was chosen.
bool ChooseFirstStartDisplay(QSettings& store, ProgramSettings& s, const std::function<bool()>& openGLAvailable);

// The recent-file list, "File1" to "File4" of the group "Recent File List".
QStringList LoadRecentFileList(QSettings& store);
void SaveRecentFileList(QSettings& store, const QStringList& files);

} // namespace ravok
