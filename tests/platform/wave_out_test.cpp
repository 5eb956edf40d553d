#include "platform/wave_out.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/wave_out_backends.h"
#include "tests/support/fixtures.h"

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

}  // namespace
