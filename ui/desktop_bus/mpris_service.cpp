#include "ui/desktop_bus/mpris_service.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <systemd/sd-bus.h>

#include "ui/desktop_bus/mpris_interface.h"
#include "ui/shell/application.h"

namespace {

// Milliseconds until sd-bus's next deadline (a call's timeout), -1 for none.
int PollTimeout(sd_bus* bus) {
    uint64_t deadlineUs = 0;
    if (sd_bus_get_timeout(bus, &deadlineUs) < 0 || deadlineUs == UINT64_MAX) return -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowUs = uint64_t(now.tv_sec) * 1'000'000 + uint64_t(now.tv_nsec) / 1000;
    if (deadlineUs <= nowUs) return 0;
    return static_cast<int>(std::min<uint64_t>((deadlineUs - nowUs + 999) / 1000, 60'000));
}

// The bus's own answer to what is waiting; false when the connection broke.
bool ProcessAll(sd_bus* bus) {
    for (;;) {
        const int result = sd_bus_process(bus, nullptr);
        if (result < 0) return false;
        if (result == 0) return true;
    }
}

}  // namespace

MprisService::MprisService(Application& application) : application_(application) {}

MprisService::~MprisService() { Stop(); }

void MprisService::Start() {
    // Without a session bus the player runs as it always did, silently.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address == nullptr || *address == '\0' || thread_.joinable()) return;
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) return;
    {
        std::lock_guard lock(mutex_);
        state_ = ReadMprisState(application_, loadedTags_);
        stopping_ = false;
    }
    thread_ = std::thread([this] { Run(); });
}

void MprisService::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        commands_.clear();
    }
    Wake();
    thread_.join();
    close(wakeFd_);
    wakeFd_ = -1;
}

void MprisService::Wake() {
    if (wakeFd_ < 0) return;
    const uint64_t one = 1;
    // A full counter already wakes the thread.
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
}

void MprisService::Refresh(bool seeked) {
    if (!thread_.joinable()) return;
    MprisState state = ReadMprisState(application_, loadedTags_);
    {
        std::lock_guard lock(mutex_);
        if (seeked || PositionJumped(state_, state)) ++seeks_;
        state_ = std::move(state);
    }
    Wake();
}

void MprisService::Update() { Refresh(false); }

void MprisService::RunQueuedCommands() {
    bool seeked = false;
    for (;;) {
        MprisCommand command;
        {
            std::lock_guard lock(mutex_);
            if (commands_.empty()) break;
            command = std::move(commands_.front());
            commands_.pop_front();
        }
        seeked = RunMprisCommand(application_, command) || seeked;
    }
    Refresh(seeked);
}

MprisState MprisService::State() {
    std::lock_guard lock(mutex_);
    return state_;
}

void MprisService::Queue(MprisCommand command) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        commands_.push_back(std::move(command));
    }
    application_.Frame().PostMessage(WM_DESKTOP_BUS_COMMAND, 0, 0);
}

void MprisService::Announce(sd_bus* bus) {
    uint64_t seeks = 0;
    MprisState state;
    {
        std::lock_guard lock(mutex_);
        state = state_;
        seeks = seeks_;
    }
    std::vector<std::string> changed = ChangedPlayerProperties(announced_, state);
    if (!changed.empty()) {
        std::vector<char*> names;
        for (std::string& name : changed) names.push_back(name.data());
        names.push_back(nullptr);
        sd_bus_emit_properties_changed_strv(bus, kMprisObjectPath, kMprisPlayerInterface, names.data());
    }
    if (seeks != announcedSeeks_) {
        sd_bus_emit_signal(bus, kMprisObjectPath, kMprisPlayerInterface, "Seeked", "x",
                           PositionAt(state, MprisClock::now()));
    }
    announced_ = std::move(state);
    announcedSeeks_ = seeks;
}

void MprisService::Run() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return;
    // The name is asked for without waiting: a stop never waits on the bus.
    if (AddMprisInterfaces(bus, *this) < 0 ||
        sd_bus_request_name_async(bus, nullptr, kMprisBusName, 0, nullptr, nullptr) < 0) {
        sd_bus_close_unref(bus);
        return;
    }
    announced_ = State();
    announcedSeeks_ = 0;
    for (;;) {
        if (!ProcessAll(bus)) break;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
        }
        Announce(bus);
        // What Announce queued goes out before the thread sleeps.
        if (!ProcessAll(bus)) break;
        const int events = sd_bus_get_events(bus);
        if (events < 0) break;
        pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(events), 0}, {wakeFd_, POLLIN, 0}};
        if (poll(fds, 2, PollTimeout(bus)) < 0 && errno != EINTR) break;
        if ((fds[1].revents & POLLIN) != 0) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(wakeFd_, &count, sizeof count);
        }
    }
    sd_bus_close_unref(bus);
}
