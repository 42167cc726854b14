#include "pod/PodTrackList.h"

#include "art/ItemNames.h"
#include "pod/PodArchive.h"
#include "pod/TextLines.h"

namespace ravok {

namespace {

std::string stemOfItem(const std::string& name) {
    std::string stem(itemFileName(name));
    stem = stem.substr(0, stem.find('.'));
    return stem.substr(0, 20);
}

} // namespace

PodTrackList ListPodSituationFiles(const std::filesystem::path& path) {
    PodTrackList list;
    CTrackPOD scratch; // holds the directory while listing
    PodFile pod;
    if (!OpenPodDirectory(scratch, pod, path)) return list;
    if (scratch.podDirectory.size() > kMaxListedPodItems) return list;

    for (const auto& entry : scratch.podDirectory) {
        PodTrackEntry track;
        if (!IsSituationItemName(entry.name.view(), &track.si2)) continue;
        track.itemName = entry.name.str();
        track.stem = stemOfItem(track.itemName);
        // The first three lines, never reading past the item or the file.
        if (PodEntryFits(entry, pod.size()) && pod.seek(entry.offset)) {
            Blob head(std::min<size_t>(entry.size, 3 * (TextLineReader::kMaxLine + 1)));
            if (pod.read(head.data(), head.size())) {
                TextLineReader lines(head);
                std::string line;
                for (int i = 0; i < 3 && lines.next(line); ++i)
                    if (i == 2) track.displayName = line.substr(0, 31);
            }
        }
        list.tracks.push_back(std::move(track));
        if (list.tracks.size() == size_t(kMaxListedTracks)) break;
    }

    for (size_t i = 0; i < list.tracks.size(); ++i)
        for (size_t j = i + 1; j < list.tracks.size(); ++j) {
            if (!StemsCollide(list.tracks[i].stem, list.tracks[j].stem)) continue;
            std::string line = SharedStemWarning(list.tracks[i].stem, list.tracks[j].stem);
            if (list.warnings.size() + line.size() < kTrackWarningCapacity) list.warnings += line;
        }
    return list;
}

} // namespace ravok
