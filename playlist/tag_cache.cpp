#include "playlist/tag_cache.h"

#include <sys/stat.h>

#include <algorithm>
#include <thread>
#include <unordered_set>

#include "platform/app_files.h"

namespace {

// Fewer misses than this are read on the calling thread: threads cost more
// than they save.
constexpr size_t kMissesPerThread = 64;
constexpr unsigned kMaxReadThreads = 4;

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileStamp{static_cast<uint64_t>(status.st_size),
                     int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec};
}

// Reads the tags of `misses` (indexes into `entries`), split among threads
// that each fill their own entries.
void ReadMisses(std::vector<TagCacheEntry>& entries, const std::vector<size_t>& misses) {
    const auto readRange = [&](size_t begin, size_t end) {
        for (size_t index = begin; index < end; ++index) {
            TagCacheEntry& entry = entries[misses[index]];
            entry.tagged = PlayerReadFileTag(entry.path, &entry.tag) != 0;
        }
    };
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t threads = std::clamp<size_t>(misses.size() / kMissesPerThread, 1, std::min<size_t>(kMaxReadThreads, cores));
    std::vector<std::thread> workers;
    const size_t share = (misses.size() + threads - 1) / threads;
    for (size_t worker = 1; worker < threads; ++worker) {
        const size_t begin = std::min(misses.size(), worker * share);
        workers.emplace_back(readRange, begin, std::min(misses.size(), begin + share));
    }
    readRange(0, std::min(misses.size(), share));
    for (std::thread& thread : workers) thread.join();
}

// The engine's length of the file, which it opens and closes again.
int64_t LengthOf(const std::string& path, PlayerEngine* engine) {
    if (PlayerOpen(engine, path) == 0) return kLengthUnreadable;
    const int32_t duration = PlayerGetDuration(engine);
    PlayerClose(engine);
    return duration > 0 ? duration : kLengthUnreadable;
}

}  // namespace

TagCache::TagCache(std::string cachePath) : cachePath_(std::move(cachePath)) {
    std::string bytes;
    if (cachePath_.empty() ||
        platform::ReadWholeFile(cachePath_, kTagCacheMaxFileBytes, bytes) != platform::FileRead::Done) {
        return;
    }
    if (std::optional<std::vector<TagCacheEntry>> entries = ParseTagCache(bytes)) {
        for (TagCacheEntry& entry : *entries) entries_.insert_or_assign(entry.path, std::move(entry));
    }
}

std::vector<std::optional<PlayerTag>> TagCache::Read(const std::vector<std::string>& paths) {
    std::vector<TagCacheEntry> found(paths.size());
    std::vector<bool> present(paths.size(), false);
    std::vector<size_t> misses;
    for (size_t index = 0; index < paths.size(); ++index) {
        TagCacheEntry& entry = found[index];
        entry.path = paths[index];
        const std::optional<FileStamp> stamp = StampOf(entry.path);
        if (!stamp) continue;  // gone or not a file: no tag, nothing kept
        present[index] = true;
        entry.stamp = *stamp;
        const auto cached = entries_.find(entry.path);
        if (cached != entries_.end() && cached->second.stamp == *stamp) {
            entry = cached->second;
        } else {
            misses.push_back(index);
        }
    }
    ReadMisses(found, misses);
    changed_ = changed_ || !misses.empty();

    std::vector<std::optional<PlayerTag>> tags(paths.size());
    for (size_t index = 0; index < paths.size(); ++index) {
        TagCacheEntry& entry = found[index];
        if (!present[index]) continue;
        if (entry.tagged) tags[index] = entry.tag;
        lastUsed_.push_back(entry.path);
        entries_.insert_or_assign(entry.path, std::move(entry));
    }
    return tags;
}

std::optional<int64_t> TagCache::ReadLength(const std::string& path, PlayerEngine* engine) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp) return std::nullopt;
    TagCacheEntry& entry = entries_[path];
    if (entry.path.empty() || entry.stamp != *stamp) {
        entry = TagCacheEntry();
        entry.path = path;
        entry.stamp = *stamp;
        entry.tagged = PlayerReadFileTag(path, &entry.tag) != 0;
    }
    if (entry.lengthMs == kLengthNotRead) {
        entry.lengthMs = LengthOf(path, engine);
        changed_ = true;
    }
    lastUsed_.push_back(path);
    if (entry.lengthMs < 0) return std::nullopt;
    return entry.lengthMs;
}

bool TagCache::Save() {
    if (!changed_ || cachePath_.empty()) return true;
    std::vector<TagCacheEntry> kept;
    std::unordered_set<std::string> taken;
    const auto keep = [&](const std::string& path) {
        if (kept.size() == kTagCacheMaxEntries || !taken.insert(path).second) return;
        const auto entry = entries_.find(path);
        if (entry != entries_.end()) kept.push_back(entry->second);
    };
    for (auto used = lastUsed_.rbegin(); used != lastUsed_.rend(); ++used) keep(*used);
    for (const auto& [path, entry] : entries_) keep(path);
    if (!platform::WriteFileAtomically(cachePath_, FormatTagCache(kept))) return false;
    changed_ = false;
    return true;
}

std::string DefaultTagCachePath() {
    const std::string directory = platform::CacheDirectory();
    return directory.empty() ? std::string() : directory + "/tags.cache";
}
