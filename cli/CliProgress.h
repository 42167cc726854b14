#pragma once

#include "base/Interfaces.h"

#include <cstdio>
#include <string>
#include <unistd.h>

namespace ravok::cli {

// A progress line on standard error: updated in place on a terminal, one
// line per stage otherwise.
class CliProgress : public ProgressSink {
public:
    CliProgress() : m_terminal(isatty(fileno(stderr))) {}
    ~CliProgress() override {
        if (m_terminal && m_shown) std::fputc('\n', stderr);
    }
    void setRange(int max) override { m_range = max > 0 ? max : 1; }
    void setPosition(int pos) override {
        m_position = pos;
        show();
    }
    void step() override { setPosition(m_position + 1); }
    void setText(const std::string& text) override {
        m_text = text;
        if (!m_terminal) std::fprintf(stderr, "%s\n", text.c_str());
        show();
    }
    void setCaption(const std::string&) override {}

private:
    void show() {
        if (!m_terminal) return;
        std::fprintf(stderr, "\r%s %3d%%", m_text.c_str(), m_position * 100 / m_range);
        m_shown = true;
    }
    bool m_terminal;
    bool m_shown = false;
    int m_range = 100, m_position = 0;
    std::string m_text;
};

} // namespace ravok::cli
