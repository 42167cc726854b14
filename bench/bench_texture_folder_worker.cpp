// The Textures box's background worker over an art folder of 8,192 pictures,
// driven the way the box drives it: browse the folder, then page through it
// and wait for each page's thumbnails. Also what the interface thread pays
// while the worker runs: taking a page snapshot and a pause/resume of a write.
#include "ArtFolderScene.h"

#include "art/TextureFolderWorker.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <filesystem>
#include <mutex>

using namespace ravok;

namespace {

bench::ArtFolderScene& scene() {
    static bench::ArtFolderScene folder{int(kMaxArtFolderNames)};
    return folder;
}

// Counts the worker's page-done reports so the benchmark can wait for one.
struct PageWaiter {
    std::mutex mutex;
    std::condition_variable done;
    int pages = 0;
    void tell(TextureFolderWorker::Event event) {
        if (event != TextureFolderWorker::Event::PageDone) return;
        {
            std::lock_guard lock(mutex);
            ++pages;
        }
        done.notify_all();
    }
    void waitFor(int count) {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return pages >= count; });
    }
};

} // namespace

// Browse, then every page in turn: the listing and all 8,192 thumbnails.
static void WorkerPagesThrough8192Pictures(benchmark::State& state) {
    const auto& folder = scene().art.path;
    for (auto _ : state) {
        PageWaiter waiter;
        TextureFolderWorker worker([&](TextureFolderWorker::Event e) { waiter.tell(e); });
        worker.browse({folder, 0, false, {}});
        waiter.waitFor(1);
        const size_t names = worker.names().size();
        int pages = 1;
        for (size_t first = kThumbnailsKept; first < names; first += kThumbnailsKept) {
            worker.showPage(first);
            waiter.waitFor(++pages);
        }
        state.counters["pages"] = pages;
    }
}
BENCHMARK(WorkerPagesThrough8192Pictures)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The .RAW/.ACT copies that the HD update builds beside the folder's PNGs.
static void removeHdFallbacks(const std::filesystem::path& folder) {
    for (int i = 0; i < int(kMaxArtFolderNames); i += 8)
        for (const char* ext : {".RAW", ".ACT"})
            std::filesystem::remove(folder / ("P" + std::to_string(i) + ext));
}

// What the box waits for when it first opens on the folder: the HD update
// building the copies of its 1,024 PNGs, the listing and the first page.
static void WorkerFirstOpenConverts1024HdPictures(benchmark::State& state) {
    const auto& folder = scene().art.path;
    PageWaiter waiter;
    TextureFolderWorker worker([&](TextureFolderWorker::Event e) { waiter.tell(e); });
    int pages = 0;
    for (auto _ : state) {
        state.PauseTiming();
        removeHdFallbacks(folder);
        state.ResumeTiming();
        worker.browse({folder, 0, true, {}});
        waiter.waitFor(++pages);
        if (const auto hd = worker.hdResult()) state.counters["converted"] = hd->converted;
    }
}
BENCHMARK(WorkerFirstOpenConverts1024HdPictures)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Opening it again: every copy is up to date, so the HD update only compares times.
static void WorkerReopensUpToDateFolder(benchmark::State& state) {
    const auto& folder = scene().art.path;
    PageWaiter waiter;
    TextureFolderWorker worker([&](TextureFolderWorker::Event e) { waiter.tell(e); });
    int pages = 0;
    for (auto _ : state) {
        worker.browse({folder, 0, true, {}});
        waiter.waitFor(++pages);
    }
}
BENCHMARK(WorkerReopensUpToDateFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

// The interface thread's side while the worker keeps making thumbnails: a
// page snapshot (the box takes one per repaint) and the pause a write takes.
static void InterfaceCallsWhileTheWorkerRuns(benchmark::State& state) {
    const auto& folder = scene().art.path;
    TextureFolderWorker worker;
    size_t first = 0;
    worker.browse({folder, 0, false, {}});
    for (auto _ : state) {
        if (worker.page().complete) worker.showPage(first = (first + kThumbnailsKept) % kMaxArtFolderNames);
        benchmark::DoNotOptimize(worker.page().thumbnails.size());
        TextureFolderPause::Pauser writing(&worker.pauseGate());
    }
}
BENCHMARK(InterfaceCallsWhileTheWorkerRuns)->Unit(benchmark::kMicrosecond);
