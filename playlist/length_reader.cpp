#include "playlist/length_reader.h"

#include <optional>

#include "engine/player.h"
#include "playlist/tag_cache.h"

LengthReader::LengthReader(std::string cachePath, platform::NotifyWindow& window, uint32_t message)
    : cachePath_(std::move(cachePath)), window_(window), message_(message), thread_([this] { Run(); }) {}

LengthReader::~LengthReader() {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void LengthReader::Request(std::vector<std::string> paths) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        waiting_.assign(std::make_move_iterator(paths.begin()), std::make_move_iterator(paths.end()));
    }
    wake_.notify_one();
}

void LengthReader::ReadFirst(const std::vector<std::string>& paths) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        waiting_.insert(waiting_.begin(), paths.begin(), paths.end());
    }
    wake_.notify_one();
}

std::vector<LengthReader::Length> LengthReader::TakeLengths() {
    const std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(read_, {});
}

void LengthReader::Run() {
    // The cache file is loaded here, off the window's thread, and the engine
    // is this thread's own: it only opens files to learn their lengths.
    TagCache cache(cachePath_);
    PlayerEngine* engine = PlayerCreate();
    std::unique_lock<std::mutex> guard(lock_);
    while (true) {
        if (waiting_.empty()) {
            // Saved while idle, so an ended session loses nothing read.
            guard.unlock();
            cache.Save();
            guard.lock();
            wake_.wait(guard, [this] { return stopping_ || !waiting_.empty(); });
        }
        if (stopping_) break;
        const std::string path = std::move(waiting_.front());
        waiting_.pop_front();
        guard.unlock();
        const std::optional<int64_t> length = engine != nullptr ? cache.ReadLength(path, engine) : std::nullopt;
        guard.lock();
        // One message until the window takes what is there.
        if (read_.empty()) window_.PostMessage(message_, 0, 0);
        read_.emplace_back(path, length.value_or(kLengthUnreadable));
    }
    guard.unlock();
    PlayerDestroy(engine);
    cache.Save();
}
