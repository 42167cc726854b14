#pragma once

#include "pod/ItemSource.h"
#include "pod/PodArchive.h"
#include "pod/PodBuilder.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ravok::test {

inline Blob blobOf(std::string_view s) { return {s.begin(), s.end()}; }

// A pod built from items in the given order and opened for reading.
class PodFixture {
public:
    explicit PodFixture(const std::vector<std::pair<std::string, Blob>>& items) {
        CTrackPOD writer;
        PodBuilder builder(writer, nullptr);
        builder.scratchFolder = m_dir.path();
        EXPECT_TRUE(builder.BeginPodBuild());
        for (const auto& [name, bytes] : items) EXPECT_TRUE(builder.AddPodItemFromMemory(name, bytes));
        EXPECT_TRUE(builder.FinishPod(path()));
        EXPECT_TRUE(OpenPodDirectory(track, m_pod, path()));
    }
    std::filesystem::path path() const { return m_dir / "fixture.pod"; }
    PodItemSource source() { return PodItemSource(track, m_pod); }
    PodFile& pod() { return m_pod; }

    CTrackPOD track; // holds the directory

private:
    TempDir m_dir;
    PodFile m_pod;
};

} // namespace ravok::test
