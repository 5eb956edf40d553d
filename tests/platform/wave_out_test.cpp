#include "platform/wave_out.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/syscall.h>

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/wave_block_queue.h"
#include "platform/wave_out_backends.h"
#include "tests/support/fixtures.h"
#include "tests/support/waiting.h"

namespace {

using namespace std::chrono_literals;

// Collects the blocks a device returns and on which thread.
class DoneRecorder {
public:
    platform::WaveDoneCallback Callback() {
        return [this](uint32_t message, platform::WaveHeader* header) {
            std::lock_guard lock(mutex_);
            if (message == platform::WOM_DONE) done_.push_back(header);
            threads_.push_back(std::this_thread::get_id());
            changed_.notify_all();
        };
    }
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout = 10s) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return done_.size() >= count; });
    }
    std::vector<platform::WaveHeader*> Done() {
        std::lock_guard lock(mutex_);
        return done_;
    }
    bool AnyOnThread(std::thread::id id) {
        std::lock_guard lock(mutex_);
        for (auto thread : threads_) {
            if (thread == id) return true;
        }
        return false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<platform::WaveHeader*> done_;
    std::vector<std::thread::id> threads_;
};

struct Block {
    std::vector<uint8_t> data;
    platform::WaveHeader header;
    Block(size_t bytes, uint8_t fill) : data(bytes, fill) {
        header.data = data.data();
        header.bufferLength = static_cast<uint32_t>(bytes);
    }
};

constexpr platform::WaveFormat kStereo16{2, 44100, 16};

TEST(CaptureDevice, PlaysBlocksInOrderAndReturnsThemOnItsOwnThread) {
    std::vector<uint8_t> captured;
    std::mutex capturedMutex;
    platform::CaptureSink sink;
    sink.onPcm = [&](const platform::WaveFormat&, const uint8_t* pcm, size_t bytes) {
        std::lock_guard lock(capturedMutex);
        captured.insert(captured.end(), pcm, pcm + bytes);
    };
    auto device = platform::CreateCaptureWaveOutDevice(sink);
    DoneRecorder recorder;
    ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
    Block first(4000, 1), second(400, 2);
    device->Write(&first.header);
    device->Write(&second.header);
    ASSERT_TRUE(recorder.WaitForCount(2));
    EXPECT_EQ(recorder.Done(), (std::vector{&first.header, &second.header}));
    EXPECT_FALSE(recorder.AnyOnThread(std::this_thread::get_id()));
    EXPECT_EQ(device->Position(), 4400u / 4);
    device->Close();

    ASSERT_EQ(captured.size(), 4400u);
    EXPECT_EQ(captured[3999], 1);
    EXPECT_EQ(captured[4000], 2);
}

TEST(CaptureDevice, PausedDeviceKeepsItsQueueUntilRestartOrReset) {
    auto device = platform::CreateCaptureWaveOutDevice({});
    DoneRecorder recorder;
    ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
    device->Pause();
    Block first(1000, 0), second(1000, 0), third(1000, 0);
    device->Write(&first.header);
    device->Write(&second.header);
    EXPECT_FALSE(recorder.WaitForCount(1, 50ms)) << "nothing plays while paused";
    EXPECT_EQ(device->Position(), 0u);

    device->Restart();
    ASSERT_TRUE(recorder.WaitForCount(2));
    EXPECT_EQ(device->Position(), 500u);

    device->Pause();
    device->Write(&third.header);
    device->Reset();  // returns the queued block before it returns
    EXPECT_EQ(recorder.Done().size(), 3u);
    EXPECT_EQ(device->Position(), 0u) << "the position restarts after a reset";
    device->Close();
}

TEST(CaptureDevice, WritesAWaveFile) {
    test::TemporaryFile directory({});
    const std::string path = directory.Directory() + "/out.wav";
    auto device = platform::CreateCaptureWaveOutDevice({path, {}});
    DoneRecorder recorder;
    ASSERT_EQ(device->Open({1, 22050, 8}, recorder.Callback()), platform::WAVE_OK);
    Block block(301, 0x90);  // odd, so the chunk needs its pad byte
    device->Write(&block.header);
    ASSERT_TRUE(recorder.WaitForCount(1));
    device->Close();

    const auto bytes = test::ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 44u + 302u);
    auto le32 = [&](size_t offset) { return platform::ReadLittle32(bytes.data() + offset); };
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(le32(4), bytes.size() - 8);
    EXPECT_EQ(le32(24), 22050u);
    EXPECT_EQ(bytes[34], 8);
    EXPECT_EQ(le32(40), 301u);
    EXPECT_EQ(bytes[44], 0x90);
}

TEST(NullDevice, KeepsToRealTime) {
    auto device = platform::CreateNullWaveOutDevice();
    DoneRecorder recorder;
    ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
    Block block(44100 * 4 / 5, 0);  // 200 ms
    const auto start = std::chrono::steady_clock::now();
    device->Write(&block.header);
    ASSERT_TRUE(recorder.WaitForCount(1));
    // Only a lower bound: a loaded machine may be late, never early.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 180ms);
    EXPECT_EQ(device->Position(), 44100u / 5);
    device->Close();
}

// A paced device plays the front blocks that fit in its period together,
// but leaves the last one queued for the writer to catch up.
TEST(WaveBlockQueue, FrontTakesWholeBlocksWithinTheLimitButNeverTheLast) {
    struct Case {
        size_t queued;    // blocks of 100 bytes
        size_t pulled;    // bytes of the front block already played
        size_t limit;
        size_t expected;  // bytes of the front span
    };
    for (const Case& c : {Case{0, 0, 1000, 0}, Case{1, 0, 1000, 100}, Case{2, 0, 1000, 100},
                          Case{6, 0, 1000, 500}, Case{6, 0, 350, 300}, Case{6, 0, 0, 100},
                          Case{6, 40, 259, 160}, Case{6, 40, 260, 260}}) {
        platform::WaveBlockQueue queue;
        queue.Start({}, 1);
        std::vector<std::unique_ptr<Block>> blocks;
        std::vector<platform::WaveHeader*> headers;
        for (size_t i = 0; i < c.queued; ++i) {
            blocks.push_back(std::make_unique<Block>(100, 0));
            headers.push_back(&blocks.back()->header);
        }
        queue.Push(headers);
        queue.Pull(nullptr, c.pulled);
        EXPECT_EQ(queue.Front(c.limit).bytes, c.expected)
            << c.queued << " queued, " << c.pulled << " pulled, limit " << c.limit;
        queue.Stop();
    }
}

// An empty block plays in no time and comes back in its turn on every
// device, whether it is alone, first, or between others.
TEST(WaveDevices, ReturnEmptyBlocksInTheirTurn) {
    const std::vector<std::pair<std::string, std::function<std::unique_ptr<platform::WaveOutDevice>()>>> devices = {
        {"null", platform::CreateNullWaveOutDevice},
        {"capture", [] { return platform::CreateCaptureWaveOutDevice({}); }},
    };
    for (const auto& [name, create] : devices) {
        for (const std::vector<size_t>& sizes : {std::vector<size_t>{0}, {0, 400}, {400, 0, 400}, {400, 0}}) {
            SCOPED_TRACE(name + " with " + std::to_string(sizes.size()) + " blocks");
            auto device = create();
            DoneRecorder recorder;
            ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
            std::vector<std::unique_ptr<Block>> blocks;
            std::vector<platform::WaveHeader*> written;
            for (size_t bytes : sizes) {
                blocks.push_back(std::make_unique<Block>(bytes, 0));
                written.push_back(&blocks.back()->header);
                device->Write(written.back());
            }
            EXPECT_TRUE(recorder.WaitForCount(sizes.size(), 5s));
            EXPECT_EQ(recorder.Done(), written);
            device->Close();
        }
    }
}

TEST(NullDevice, ResetReleasesEverythingAtOnce) {
    auto device = platform::CreateNullWaveOutDevice();
    DoneRecorder recorder;
    ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
    std::vector<std::unique_ptr<Block>> blocks;
    for (int i = 0; i < 8; ++i) {
        blocks.push_back(std::make_unique<Block>(44100 * 4, 0));  // a second each
        device->Write(&blocks.back()->header);
    }
    device->Reset();
    EXPECT_EQ(recorder.Done().size(), 8u);
    EXPECT_EQ(device->Position(), 0u);
    device->Close();
}

// Each close finishes in the background; the next open, at once after it,
// and the device's end, with a close still running, wait for it.
TEST(SdlDevice, PlaysThroughTheDummyDriverAndReopensAtOnceAfterAClose) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto device = platform::CreateSdlWaveOutDevice();
    DoneRecorder recorder;
    Block block(800, 0x80);
    for (const platform::WaveFormat format : {platform::WaveFormat{1, 8000, 8}, platform::WaveFormat{2, 22050, 16}}) {
        ASSERT_EQ(device->Open(format, recorder.Callback()), platform::WAVE_OK);
        const size_t done = recorder.Done().size();
        device->Write(&block.header);
        ASSERT_TRUE(recorder.WaitForCount(done + 1));
        EXPECT_EQ(device->Position(), 800u / format.BlockAlign());
        device->Close();
    }
    EXPECT_EQ(device->Open({0, 8000, 8}, recorder.Callback()), platform::WAVE_ERROR_BAD_FORMAT);
}

// Whether SDL's audio thread now sleeps on a lock rather than on a timer:
// the system call it sits in, as the kernel shows it.
bool SdlAudioThreadWaitsOnALock() {
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        if (name.rfind("SDLAudio", 0) != 0) continue;
        long call = -1;
        std::ifstream(task.path() / "syscall") >> call;
        return call == SYS_futex;
    }
    return false;
}

// A paused device keeps its queue and its thread sleeps until restarted;
// unparked, it plays what came meanwhile.
TEST(SdlDevice, PausedDeviceSleepsUntilRestarted) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto device = platform::CreateSdlWaveOutDevice();
    DoneRecorder recorder;
    Block first(800, 0), second(800, 0);
    ASSERT_EQ(device->Open(kStereo16, recorder.Callback()), platform::WAVE_OK);
    device->Write(&first.header);
    ASSERT_TRUE(recorder.WaitForCount(1));
    device->Pause();
    device->Pause();  // a second pause changes nothing
    device->Write(&second.header);
    EXPECT_TRUE(test::Eventually(SdlAudioThreadWaitsOnALock));
    EXPECT_EQ(recorder.Done().size(), 1u);
    device->Restart();
    EXPECT_TRUE(recorder.WaitForCount(2));
    EXPECT_EQ(device->Position(), 1600u / kStereo16.BlockAlign());
    device->Pause();
    device->Close();
}

}  // namespace
