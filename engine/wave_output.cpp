#include "engine/wave_output.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstring>

#include "platform/byte_order.h"

namespace engine {
namespace {

// A device held by another program is tried again 10 times, 100 ms apart.
constexpr int kOpenRetries = 10;
constexpr auto kOpenRetryDelay = std::chrono::milliseconds(100);
constexpr int32_t kFullLevel = 100;

}  // namespace

WaveOutput::WaveOutput() = default;

WaveOutput::~WaveOutput() {
    Close();
}

void WaveOutput::SetDevice(platform::WaveBackend backend, const platform::CaptureSink& sink) {
    platform::CriticalSectionGuard guard(deviceLock_);
    backend_ = backend;
    sink_ = sink;
    // The next open makes the device chosen here.
    deviceChosen_ = false;
}

platform::WaveResult WaveOutput::OpenDeviceWithRetries() {
    auto callback = [this](uint32_t message, platform::WaveHeader* header) { OnDeviceMessage(message, header); };
    platform::WaveResult result = platform::WAVE_ERROR_NO_DEVICE;
    for (int attempt = 0; attempt <= kOpenRetries; ++attempt) {
        if (attempt > 0) platform::SleepFor(kOpenRetryDelay);
        result = device_->Open(format_, callback);
        if (result != platform::WAVE_ERROR_ALLOCATED) break;
    }
    return result;
}

int WaveOutput::Open(uint32_t blockSize, uint32_t channels, uint32_t sampleRate, uint32_t bitsPerSample) {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (open_ || blockSize == 0) return 0;
    // The device is kept from one playback to the next: a closing device may
    // finish closing in the background, and the next open waits for it.
    if (!deviceChosen_ || device_ == nullptr) {
        device_ = platform::CreateWaveOutDevice(backend_, sink_);
        deviceChosen_ = true;
    }
    if (device_ == nullptr) return 0;
    blockSize_ = blockSize;
    format_ = {static_cast<uint16_t>(channels), sampleRate, static_cast<uint16_t>(bitsPerSample)};
    deviceLost_ = false;
    if (OpenDeviceWithRetries() != platform::WAVE_OK) {
        device_.reset();
        return 0;
    }
    const uint32_t count = bufferCount_;
    headers_.assign(count, platform::WaveHeader{});
    data_.assign(size_t{count} * blockSize, 0);
    for (uint32_t index = 0; index < count; ++index) {
        headers_[index].data = data_.data() + size_t{index} * blockSize;
        headers_[index].bufferLength = blockSize;
        headers_[index].user = this;
    }
    nextIndex_ = 0;
    queuedCount_ = 0;
    batch_ = std::max<uint32_t>(count / 2, 1);
    {
        platform::CriticalSectionGuard queue(queueLock_);
        held_.clear();
        held_.reserve(count);
    }
    bufferFree_.Set();
    leftLevel_ = 0;
    rightLevel_ = 0;
    open_ = true;
    return 1;
}

void WaveOutput::Close() {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (!open_) return;
    Flush();
    device_->Close();
    headers_.clear();
    data_.clear();
    data_.shrink_to_fit();
    nextIndex_ = 0;
    open_ = false;
    // Nobody may wait for a block of a closed output.
    bufferFree_.Set();
}

void WaveOutput::Flush() {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (!open_) return;
    device_->Pause();
    device_->Reset();  // every queued block comes back through the callback first
    {
        platform::CriticalSectionGuard queue(queueLock_);
        held_.clear();
    }
    bufferFree_.Set();
    queuedCount_ = 0;
    device_->Pause();
    devicePaused_ = true;
    leftLevel_ = 0;
    rightLevel_ = 0;
    {
        std::lock_guard lock(flushLock_);
        ++flushes_;
    }
    flushed_.notify_all();
}

void WaveOutput::WaitUnlessFlushed(platform::ClockTime deadline) {
    std::unique_lock lock(flushLock_);
    // Counted before the pool is looked at: a flush in between shows in one
    // or the other.
    const uint64_t before = flushes_;
    if (QueuedCount() == 0) return;
    platform::WaitUntil(flushed_, lock, deadline, [&] { return flushes_ != before; });
}

void WaveOutput::SetPaused(bool paused) {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (!open_) return;
    if (paused) {
        device_->Pause();
        devicePaused_ = true;
        // The decoding thread fills what is free now, and every block the
        // device still returns (the one a slow reader was taking), so that
        // the pool is whole when playing resumes: the resume waits for that.
        platform::CriticalSectionGuard queue(queueLock_);
        if (queuedCount_ < static_cast<int32_t>(bufferCount_)) bufferFree_.Set();
    } else {
        devicePaused_ = false;
        device_->Restart();
    }
}

void WaveOutput::ResumeIf(const std::function<bool()>& stillWanted) {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (!open_ || !stillWanted()) return;
    devicePaused_ = false;
    device_->Restart();
}

platform::WaveHeader* WaveOutput::AcquireBlock() {
    bufferFree_.Wait();
    if (!open_ || deviceLost_) return nullptr;
    return &headers_[nextIndex_];
}

void WaveOutput::QueueBlock(platform::WaveHeader* header) {
    bool send = false;
    {
        platform::CriticalSectionGuard guard(queueLock_);
        const int32_t queued = ++queuedCount_;
        const uint32_t count = bufferCount_;
        if (queued >= static_cast<int32_t>(count)) bufferFree_.Reset();
        nextIndex_ = (nextIndex_ + 1) % count;
        held_.push_back(header);
        // A full pool goes to the device at once: the thread is about to wait.
        send = held_.size() >= batch_ || queued >= static_cast<int32_t>(count);
    }
    if (send) SendHeldBlocks();
}

void WaveOutput::SendHeldBlocks() {
    platform::WaveHeader* batch[kMaximumBufferCount];
    size_t count = 0;
    {
        platform::CriticalSectionGuard guard(queueLock_);
        count = std::min(held_.size(), std::size(batch));
        std::copy_n(held_.begin(), count, batch);
        held_.clear();
    }
    if (count > 0) device_->WriteAll({batch, count});
}

uint64_t WaveOutput::PlayedSamples() {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (!open_) return 0;
    return device_->Position();
}

int WaveOutput::SetBufferCount(uint32_t count) {
    platform::CriticalSectionGuard guard(deviceLock_);
    if (count < kMinimumBufferCount || count > kMaximumBufferCount || open_) return 0;
    bufferCount_ = count;
    return 1;
}

void WaveOutput::OnDeviceMessage(uint32_t message, platform::WaveHeader* header) {
    if (message == platform::WOM_LOST) {
        // Its blocks will not come back: the decoding thread is woken to
        // find the device gone rather than wait for them.
        deviceLost_ = true;
        bufferFree_.Set();
        return;
    }
    if (message != platform::WOM_DONE) return;
    auto* output = static_cast<WaveOutput*>(header->user);
    if (output->MeasuringLevels()) output->MeasureLevels(*header);
    platform::CriticalSectionGuard guard(output->queueLock_);
    const int32_t queued = --output->queuedCount_;
    if (static_cast<int32_t>(output->bufferCount_) - queued >= static_cast<int32_t>(output->batch_) ||
        output->devicePaused_) {
        output->bufferFree_.Set();
    }
}

namespace {

// The largest sample of each of the first two channels, from `initial` up.
template <typename Sample, typename Read>
void FindPeaks(const uint8_t* data, size_t frames, uint32_t channels, int32_t initial, Read read, int32_t (&peaks)[2]) {
    int32_t left = initial;
    int32_t right = initial;
    const size_t stride = size_t{channels} * sizeof(Sample);
    if (channels >= 2) {
        for (size_t frame = 0; frame < frames; ++frame, data += stride) {
            left = std::max(left, read(data));
            right = std::max(right, read(data + sizeof(Sample)));
        }
    } else {
        for (size_t frame = 0; frame < frames; ++frame, data += stride) left = std::max(left, read(data));
        right = left;
    }
    peaks[0] = left;
    peaks[1] = right;
}

// The same for 16-bit mono or stereo on a little-endian machine, every block
// of the playback passing through it: sixteen running maxima that the
// compiler keeps in vector registers, even lanes for the left channel and odd
// ones for the right (a mono block's lanes are all its one channel).
void FindPeaks16(const uint8_t* data, size_t samples, uint32_t channels, int32_t (&peaks)[2]) {
    constexpr size_t kLanes = 16;
    int16_t lanes[kLanes] = {};
    size_t index = 0;
    for (; index + kLanes <= samples; index += kLanes) {
        int16_t group[kLanes];
        std::memcpy(group, data + index * sizeof(int16_t), sizeof group);
        for (size_t lane = 0; lane < kLanes; ++lane) lanes[lane] = std::max(lanes[lane], group[lane]);
    }
    for (; index < samples; ++index) {
        int16_t sample;
        std::memcpy(&sample, data + index * sizeof(int16_t), sizeof sample);
        int16_t& lane = lanes[index % kLanes];
        lane = std::max(lane, sample);
    }
    int32_t left = 0;
    int32_t right = 0;
    for (size_t lane = 0; lane < kLanes; lane += 2) {
        left = std::max<int32_t>(left, lanes[lane]);
        right = std::max<int32_t>(right, lanes[lane + 1]);
    }
    if (channels == 1) left = right = std::max(left, right);
    peaks[0] = left;
    peaks[1] = right;
}

}  // namespace

// Only positive peaks count, from silence up; a mono block gives both levels.
void WaveOutput::MeasureLevels(const platform::WaveHeader& header) {
    const uint32_t channels = std::max<uint32_t>(format_.channels, 1);
    int32_t peaks[2] = {0, 0};
    if (format_.bitsPerSample == 16 && channels <= 2 && std::endian::native == std::endian::little) {
        // Whole frames only, as below.
        FindPeaks16(header.data, header.bufferLength / 2 / channels * channels, channels, peaks);
        for (int32_t& peak : peaks) peak = peak * kFullLevel / 32767;
    } else if (format_.bitsPerSample == 16) {
        const auto read = [](const uint8_t* sample) { return int32_t(int16_t(platform::ReadLittle16(sample))); };
        FindPeaks<int16_t>(header.data, header.bufferLength / 2 / channels, channels, 0, read, peaks);
        for (int32_t& peak : peaks) peak = peak * kFullLevel / 32767;
    } else {
        const auto read = [](const uint8_t* sample) { return int32_t(*sample); };
        FindPeaks<uint8_t>(header.data, header.bufferLength / channels, channels, 128, read, peaks);
        for (int32_t& peak : peaks) peak = (peak - 128) * kFullLevel / 127;
    }
    leftLevel_.store(peaks[0], std::memory_order_relaxed);
    rightLevel_.store(peaks[1], std::memory_order_relaxed);
}

}  // namespace engine
