#pragma once

#include "base/ProgramSettings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace ravok::cli {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1; // the operation failed or found problems
constexpr int kExitUsage = 2;  // bad usage or unreadable input

// The arguments of one command: flags, options with a value, and the rest.
class Arguments {
public:
    Arguments(std::vector<std::string> args) : m_args(std::move(args)) {}

    // Removes and returns whether the flag was given.
    bool flag(const std::string& name);
    // Removes and returns the value of "--name VALUE"; sets error when the value is missing.
    std::optional<std::string> option(const std::string& name);
    // Whatever is left once flags and options are taken; names starting with
    // "-" are unknown options.
    const std::vector<std::string>& rest() const { return m_args; }
    std::optional<std::string> unknownOption() const;
    bool missingValue() const { return m_missingValue; }

private:
    std::vector<std::string> m_args;
    bool m_missingValue = false;
};

// The editor's folders, overridden by --art, --models and --sounds.
struct Folders {
    std::filesystem::path art, models, sounds;
    bool keepHdArtOnly = false; // the editor's setting: leave the legacy copies of HD art alone
};
Folders foldersFromSettings(Arguments& args);

// The editor's settings as the settings store holds them.
ProgramSettings editorSettings();
// A whole decimal number lo..hi and nothing else; false (out unchanged) otherwise.
bool parseIntInRange(const std::string& text, int lo, int hi, int& out);

void printError(const std::string& text);
// Prints the text and the pointer to --help; returns kExitUsage.
int usageError(const std::string& text);
// The text with its lines ended by LF, for a terminal.
std::string withoutCarriageReturns(std::string text);

} // namespace ravok::cli
