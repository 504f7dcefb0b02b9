#include "audio/noise_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

namespace qlor {
namespace {

int64_t Nanoseconds(const timespec& time) {
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// The absolute path the clips are known by, links resolved, so that every spelling of a file
// finds its clip (relative paths are taken from the current directory of the moment).
std::string KeyOf(const std::string& path) {
    std::error_code error;
    std::filesystem::path key = std::filesystem::canonical(path, error);
    if (error) {
        key = std::filesystem::absolute(path, error);
    }
    return error ? path : key.string();
}

uint64_t BytesOf(const NoiseClip& clip) {
    return sizeof(NoiseClip) + clip.samples.capacity() * sizeof(float);
}

} // namespace

bool StampFile(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<uint64_t>(info.st_size);
    stamp.modifiedNs = Nanoseconds(info.st_mtim);
    stamp.changedNs = Nanoseconds(info.st_ctim);
    return true;
}

NoiseCache::NoiseCache(int rate, NoiseCacheLimits limits) : rate_(rate), limits_(limits) {}

NoiseCache::~NoiseCache() {
    {
        std::lock_guard lock(mutex_);
        preloads_.clear();
        stopping_.store(true);
    }
    changed_.notify_all();
    if (preloader_.joinable()) {
        preloader_.join();
    }
}

std::list<NoiseCache::Entry>::iterator NoiseCache::Find(const std::string& key) {
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.key == key; });
}

bool NoiseCache::IsDecoding(const std::string& key, const FileStamp& stamp) const {
    return std::any_of(decoding_.begin(), decoding_.end(),
                       [&](const Decoding& d) { return d.key == key && d.stamp == stamp; });
}

void NoiseCache::Erase(std::list<Entry>::iterator entry, Clips& dropped) {
    bytes_ -= entry->bytes;
    dropped.push_back(std::move(entry->clip));
    entries_.erase(entry);
}

void NoiseCache::Insert(Entry entry, Clips& dropped) {
    if (auto old = Find(entry.key); old != entries_.end()) {
        Erase(old, dropped);
    }
    bytes_ += entry.bytes;
    entries_.push_front(std::move(entry));
    Trim(dropped);
}

// Drops the least recently used clips until the limits hold, keeping at least the newest.
void NoiseCache::Trim(Clips& dropped) {
    while (entries_.size() > 1 && (entries_.size() > limits_.maxClips || bytes_ > limits_.maxBytes)) {
        Erase(std::prev(entries_.end()), dropped);
        ++counts_.evictions;
    }
}

NoiseResult NoiseCache::Open(const std::string& path) {
    FileStamp stamp;
    if (!StampFile(path, stamp)) {
        // Missing, unreadable or not a file: the decoder words the reason.
        {
            std::lock_guard lock(mutex_);
            ++counts_.decodes;
        }
        return DecodeNoiseFile(path, rate_, &stopping_);
    }
    const std::string key = KeyOf(path);
    Clips dropped; // released after unlocking, never while others wait for the lock
    std::unique_lock lock(mutex_);
    for (;;) {
        if (auto entry = Find(key); entry != entries_.end()) {
            if (entry->stamp == stamp) {
                entries_.splice(entries_.begin(), entries_, entry);
                ++counts_.hits;
                NoiseResult result;
                result.clip = entry->clip;
                return result;
            }
            Erase(entry, dropped); // the file has changed since
        }
        if (!IsDecoding(key, stamp)) {
            break;
        }
        changed_.wait(lock); // another thread decodes this very version
    }
    decoding_.push_back(Decoding{key, stamp});
    ++counts_.decodes;
    lock.unlock();
    dropped.clear();

    NoiseResult result = DecodeNoiseFile(path, rate_, &stopping_);

    lock.lock();
    decoding_.erase(std::find_if(decoding_.begin(), decoding_.end(),
                                 [&](const Decoding& d) { return d.key == key && d.stamp == stamp; }));
    if (result.ok()) {
        Insert(Entry{key, stamp, result.clip, BytesOf(*result.clip)}, dropped);
    }
    lock.unlock();
    changed_.notify_all();
    return result;
}

void NoiseCache::Preload(const std::string& path) {
    if (path.empty()) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        if (stopping_.load() || std::find(preloads_.begin(), preloads_.end(), path) != preloads_.end()) {
            return;
        }
        preloads_.push_back(path);
        if (!preloader_.joinable()) {
            preloader_ = std::thread([this] { PreloadLoop(); });
        }
    }
    changed_.notify_all();
}

void NoiseCache::PreloadLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_.load() || !preloads_.empty(); });
        if (stopping_.load()) {
            return;
        }
        const std::string path = std::move(preloads_.front());
        preloads_.pop_front();
        preloading_ = true;
        lock.unlock();
        Open(path); // a failure is reported when the recording is opened for playing
        lock.lock();
        preloading_ = false;
        changed_.notify_all();
    }
}

void NoiseCache::WaitForPreloads() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stopping_.load() || (preloads_.empty() && !preloading_); });
}

void NoiseCache::SetLimits(NoiseCacheLimits limits) {
    Clips dropped;
    std::lock_guard lock(mutex_);
    limits_ = limits;
    Trim(dropped);
}

void NoiseCache::Clear() {
    Clips dropped;
    std::lock_guard lock(mutex_);
    while (!entries_.empty()) {
        Erase(entries_.begin(), dropped);
    }
}

NoiseCacheStats NoiseCache::Stats() const {
    std::lock_guard lock(mutex_);
    NoiseCacheStats stats = counts_;
    stats.clips = entries_.size();
    stats.bytes = bytes_;
    return stats;
}

bool NoiseCache::Holds(const std::string& path) const {
    FileStamp stamp;
    if (!StampFile(path, stamp)) {
        return false;
    }
    const std::string key = KeyOf(path);
    std::lock_guard lock(mutex_);
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& entry) { return entry.key == key && entry.stamp == stamp; });
}

} // namespace qlor
