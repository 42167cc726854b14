#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace ravok::test {

TempDir::TempDir() {
    std::random_device rd;
    m_path = std::filesystem::temp_directory_path() / ("ravok-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    // On Windows a file still open anywhere keeps its folder from going: a
    // failure here means the code under test left a file open.
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    if (ec || std::filesystem::exists(m_path)) ADD_FAILURE() << "cannot remove " << m_path << ": " << ec.message();
}

void writeBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool ScriptedPrompter::askYesNo(const std::string& text, const std::string& caption, bool defaultYes) {
    shown.push_back(caption + ": " + text);
    if (answers.empty()) return defaultYes;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedPrompter::inform(const std::string& text, const std::string& caption) {
    shown.push_back(caption + ": " + text);
}

void ScriptedPrompter::warn(const std::string& text, const std::string& caption) {
    shown.push_back(caption + ": " + text);
}

} // namespace ravok::test
