#pragma once
// NoiseCache: decoded, resampled noise recordings kept in memory, so that opening the same file
// again costs a stat() and a lookup instead of a decode and a resampling (about 90 ms for a
// minute of 44.1 kHz stereo). A clip is known by the file's absolute path (links resolved) and
// its stamp (size, modification and status-change times, inode); a file changed on disk no
// longer matches and is decoded again. The cache holds a few clips (by default 4, and 64 MB of
// samples), dropping the least recently used; the clip used last is always kept, however large,
// because it is the one the next transmission plays again.
//
// Clips are immutable and shared: the cache and every NoiseSource playing a clip hold their own
// reference, so dropping a clip from the cache never disturbs a playback. The audio thread never
// touches a reference count: sources reach it and come back from it through the mixer's queues
// and are destroyed on the window's thread, so the last release of a clip (and the freeing of
// its samples) happens there, or on the cache's own thread, never in the audio callback.
//
// Open, Preload and the rest may be called from any thread but the audio thread; Preload decodes
// on the cache's own thread, started on first use.
#include "audio/noise_source.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qlor {

// What tells one version of a file from another.
struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;      // [bytes]
    int64_t modifiedNs = 0; // modification time [ns since the epoch]
    int64_t changedNs = 0;  // status-change time [ns since the epoch]: catches a rewrite that restored the mtime
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path`; false when it cannot be looked at or is no regular file.
bool StampFile(const std::string& path, FileStamp& stamp);

struct NoiseCacheLimits {
    size_t maxClips = 4;
    uint64_t maxBytes = uint64_t{64} << 20; // [bytes] of samples held
};

struct NoiseCacheStats {
    uint64_t decodes = 0;   // recordings decoded, successfully or not
    uint64_t hits = 0;      // opens served from memory
    uint64_t evictions = 0; // clips dropped to stay within the limits
    size_t clips = 0;       // clips held now
    uint64_t bytes = 0;     // [bytes] of samples held now
};

class NoiseCache {
public:
    explicit NoiseCache(int rate, NoiseCacheLimits limits = {});
    ~NoiseCache(); // drops the preloads not yet started and cuts short the one in progress
    NoiseCache(const NoiseCache&) = delete;
    NoiseCache& operator=(const NoiseCache&) = delete;

    int Rate() const { return rate_; }

    // The recording at `path` decoded and resampled for the cache's rate: from memory when this
    // version of the file is held (when it is being decoded by another thread, after waiting for
    // that decode), else decoded on the calling thread and kept. Results and error texts are
    // DecodeNoiseFile's; failures are not kept, so a file that is mended plays at its next open.
    NoiseResult Open(const std::string& path);

    // Has the recording decoded on the cache's own thread, so that a later Open of it finds it in
    // memory (or waits for the decode already under way instead of starting a second one).
    // Returns at once; a path already waiting is not queued twice; an empty path is ignored.
    void Preload(const std::string& path);
    // Returns when every preload asked for so far is done.
    void WaitForPreloads();

    void SetLimits(NoiseCacheLimits limits); // applies at once
    void Clear();                            // drops every clip (clips being played play on)
    NoiseCacheStats Stats() const;
    // True when the current version of the file is held in memory (a stat, no decode).
    bool Holds(const std::string& path) const;

private:
    struct Entry {
        std::string key; // absolute path
        FileStamp stamp;
        std::shared_ptr<const NoiseClip> clip;
        uint64_t bytes = 0;
    };
    struct Decoding {
        std::string key;
        FileStamp stamp;
    };
    using Clips = std::vector<std::shared_ptr<const NoiseClip>>;

    // All under mutex_; the dropped clips are handed back to be released after unlocking.
    std::list<Entry>::iterator Find(const std::string& key);
    bool IsDecoding(const std::string& key, const FileStamp& stamp) const;
    void Erase(std::list<Entry>::iterator entry, Clips& dropped);
    void Insert(Entry entry, Clips& dropped);
    void Trim(Clips& dropped);

    void PreloadLoop();

    const int rate_;
    mutable std::mutex mutex_;
    std::condition_variable changed_; // a decode finished, a preload was queued or done, or stop
    NoiseCacheLimits limits_;
    std::list<Entry> entries_; // most recently used first
    std::vector<Decoding> decoding_;
    uint64_t bytes_ = 0; // [bytes] held by entries_
    NoiseCacheStats counts_;

    std::deque<std::string> preloads_;
    bool preloading_ = false; // the preload thread is working on one
    std::atomic<bool> stopping_{false};
    std::thread preloader_;
};

} // namespace qlor
