#pragma once

#include <string>

namespace ravok {

// The result of an editing request that may be refused: on refusal, the
// system's message for the user and the caption of its box (empty for the
// default caption). An empty message with ok false is a silent refusal.
struct Outcome {
    bool ok = true;
    std::string message;
    std::string caption;

    static Outcome success() { return {}; }
    static Outcome refused(std::string message = {}, std::string caption = {}) {
        return {false, std::move(message), std::move(caption)};
    }
    explicit operator bool() const { return ok; }
};

} // namespace ravok
