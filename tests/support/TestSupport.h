#pragma once

#include "base/Interfaces.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

namespace ravok::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);

// Answers questions from a script and records every message it was shown.
class ScriptedPrompter : public Prompter {
public:
    std::deque<bool> answers; // popped by askYesNo; empty means the default answer
    std::vector<std::string> shown;

    bool askYesNo(const std::string& text, const std::string& caption, bool defaultYes) override;
    void inform(const std::string& text, const std::string& caption) override;
    void warn(const std::string& text, const std::string& caption) override;
};

} // namespace ravok::test
