#include "art/TextureFolderWorker.h"

#include "art/Picture.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace ravok;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Waits up to five seconds for `done`.
template <typename Done> bool waitFor(Done done) {
    for (auto end = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(2ms))
        if (done()) return true;
    return done();
}

void writeRaws(const fs::path& folder, int count) {
    for (int i = 0; i < count; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "T%03d.RAW", i);
        test::writeBytes(folder / name, std::vector<uint8_t>(4096, uint8_t(i)));
    }
}

void writeBadPng(const fs::path& path) {
    const size_t stride = DibStride(48);
    std::vector<uint8_t> bgr(stride * 48, 90);
    std::string message;
    ASSERT_TRUE(WritePng(path, bgr.data(), 48, 48, stride, message)) << message; // not a power of two
}

} // namespace

TEST(TextureFolderWorker, ListsThePageAndMovesBetweenPages) {
    test::TempDir art;
    writeRaws(art.path(), 200);
    test::writeBytes(art / "odd.raw", std::vector<uint8_t>(1000, 1)); // listed, but no thumbnail
    TextureFolderWorker worker;
    worker.browse({art.path(), 0, false, {}});
    ASSERT_TRUE(waitFor([&] { return worker.page().complete; }));
    EXPECT_EQ(worker.names().size(), 201u);
    TextureFolderWorker::Page page = worker.page();
    EXPECT_EQ(page.first, 0u);
    ASSERT_EQ(page.thumbnails.size(), size_t(kThumbnailsKept));
    EXPECT_EQ(page.thumbnails[5].name, "T005.RAW");
    EXPECT_EQ(page.thumbnails[5].pixels[0], 5);

    worker.showPage(150); // the page holding name 150
    // One snapshot per look: two calls could see the old page complete and the new one's number.
    ASSERT_TRUE(waitFor([&] {
        const auto now = worker.page();
        return now.complete && now.first == 96;
    }));
    EXPECT_EQ(worker.page().thumbnails.front().name, "T096.RAW");

    // A listing with fewer names moves back to the last page; the unreadable
    // entry on it has no thumbnail.
    worker.browse({art.path(), 500, false, {}});
    ASSERT_TRUE(waitFor([&] {
        const auto now = worker.page();
        return now.complete && now.listing == 2;
    }));
    page = worker.page();
    EXPECT_EQ(page.first, 192u);
    EXPECT_EQ(page.thumbnails.size(), 8u); // T192..T199; odd.raw sorts after them but reads as nothing
}

TEST(TextureFolderWorker, PausedWorkMakesNothingUntilResumedAndStopEndsAPause) {
    test::TempDir art;
    writeRaws(art.path(), 96);
    auto worker = std::make_unique<TextureFolderWorker>();
    {
        TextureFolderPause::Pauser writing(&worker->pauseGate());
        worker->browse({art.path(), 0, false, {}});
        std::this_thread::sleep_for(100ms);
        EXPECT_TRUE(worker->page().thumbnails.empty());
        EXPECT_FALSE(worker->listed());
    }
    ASSERT_TRUE(waitFor([&] { return worker->page().complete; }));
    EXPECT_EQ(worker->page().thumbnails.size(), 96u);

    // Stopping while a write holds the worker paused does not wait for the write.
    worker->pauseGate().pause();
    worker->showPage(0);
    const auto before = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 2s);
}

TEST(TextureFolderWorker, UpdatesHdFallbacksFirstAndTheSkippedBoxShowsOncePerCount) {
    test::TempDir art;
    const size_t stride = DibStride(64);
    std::vector<uint8_t> bgr(stride * 64, 40);
    std::string message;
    ASSERT_TRUE(WritePng(art / "GRASS.PNG", bgr.data(), 64, 64, stride, message)) << message;
    writeBadPng(art / "ODD.PNG");

    TextureFolderWorker worker;
    worker.browse({art.path(), 0, true, {}});
    ASSERT_TRUE(waitFor([&] { return worker.page().complete; }));
    ASSERT_TRUE(worker.hdResult());
    EXPECT_EQ(worker.hdResult()->converted, 1);
    EXPECT_EQ(worker.hdResult()->failed, 1);
    EXPECT_TRUE(fs::exists(art / "GRASS.RAW"));
    // Listed: the two pictures, then the new .RAW.
    EXPECT_EQ(worker.names(), (std::vector<std::string>{"GRASS.PNG", "ODD.PNG", "GRASS.RAW"}));

    HdSkippedNotices notices;
    const std::string first = notices.take(art.path(), *worker.hdResult());
    EXPECT_NE(first.find("    ODD.PNG - "), std::string::npos);
    EXPECT_EQ(notices.take(art.path(), *worker.hdResult()), "");    // same folder, same count
    EXPECT_NE(notices.take(art / "OTHER", *worker.hdResult()), ""); // another folder
    writeBadPng(art / "ODD2.PNG");
    EXPECT_NE(notices.take(art.path(), UpdateHdTexturesOfFolder(art.path(), {})), ""); // two failures now
    EXPECT_EQ(notices.take(art.path(), HdUpdateResult{}), "");                         // nothing failed
}
