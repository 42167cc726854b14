#include "TestSupport.h"

#include "art/Picture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <random>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

#ifndef _WIN32
int runInChild(const std::function<bool()>& work, ChildLimits limits) {
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (limits.fileSizeLimit > 0) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
            rlimit limit{rlim_t(limits.fileSizeLimit), rlim_t(limits.fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (limits.unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        _exit(work() ? 1 : 0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return -1;
    return WEXITSTATUS(status);
}
#endif

#ifndef _WIN32
bool limitAddressSpace(long headroom) {
    std::ifstream statm("/proc/self/statm");
    unsigned long pages = 0;
    if (!(statm >> pages)) return false;
    const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(headroom);
    const rlimit both{limit, limit};
    return setrlimit(RLIMIT_AS, &both) == 0;
}
#endif

bool addressSpaceLimitWorks() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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

void writeGradientPng(const std::filesystem::path& path, int side) {
    const size_t stride = DibStride(side);
    std::vector<uint8_t> bgr(stride * size_t(side), 0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = &bgr[size_t(y) * stride + size_t(x) * 3]; // blue, green, red
            p[0] = uint8_t(x * 4), p[1] = uint8_t(y * 4), p[2] = 200;
        }
    std::string message;
    if (!WritePng(path, bgr.data(), side, side, stride, message)) ADD_FAILURE() << path << ": " << message;
}

} // namespace ravok::test
