#pragma once

#include "base/Interfaces.h"

namespace ravok::cli {

// Answers the core's questions without a person: every question takes its
// default answer, and every message is printed on standard error.
class CliPrompter : public Prompter {
public:
    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override;
    void inform(const std::string& text, const std::string& caption) override;
    void warn(const std::string& text, const std::string& caption) override;
};

} // namespace ravok::cli
