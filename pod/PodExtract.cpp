#include "pod/PodExtract.h"

#include "art/ItemNames.h"
#include "base/FileIO.h"
#include "base/PathNames.h"
#include "base/Interfaces.h"
#include "base/Text.h"
#include "model/TrackPod.h"
#include "pod/PodArchive.h"

#include <algorithm>

namespace ravok {

namespace fs = std::filesystem;

namespace {

constexpr size_t kFirstCopyBuffer = 64 * 1024;

// The target of an entry: its folder and the rest of its name, or nothing
// for entries of other folders.
std::optional<std::pair<fs::path, std::string>> targetOf(const std::string& name, const fs::path& art,
                                                         const fs::path& models) {
    const std::string_view folder = itemFolder(name), rest = nameInFolder(name);
    if (folder.empty() || rest.empty()) return std::nullopt;
    if (equalsIgnoringCase(folder, "ART")) return std::pair{art, std::string(rest)};
    if (equalsIgnoringCase(folder, "MODELS")) return std::pair{models, std::string(rest)};
    return std::nullopt;
}

fs::path pathInFolder(const fs::path& folder, const std::string& rest) {
    fs::path path = folder;
    size_t start = 0;
    for (size_t end; (end = rest.find_first_of("\\/", start)) != std::string::npos; start = end + 1)
        path /= pathFromName(std::string_view(rest).substr(start, end - start));
    return path / pathFromName(std::string_view(rest).substr(start));
}

// A link already inside the folder may point anywhere: the folder the file
// would go into, with every link resolved, must still lie inside `folder`,
// and the file itself must not be a link.
bool staysInside(const fs::path& folder, const fs::path& path) {
    std::error_code ec;
    fs::path root = fs::weakly_canonical(folder, ec);
    if (ec) return false;
    if (!root.has_filename() && root.has_relative_path()) root = root.parent_path(); // a trailing separator
    const fs::path parent = fs::weakly_canonical(path.parent_path(), ec);
    if (ec) return false;
    const auto mismatch = std::mismatch(root.begin(), root.end(), parent.begin(), parent.end());
    return mismatch.first == root.end() && !fs::is_symlink(fs::symlink_status(path, ec));
}

std::string summary(const ExtractResult& r) {
    std::string text;
    if (r.unsafe > 0)
        text += formatText("%d entr%s skipped: %s name%s would reach outside the art or models folder.\n\n", r.unsafe,
                           r.unsafe == 1 ? "y was" : "ies were", r.unsafe == 1 ? "its" : "their",
                           r.unsafe == 1 ? "" : "s");
    if (r.pastEnd > 0)
        text += formatText("%d entr%s skipped: %s bytes lie past the end of the pod file.\n\n", r.pastEnd,
                           r.pastEnd == 1 ? "y was" : "ies were", r.pastEnd == 1 ? "its" : "their");
    if (!r.failed.empty()) {
        text += "These entries could not be written:\n\n";
        for (const auto& name : r.failed) text += "    " + name + "\n";
    }
    return text;
}

} // namespace

ExtractResult ExtractPodArt(const CTrackPOD& track, const fs::path& artFolder, const fs::path& modelsFolder,
                            Prompter& prompter) {
    ExtractResult result;
    if (track.podDirectory.empty()) {
        prompter.warn(kNoItemsToExtractMessage, kExtractCaption);
        return result;
    }
    PodFile pod;
    if (!pod.open(track.podPath.str())) {
        prompter.warn(kCantAccessSourcePodMessage, kExtractCaption);
        return result;
    }
    if (!prompter.askYesNo(kExtractQuestion, kExtractCaption, false)) return result;
    result.ran = true;

    std::vector<uint8_t> buffer(kFirstCopyBuffer);
    for (const auto& entry : track.podDirectory) {
        const std::string name = entry.name.str();
        auto target = targetOf(name, artFolder, modelsFolder);
        if (!target) continue;
        const auto& [folder, rest] = *target;
        if (!isSafeRelativeName(rest)) {
            ++result.unsafe;
            continue;
        }
        if (!PodEntryFits(entry, pod.size())) {
            ++result.pastEnd;
            continue;
        }
        if (resolveInFolder(folder, rest)) {
            ++result.existing;
            continue;
        }
        if (buffer.size() < entry.size) buffer.resize(entry.size);
        const fs::path path = pathInFolder(folder, rest);
        if (!staysInside(folder, path)) {
            ++result.unsafe;
            continue;
        }
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (!pod.seek(entry.offset) || !pod.read(buffer.data(), entry.size) ||
            !writeFileAtomically(path, {buffer.data(), entry.size})) {
            result.failed.push_back(name);
            continue;
        }
        invalidateFolderCache(path.parent_path());
        ++result.written;
    }
    if (std::string text = summary(result); !text.empty()) prompter.warn(text, kExtractCaption);
    return result;
}

} // namespace ravok
