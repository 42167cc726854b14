#pragma once

#include <string>

namespace ravok {

// Asks the user something in the middle of an operation. The editor answers
// with message boxes, ravok-cli with flags and defaults, tests with scripts.
class Prompter {
public:
    enum class Icon { Information, Warning, Error, Question };
    virtual ~Prompter() = default;
    // A yes/no question; true for yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) = 0;
    virtual void inform(const std::string& text, const std::string& caption) = 0;
    virtual void warn(const std::string& text, const std::string& caption) = 0;
};

// Receives the progress of a long operation. Methods may be called from a
// worker thread; cancelled() is polled between steps.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setRange(int max) = 0;
    virtual void setPosition(int pos) = 0;
    virtual void step() = 0;
    virtual void setText(const std::string& text) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual bool cancelled() const { return false; }
};

} // namespace ravok
