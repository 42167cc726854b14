#include "pod/PodBuilder.h"

#include "base/ByteWriter.h"
#include "base/FileIO.h"
#include "base/Interfaces.h"
#include "base/PortableFile.h"
#include "base/Text.h"
#include "pod/PodArchive.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

namespace ravok {

namespace {

constexpr uint64_t kMaxPodBytes = 0xFFFFFFFFull; // offsets and sizes are 32-bit
constexpr const char* kUntouched = "Nothing was written. The existing pod, if any, is untouched.";

std::atomic<unsigned> g_buildCounter{0};

// A file of our own, created exclusively (an existing file or link is never
// followed or reused) under the program's name, the process and a counter.
FILE* createExclusive(const std::filesystem::path& folder, const std::string& prefix, std::filesystem::path& path) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        path = folder / formatText("%s-%ld-%u.tmp", prefix.c_str(), processId(), ++g_buildCounter);
        if (FILE* f = createNewFile(path)) return f;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

std::string reasonText(int error) { return std::strerror(error); }

bool isReadOnly(const std::filesystem::path& path) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return false;
    using std::filesystem::perms;
    return (status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) == perms::none;
}

} // namespace

PodBuilder::PodBuilder(CTrackPOD& track, Prompter* reporter) : m_track(track), m_reporter(reporter) {}

PodBuilder::~PodBuilder() { removeScratch(); }

void PodBuilder::removeScratch() {
    if (m_scratch) std::fclose(m_scratch);
    m_scratch = nullptr;
    if (!m_scratchPath.empty()) {
        std::error_code ec;
        std::filesystem::remove(m_scratchPath, ec);
    }
    m_buffer.clear();
    m_buffer.shrink_to_fit();
}

bool PodBuilder::fail(std::string text, const char* caption) {
    m_failed = true;
    m_error = std::move(text);
    m_errorCaption = caption;
    if (m_reporter) m_reporter->warn(m_error, m_errorCaption);
    removeScratch();
    return false;
}

bool PodBuilder::BeginPodBuild() {
    removeScratch();
    m_scratchPath.clear();
    m_failed = false;
    m_error.clear();
    m_total = 0;
    m_names.clear();
    m_namesTooLong.clear();
    m_begun = true;

    std::error_code ec;
    std::filesystem::path folder = scratchFolder.empty() ? std::filesystem::temp_directory_path(ec) : scratchFolder;
    m_scratch = createExclusive(folder, "RavokPOD", m_scratchPath);
    if (!m_scratch) {
        int error = errno;
        std::filesystem::path shown = m_scratchPath;
        m_scratchPath.clear(); // not ours: never removed
        return fail(formatText("Could not create the scratch file the pod is built in:\n\n    %s\n\nReason: %s "
                               "(errno %d)\n\n%s",
                               shown.string().c_str(), reasonText(error).c_str(), error, kUntouched),
                    kPodBuildCaption);
    }
    try {
        m_buffer.resize(kPodCopyBufferBytes);
    } catch (const std::bad_alloc&) {
        return fail("Out of memory building the pod.", kPodBuildCaption);
    }
    try {
        m_track.podDirectory.clear();
        m_track.podDirectory.shrink_to_fit();
        m_track.podDirectory.reserve(kPodItemTableEntries);
    } catch (const std::bad_alloc&) {
        return fail("Out of memory building the pod item table.", kPodBuildCaption);
    }
    return true;
}

bool PodBuilder::HasItem(std::string_view name) const { return m_names.count(upperCase(name)) != 0; }

// Refuses, and fails the build, an item past the item table or one that
// would carry the pod past what 32-bit offsets and sizes can address.
bool PodBuilder::roomForItem(uint64_t size) {
    const size_t count = m_track.podDirectory.size();
    if (count >= kPodItemTableEntries)
        return fail(formatText("The pod would hold more than %d items, the most a pod is built with.\n\n%s",
                               int(kPodItemTableEntries), kUntouched),
                    kPodBuildCaption);
    const uint64_t end = kPodHeaderBytes + kPodEntryBytes * uint64_t(count + 1) + m_total + size;
    if (end > kMaxPodBytes)
        return fail(formatText("The pod would be larger than 4 GiB, more than the 32-bit offsets and sizes of a "
                               "pod directory can address.\n\n%s",
                               kUntouched),
                    kPodBuildCaption);
    return true;
}

bool PodBuilder::appendToScratch(const uint8_t* bytes, size_t n) {
    if (n == 0 || std::fwrite(bytes, 1, n, m_scratch) == n) return true;
    int error = errno;
    return fail(formatText("Could not write to the scratch file the pod is built in:\n\n    %s\n\nReason: %s "
                           "(errno %d)\n\n%s",
                           m_scratchPath.string().c_str(), reasonText(error).c_str(), error, kUntouched),
                kPodBuildCaption);
}

bool PodBuilder::addEntry(std::string_view name, uint64_t size) {
    PodDirectoryEntry entry;
    entry.name.set(upperCase(name));
    entry.size = uint32_t(size);
    entry.offset = uint32_t(m_total); // scratch-relative until the pod is finished
    m_track.podDirectory.push_back(entry);
    m_names.insert(entry.name.str());
    m_total += size;
    return true;
}

bool PodBuilder::AddPodItemFromMemory(std::string_view name, std::span<const uint8_t> bytes) {
    if (!m_begun || m_failed) return false;
    if (name.size() > kPodMaxEntryName) {
        m_namesTooLong.emplace_back(name);
        return true;
    }
    if (!roomForItem(bytes.size())) return false;
    if (!appendToScratch(bytes.data(), bytes.size())) return false;
    return addEntry(name, bytes.size());
}

PodBuilder::AddFileResult PodBuilder::AddFileToPod(std::string_view podPath, const std::filesystem::path& source) {
    if (!m_begun || m_failed) return AddFileResult::Failed;
    std::string name(podPath.substr(0, std::min(podPath.rfind('.'), podPath.size())));
    std::string sourceName = source.filename().string();
    if (auto dot = sourceName.rfind('.'); dot != std::string::npos) name += sourceName.substr(dot);
    name = upperCase(name);
    if (name.size() > kPodMaxEntryName) return AddFileResult::NameTooLong;
    if (HasItem(name)) return AddFileResult::Duplicate;

    std::error_code ec;
    const uintmax_t size = std::filesystem::file_size(source, ec);
    FILE* in = ec ? nullptr : openFile(source, "rb");
    if (!in) return AddFileResult::SourceMissing;
    if (!roomForItem(size)) {
        std::fclose(in);
        return AddFileResult::Failed;
    }
    // Copies at most the size checked above, in blocks.
    uint64_t copied = 0;
    while (copied < size) {
        size_t want = size_t(std::min<uint64_t>(kPodFileBlockBytes, size - copied));
        size_t got = std::fread(m_buffer.data(), 1, want, in);
        if (got && !appendToScratch(m_buffer.data(), got)) {
            std::fclose(in);
            return AddFileResult::Failed;
        }
        copied += got;
        if (got < want) break;
    }
    std::fclose(in);
    addEntry(name, copied);
    return AddFileResult::Added;
}

bool PodBuilder::writeTarget(FILE* out, std::string& reason, int& error) {
    long long written = 0;
    auto put = [&](const void* data, size_t n) {
        if (failWritesAfterBytes >= 0 && written + (long long)n > failWritesAfterBytes) {
            errno = ENOSPC;
            return false;
        }
        written += (long long)n;
        return std::fwrite(data, 1, n, out) == n;
    };
    const uint32_t base = uint32_t(kPodHeaderBytes + kPodEntryBytes * m_track.podDirectory.size());
    ByteWriter head;
    head.u32LE(uint32_t(m_track.podDirectory.size()));
    head.bytes({reinterpret_cast<const uint8_t*>(m_track.comment.raw().data()), kPodCommentBytes});
    for (const auto& entry : m_track.podDirectory) {
        head.bytes({reinterpret_cast<const uint8_t*>(entry.name.raw().data()), kPodEntryNameBytes});
        head.u32LE(entry.size);
        head.u32LE(entry.offset + base);
    }
    if (!put(head.bytes().data(), head.bytes().size())) {
        error = errno;
        reason = "write";
        return false;
    }
    if (progress) progress->setPosition(70);
    if (failScratchReadback) errno = EIO;
    if (failScratchReadback || std::fflush(m_scratch) != 0 || std::fseek(m_scratch, 0, SEEK_SET) != 0) {
        error = errno;
        reason = "scratch";
        return false;
    }
    for (;;) {
        size_t got = std::fread(m_buffer.data(), 1, kPodFinalBlockBytes, m_scratch);
        if (got && !put(m_buffer.data(), got)) {
            error = errno;
            reason = "write";
            return false;
        }
        if (got < kPodFinalBlockBytes) break;
    }
    if (progress) progress->setPosition(80);
    if (std::ferror(m_scratch)) {
        error = errno ? errno : EIO;
        reason = "scratch";
        return false;
    }
    if (!flushToDisk(out)) {
        error = errno;
        reason = "write";
        return false;
    }
    return true;
}

bool PodBuilder::FinishPod(const std::filesystem::path& requested) {
    if (!m_begun || m_failed || !m_scratch) return false;
    // Through a symbolic link the pod lands in the link's target; the link stays.
    const std::filesystem::path target = resolveWriteTarget(requested);
    auto refuseTarget = [&](bool readOnly, int error) {
        m_track.podDirectory.clear();
        return fail(formatText("The pod was built, but this file could not be opened for writing:\n\n    %s\n\n%s"
                               "Nothing was written - the existing pod is untouched.\n\nReason: %s (errno %d)\n\n"
                               "Close the game if it is running, check the file is not read-only, and try again.",
                               target.string().c_str(), readOnly ? "It is marked READ-ONLY.\n\n" : "",
                               reasonText(error).c_str(), error),
                    kPodWriteCaption);
    };
    // A read-only pod is never replaced, whoever runs the program.
    if (isReadOnly(target)) return refuseTarget(true, EACCES);
    std::error_code ec;
    if (std::filesystem::exists(target, ec) && !std::filesystem::is_regular_file(target, ec))
        return refuseTarget(false, std::filesystem::is_directory(target, ec) ? EISDIR : EINVAL);

    std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::filesystem::path temporary;
    std::string prefix = ".";
    prefix.append(target.filename().string()).append(".ravok");
    FILE* out = createExclusive(folder, prefix, temporary);
    if (!out) return refuseTarget(false, errno);

    std::string reason;
    int error = 0;
    bool written = writeTarget(out, reason, error);
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = errno;
        reason = "write";
    }
    if (written) {
        if (std::filesystem::exists(target, ec))
            std::filesystem::permissions(temporary, std::filesystem::status(target, ec).permissions(), ec);
        if (!replaceFile(temporary, target, ec)) {
            written = false;
            error = ec.value();
            reason = "write";
        }
    }
    if (!written) {
        std::filesystem::remove(temporary, ec);
        m_track.podDirectory.clear();
        if (reason == "scratch")
            return fail(formatText("The pod directory was written, but the scratch file holding its contents\n"
                                   "could not be reopened:\n\n    %s\n\nReason: %s (errno %d)\n\nThe unfinished pod "
                                   "was removed - the existing pod is untouched.",
                                   m_scratchPath.string().c_str(), reasonText(error).c_str(), error),
                        kPodFinishCaption);
        return fail(formatText("The pod could not be written completely:\n\n    %s\n\nReason: %s (errno %d)\n\n"
                               "Nothing was written - the existing pod is untouched. Check that the disk has room "
                               "and try again.",
                               target.string().c_str(), reasonText(error).c_str(), error),
                    kPodWriteCaption);
    }

    const uint32_t base = uint32_t(kPodHeaderBytes + kPodEntryBytes * m_track.podDirectory.size());
    for (auto& entry : m_track.podDirectory) entry.offset += base;
    invalidateFolderCache(folder);
    removeScratch();
    m_begun = false;
    if (progress) progress->setPosition(90);
    return true;
}

} // namespace ravok
