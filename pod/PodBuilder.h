#pragma once

#include "model/TrackPod.h"

#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace ravok {

class Prompter;
class ProgressSink;

constexpr size_t kPodItemTableEntries = 20544;
constexpr size_t kPodCopyBufferBytes = 1024 * 1024;
constexpr size_t kPodFileBlockBytes = 32768;
constexpr size_t kPodFinalBlockBytes = 4096;
constexpr const char* kPodBuildCaption = "Cannot build the pod";
constexpr const char* kPodWriteCaption = "Cannot write the pod";
constexpr const char* kPodFinishCaption = "Cannot finish the pod";

// Writes a pod through a scratch file of its own in the system's temporary
// folder, so that a failure never damages an existing pod. Items are appended
// as they are produced; FinishPod assembles count, comment, directory and
// contents in a temporary file beside the target and renames it over the
// target only when it is complete. The track holds the directory meanwhile;
// after a successful finish it describes the pod just written.
// Every failure is reported once through the prompter (when there is one)
// and kept in lastError(); the build then stays failed.
class PodBuilder {
public:
    PodBuilder(CTrackPOD& track, Prompter* reporter);
    PodBuilder(const PodBuilder&) = delete;
    PodBuilder& operator=(const PodBuilder&) = delete;
    ~PodBuilder(); // removes the scratch file on every path

    bool BeginPodBuild();
    // An item whose name does not fit a directory entry is left out and
    // listed in namesTooLong(); the build goes on.
    bool AddPodItemFromMemory(std::string_view name, std::span<const uint8_t> bytes);
    const std::vector<std::string>& namesTooLong() const { return m_namesTooLong; }

    enum class AddFileResult { Added, Duplicate, NameTooLong, SourceMissing, Failed };
    // The entry name is the pod path up to its last dot followed by the
    // source file's extension, upper-cased.
    AddFileResult AddFileToPod(std::string_view podPath, const std::filesystem::path& source);
    bool FinishPod(const std::filesystem::path& target);

    bool failed() const { return m_failed; }
    const std::string& lastError() const { return m_error; }
    const std::string& lastErrorCaption() const { return m_errorCaption; }
    const std::filesystem::path& scratchPath() const { return m_scratchPath; }
    // True when an entry of this name (ignoring case) is already in the pod.
    bool HasItem(std::string_view name) const;

    // Told 70 once the directory is written, 80 after the contents, 90 when done.
    ProgressSink* progress = nullptr;

    // For tests: writes into the finished pod fail once this many bytes went
    // out (negative: never), and the scratch folder may be replaced.
    long long failWritesAfterBytes = -1;
    bool failScratchReadback = false; // the scratch cannot be read back
    std::filesystem::path scratchFolder;

private:
    bool fail(std::string text, const char* caption);
    bool appendToScratch(const uint8_t* bytes, size_t n);
    bool addEntry(std::string_view name, uint64_t size);
    bool roomForItem(uint64_t size);
    void removeScratch();
    bool writeTarget(FILE* out, std::string& reason, int& error);

    CTrackPOD& m_track;
    Prompter* m_reporter;
    FILE* m_scratch = nullptr;
    std::filesystem::path m_scratchPath;
    std::vector<uint8_t> m_buffer;
    uint64_t m_total = 0;
    bool m_begun = false;
    bool m_failed = false;
    std::string m_error, m_errorCaption;
    std::unordered_set<std::string> m_names; // upper case, for the duplicate tests
    std::vector<std::string> m_namesTooLong;
};

} // namespace ravok
