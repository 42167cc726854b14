#pragma once

#include "art/HdTextures.h"
#include "art/TextureFolder.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// The Textures box's background worker. On a thread of its own, at below
// normal priority, it brings the HD fallbacks of the art folder up to date,
// lists the folder and makes the thumbnails of the page the box shows, one
// file at a time. Every operation that writes files pauses it through
// pauseGate(); it stops with the object.
namespace ravok {

class TextureFolderWorker {
  public:
    enum class Event {
        HdUpdated, // hdResult() holds the folder's update
        Listed,    // names() holds the new listing
        Thumbnail, // the page has one more thumbnail
        PageDone,  // every file of the page was looked at
    };
    // Called on the worker thread; the box forwards it to its own thread.
    using Listener = std::function<void(Event)>;
    using ModelTextureTest = std::function<bool(const std::filesystem::path&)>;

    // What the worker is asked to browse.
    struct Browse {
        std::filesystem::path folder;
        size_t first = 0;      // the page to show, by the index of its first name
        bool updateHd = false; // rebuild out-of-date .RAW/.ACT copies of the folder's HD pictures first
        ModelTextureTest isModelTexture; // called on the worker thread
    };

    // The page being made: the thumbnails of the names from `first` on
    // (files that do not read are left out).
    struct Page {
        uint64_t listing = 0; // grows with every listing
        size_t first = 0;
        std::vector<Thumbnail> thumbnails;
        bool complete = false;
    };

    explicit TextureFolderWorker(Listener listener = {});
    ~TextureFolderWorker();
    TextureFolderWorker(const TextureFolderWorker&) = delete;
    TextureFolderWorker& operator=(const TextureFolderWorker&) = delete;

    // Starts over on a folder: HD update when asked, listing, then the page
    // (moved back to the last page when the folder has fewer names now).
    void browse(Browse request);
    // Makes the thumbnails of another page of the current listing.
    void showPage(size_t first);
    // Ends the work in progress and the thread; waits for it.
    void stop();

    TextureFolderPause& pauseGate() { return m_pause; }

    bool listed() const;
    std::vector<std::string> names() const;
    Page page() const;
    std::optional<HdUpdateResult> hdResult() const;
    std::filesystem::path folder() const;

    // The first name of the page that holds name `index`, and of the last page.
    static size_t pageStart(size_t index) { return index - index % kThumbnailsKept; }
    static size_t lastPageStart(size_t nameCount) { return nameCount == 0 ? 0 : pageStart(nameCount - 1); }

  private:
    void run();
    void runBrowse(const Browse& request, uint64_t serial);
    void runPage(size_t first, uint64_t serial);
    bool superseded(uint64_t serial) const { return m_stop || m_serial.load() != serial; }
    void tell(Event event) const {
        if (m_listener) m_listener(event);
    }

    Listener m_listener;
    TextureFolderPause m_pause;
    std::atomic<bool> m_stop{false};
    std::atomic<uint64_t> m_serial{0}; // every request supersedes the work of the one before

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Browse> m_pendingBrowse;
    std::optional<size_t> m_pendingPage;
    std::filesystem::path m_folder;
    bool m_listed = false;
    std::vector<std::string> m_names;
    Page m_page;
    std::optional<HdUpdateResult> m_hd;

    std::thread m_thread; // last, so it starts once everything else exists
};

} // namespace ravok
