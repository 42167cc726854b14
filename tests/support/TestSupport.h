#pragma once

#include "base/Interfaces.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
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

// Runs `work` in a child process: 1 when it returned true, 0 when false, -1
// when the child could not be set up or died. The child can
// be given a file-size limit (writes beyond it fail as on a full disk) and can
// run without root's rights, so that permissions hold for it.
struct ChildLimits {
    long fileSizeLimit = 0; // bytes; 0 for none
    bool unprivileged = false;
};
#ifndef _WIN32
int runInChild(const std::function<bool()>& work, ChildLimits limits);
// Limits this process's address space to what it has mapped now plus
// `headroom` bytes, so that larger allocations fail with std::bad_alloc;
// false when it cannot (Linux only). Memory freed earlier stays mapped and is
// reused, so call it in a fresh process: a death test of the "threadsafe"
// style, which starts the test program again.
bool limitAddressSpace(long headroom);
#endif
// Whether an address-space limit can work in this build: sanitizers reserve
// terabytes of shadow memory up front.
bool addressSpaceLimitWorks();

// A square PNG of `side` pixels, a gradient so that it has many colours; a
// test failure when it cannot be written.
void writeGradientPng(const std::filesystem::path& path, int side);

// The bytes of a file, empty when it cannot be read.
std::vector<uint8_t> fileBytes(const std::filesystem::path& path);

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
