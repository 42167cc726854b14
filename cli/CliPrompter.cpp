#include "cli/CliPrompter.h"

#include "cli/CliOptions.h"

namespace ravok::cli {

bool CliPrompter::askYesNo(const std::string& text, const std::string& caption, bool defaultYes) {
    printError(caption + ": " + text + (defaultYes ? " [yes]" : " [no]"));
    return defaultYes;
}

void CliPrompter::inform(const std::string& text, const std::string& caption) { printError(caption + ": " + text); }

void CliPrompter::warn(const std::string& text, const std::string& caption) { printError(caption + ": " + text); }

} // namespace ravok::cli
