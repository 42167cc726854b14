#include "cli/CliOptions.h"

#include "app/SettingsStore.h"
#include "base/ProgramSettings.h"

#include <algorithm>
#include <cstdio>

namespace ravok::cli {

bool Arguments::flag(const std::string& name) {
    auto it = std::find(m_args.begin(), m_args.end(), name);
    if (it == m_args.end()) return false;
    m_args.erase(it);
    return true;
}

std::optional<std::string> Arguments::option(const std::string& name) {
    auto it = std::find(m_args.begin(), m_args.end(), name);
    if (it == m_args.end()) return std::nullopt;
    if (it + 1 == m_args.end()) {
        m_missingValue = true;
        m_args.erase(it);
        return std::nullopt;
    }
    std::string value = *(it + 1);
    m_args.erase(it, it + 2);
    return value;
}

std::optional<std::string> Arguments::unknownOption() const {
    for (const auto& a : m_args)
        if (a.size() > 1 && a[0] == '-') return a;
    return std::nullopt;
}

ProgramSettings editorSettings() {
    ProgramSettings settings = defaultSettings(std::filesystem::current_path());
    LoadSettings(settings);
    return settings;
}

bool parseIntInRange(const std::string& text, int lo, int hi, int& out) {
    try {
        size_t used = 0;
        const long value = std::stol(text, &used);
        if (used != text.size() || value < lo || value > hi) return false;
        out = int(value);
        return true;
    } catch (...) {
        return false;
    }
}

Folders foldersFromSettings(Arguments& args) {
    const ProgramSettings settings = editorSettings();
    Folders folders{settings.artFolder, settings.modelsFolder, settings.soundFolder, settings.keepHdArtOnly};
    if (auto art = args.option("--art")) folders.art = *art;
    if (auto models = args.option("--models")) folders.models = *models;
    if (auto sounds = args.option("--sounds")) folders.sounds = *sounds;
    return folders;
}

void printError(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

int usageError(const std::string& text) {
    printError(text);
    printError("Try 'ravok-cli --help'.");
    return kExitUsage;
}

std::string withoutCarriageReturns(std::string text) {
    std::erase(text, '\r');
    return text;
}

} // namespace ravok::cli
