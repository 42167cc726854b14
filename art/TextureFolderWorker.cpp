#include "art/TextureFolderWorker.h"

#include <algorithm>

#if defined(__linux__)
#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace ravok {

namespace {

// Below normal priority for the calling thread, so that the editor stays
// responsive while thumbnails are made. On Linux the nice value is per thread.
void lowerThreadPriority() {
#if defined(__linux__)
    const auto tid = id_t(syscall(SYS_gettid));
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, tid);
    if (errno == 0) setpriority(PRIO_PROCESS, tid, std::min(nice + 5, 19));
#elif defined(_WIN32)
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#endif
}

} // namespace

TextureFolderWorker::TextureFolderWorker(Listener listener)
    : m_listener(std::move(listener)), m_thread([this] { run(); }) {}

TextureFolderWorker::~TextureFolderWorker() {
    stop();
}

void TextureFolderWorker::browse(Browse request) {
    {
        std::lock_guard lock(m_mutex);
        m_pendingBrowse = std::move(request);
        m_pendingPage.reset();
        ++m_serial;
    }
    m_wake.notify_all();
}

void TextureFolderWorker::showPage(size_t first) {
    {
        std::lock_guard lock(m_mutex);
        if (m_pendingBrowse) {
            m_pendingBrowse->first = first;
        } else {
            m_pendingPage = first;
            ++m_serial;
        }
    }
    m_wake.notify_all();
}

void TextureFolderWorker::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_pause.wake();
    if (m_thread.joinable()) m_thread.join();
}

bool TextureFolderWorker::listed() const {
    std::lock_guard lock(m_mutex);
    return m_listed;
}

std::vector<std::string> TextureFolderWorker::names() const {
    std::lock_guard lock(m_mutex);
    return m_names;
}

TextureFolderWorker::Page TextureFolderWorker::page() const {
    std::lock_guard lock(m_mutex);
    return m_page;
}

std::optional<HdUpdateResult> TextureFolderWorker::hdResult() const {
    std::lock_guard lock(m_mutex);
    return m_hd;
}

fs::path TextureFolderWorker::folder() const {
    std::lock_guard lock(m_mutex);
    return m_folder;
}

void TextureFolderWorker::run() {
    lowerThreadPriority();
    for (;;) {
        std::optional<Browse> browse;
        std::optional<size_t> page;
        uint64_t serial = 0;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_pendingBrowse || m_pendingPage; });
            if (m_stop) return;
            browse.swap(m_pendingBrowse);
            page.swap(m_pendingPage);
            serial = m_serial;
        }
        if (browse)
            runBrowse(*browse, serial);
        else if (page)
            runPage(*page, serial);
    }
}

void TextureFolderWorker::runBrowse(const Browse& request, uint64_t serial) {
    if (request.updateHd) {
        HdUpdateResult hd =
            UpdateHdTexturesOfFolder(request.folder, request.isModelTexture, &m_stop, &m_pause);
        if (superseded(serial)) return;
        {
            std::lock_guard lock(m_mutex);
            m_hd = std::move(hd);
        }
        tell(Event::HdUpdated);
    }
    m_pause.waitWhilePaused(m_stop);
    std::vector<std::string> names = ListArtFolder(request.folder, &m_stop);
    size_t first = 0;
    {
        std::lock_guard lock(m_mutex);
        if (superseded(serial)) return;
        first = std::min(pageStart(request.first), lastPageStart(names.size()));
        m_folder = request.folder;
        m_names = std::move(names);
        m_listed = true;
        m_page = Page{m_page.listing + 1, first, {}, false};
    }
    tell(Event::Listed);
    runPage(first, serial);
}

void TextureFolderWorker::runPage(size_t first, uint64_t serial) {
    std::vector<std::string> names;
    fs::path folder;
    {
        std::lock_guard lock(m_mutex);
        first = std::min(pageStart(first), lastPageStart(m_names.size()));
        m_page = Page{m_page.listing, first, {}, false};
        const size_t end = std::min(m_names.size(), first + kThumbnailsKept);
        names.assign(m_names.begin() + std::ptrdiff_t(std::min(first, end)),
                     m_names.begin() + std::ptrdiff_t(end));
        folder = m_folder;
    }
    for (const std::string& name : names) {
        m_pause.waitWhilePaused(m_stop);
        if (superseded(serial)) return;
        std::optional<Thumbnail> thumbnail = MakeThumbnail(folder, name);
        if (!thumbnail) continue;
        {
            std::lock_guard lock(m_mutex);
            if (superseded(serial)) return;
            m_page.thumbnails.push_back(std::move(*thumbnail));
        }
        tell(Event::Thumbnail);
    }
    {
        std::lock_guard lock(m_mutex);
        if (superseded(serial)) return;
        m_page.complete = true;
    }
    tell(Event::PageDone);
}

} // namespace ravok
