// Nothing is lost on a kill: a child process saves the playlist or the
// settings over and over, alternating two contents, and is killed with
// SIGKILL at a random moment. Every trial must leave one of the two files
// whole, never a mixture, a truncation or nothing.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "platform/app_files.h"
#include "platform/registry.h"
#include "playlist/playlist.h"
#include "prefs/settings.h"
#include "tests/support/temporary_directory.h"

namespace {

constexpr int kTrials = 100;
constexpr int kMostSavesBeforeTheKill = 4;
constexpr int kLatestKillMicroseconds = 1000;
constexpr size_t kAnySize = 64 << 20;

std::string ReadText(const std::string& path) {
    std::string text;
    platform::ReadWholeFile(path, kAnySize, text);
    return text;
}

// Runs `saveOne(which)` for which = 0, 1, 0, 1, ... in a child, which
// reports each finished save through a pipe; once a random number of saves
// have finished, the child is killed a random moment later, most often in
// the middle of the next save. Returns the file's text afterwards.
std::string KillWhileSaving(const std::string& path, const std::function<void(int)>& saveOne, std::mt19937& random) {
    int finished[2];
    if (pipe(finished) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(finished[0]);
        const char done = 1;
        for (int which = 0;; which ^= 1) {
            saveOne(which);
            if (write(finished[1], &done, 1) != 1) _exit(1);
        }
    }
    close(finished[1]);
    const int saves = std::uniform_int_distribution<int>(1, kMostSavesBeforeTheKill)(random);
    char done = 0;
    for (int save = 0; save < saves && read(finished[0], &done, 1) == 1; ++save) {
    }
    // Where in the next save the kill lands is what the trials vary.
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int>(0, kLatestKillMicroseconds)(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(finished[0]);
    return ReadText(path);
}

void ExpectEveryTrialLeavesAWholeFile(const std::string& path, const std::function<void(int)>& saveOne) {
    std::string contents[2];
    for (int which : {0, 1}) {
        saveOne(which);
        contents[which] = ReadText(path);
    }
    ASSERT_NE(contents[0], contents[1]);
    std::mt19937 random(20261208);
    int left[2] = {0, 0};
    for (int trial = 0; trial < kTrials; ++trial) {
        const std::string text = KillWhileSaving(path, saveOne, random);
        ASSERT_TRUE(text == contents[0] || text == contents[1]) << "trial " << trial << " left " << text.size()
                                                                << " bytes";
        ++left[text == contents[1] ? 1 : 0];
    }
    // Both files must have been left by some trials, or the kills all came
    // at the same point of the same save.
    EXPECT_GT(left[0], 0);
    EXPECT_GT(left[1], 0);
}

TEST(KillDuringSave, ThePlaylistFileIsTheOldOrTheNewOne) {
    test::TemporaryDirectory folder;
    const std::string path = folder.PathOf("default.lst");
    Playlist lists[2];
    for (int entry = 0; entry < 2000; ++entry) {
        lists[0].Insert("/music/first list/track " + std::to_string(entry) + ".mp3", -1);
        lists[1].Insert("/music/second/" + std::to_string(entry) + ".ogg", -1);
    }
    ExpectEveryTrialLeavesAWholeFile(path, [&](int which) { lists[which].SaveListFile(path); });
}

TEST(KillDuringSave, TheSettingsStoreIsTheOldOrTheNewOne) {
    test::TemporaryDirectory folder;
    const std::string path = folder.PathOf("settings");
    Settings settings[2];
    settings[0].LastDir = "/music/first";
    settings[1].LastDir = "/music/second/" + std::string(4000, 'x');
    settings[1].SeekStep = settings[0].SeekStep + 1;
    ExpectEveryTrialLeavesAWholeFile(path, [&](int which) {
        platform::Registry registry(path);
        SaveSettings(settings[which], registry);
    });
}

}  // namespace
