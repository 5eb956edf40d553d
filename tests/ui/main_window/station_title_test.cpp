// A station in the running player: an https address in the playlist plays
// through the real icecast2 behind stunnel4, the main window shows the
// station and follows its titles, and a certificate that does not verify is
// refused with a message that names the server.

#include <chrono>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "engine/player.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/window_manager.h"
#include "tests/formats/stream/fault_server.h"
#include "tests/formats/stream/icecast_server.h"
#include "tests/formats/stream/tls_front.h"
#include "tests/support/fixtures.h"
#include "tests/support/later.h"
#include "tests/support/running_player.h"

namespace {

using streamtest::TestCertificates;
using streamtest::TlsFront;
using streamtest::TrustedAuthority;

// The main window's Play and Stop buttons.
constexpr int kPlayX = 44;
constexpr int kPlayY = 84;
constexpr int kStopX = 84;

// The real icecast2 behind stunnel4, with a certificate the test authority
// signed or one signed by itself, and the test authority trusted meanwhile.
struct HttpsStation {
    explicit HttpsStation(bool signedByTheAuthority)
        : trust(certificates),
          server(test::FixturePath("cbr128.mp3")),
          front(server.Port(), signedByTheAuthority ? certificates.Server() : certificates.SelfSigned()) {}
    void ExpectReady() const {
        ASSERT_TRUE(certificates.Ready()) << "the openssl command made no certificates";
        ASSERT_TRUE(server.Ready()) << "icecast2 did not start (tools/install-deps.sh installs it)";
        ASSERT_TRUE(front.Ready()) << "stunnel4 did not start (tools/install-deps.sh installs it)";
    }
    std::string Url() const { return front.Url("localhost", "/live.mp3"); }

    TestCertificates certificates;
    const TrustedAuthority trust;
    streamtest::IcecastServer server;
    TlsFront front;
};

TEST(StationTitle, AnHttpsStationShowsItsNameAndFollowsItsTitles) {
    HttpsStation station(true);
    ASSERT_NO_FATAL_FAILURE(station.ExpectReady());
    test::RunningPlayer player;
    player.Start({station.Url()}, test::RunningPlayer::Pace::RealTime);
    player.TapMain(kPlayX, kPlayY);
    player.RunUntil([&] { return player.Main().TitleText().starts_with(streamtest::kIcecastStation); });

    ASSERT_TRUE(station.server.SetTitle("First Song"));
    player.RunUntil([&] { return player.Main().TitleText() == std::string(streamtest::kIcecastStation) + ": First Song"; });
    ASSERT_TRUE(station.server.SetTitle("Second Song"));
    player.RunUntil([&] { return player.Main().TitleText() == std::string(streamtest::kIcecastStation) + ": Second Song"; });
    player.Main().StopAction();
}

TEST(StationTitle, AnUntrustedCertificateIsRefusedWithAMessageNamingTheServer) {
    HttpsStation station(false);
    ASSERT_NO_FATAL_FAILURE(station.ExpectReady());
    test::RunningPlayer player;
    player.Start({station.Url()}, test::RunningPlayer::Pace::RealTime);
    // The tap answers at once; the refusal comes later as a message box.
    int shown = 0;
    const auto answer = player.AnswerNextMessageBox(shown);
    player.TapMain(kPlayX, kPlayY);
    player.RunUntil([&] { return shown == 1 && PlayerGetStatus(player.Engine()) == PLAYER_STOPPED; });
    std::string error;
    ASSERT_EQ(PlayerGetStreamError(player.Engine(), &error), 1);
    EXPECT_NE(error.find("localhost"), std::string::npos) << error;
}

// A station that sends its headers and then a byte now and then never brings
// audio: the window goes on answering meanwhile, says that it connects, and
// a stop ends the wait at once.
TEST(StationTitle, AStationThatKeepsThePlayerWaitingNeitherFreezesItNorHoldsAStop) {
    using namespace std::chrono_literals;
    streamtest::FaultServer server({streamtest::Drip("", "")});
    test::RunningPlayer player;
    player.Start({server.Url()}, test::RunningPlayer::Pace::RealTime);
    const auto tapped = std::chrono::steady_clock::now();
    player.TapMain(kPlayX, kPlayY);
    EXPECT_LT(std::chrono::steady_clock::now() - tapped, 1s) << "the tap returns while the station connects";
    EXPECT_EQ(PlayerIsConnecting(player.Engine()), 1);
    EXPECT_EQ(player.Main().TitleText(), "Connecting: " + server.Url());

    const auto stopped = std::chrono::steady_clock::now();
    player.TapMain(kStopX, kPlayY);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1s);
    EXPECT_EQ(PlayerGetStatus(player.Engine()), PLAYER_STOPPED);
    player.RunUntil([&] { return !player.Main().TitleText().starts_with("Connecting: "); });
}

}  // namespace
