// The tunelark program's command line, read into what it asks for.

#include "ui/shell/command_line.h"

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;
using Items = std::vector<std::string>;

TEST(CommandLine, ArgumentsBecomeAbsoluteItemsOrAnAnswer) {
    struct Case {
        Items arguments;
        Action action;
        bool enqueue;
        Items items;
        Items unusable;
    };
    const Case cases[] = {
        {{}, Action::Run, false, {}, {}},
        {{"a.mp3", "/music/b.ogg"}, Action::Run, false, {"/home/me/a.mp3", "/music/b.ogg"}, {}},
        {{"--enqueue", "../x/./c.wav", "sub/"}, Action::Run, true, {"/home/x/c.wav", "/home/me/sub/"}, {}},
        {{"-e", "HTTP://radio.example:8000/live", "list.m3u8"},
         Action::Run, true, {"HTTP://radio.example:8000/live", "/home/me/list.m3u8"}, {}},
        // What a desktop launcher passes for %U.
        {{"file:///music/My%20Song.mp3", "file://localhost/music/b%C3%A9.ogg"},
         Action::Run, false, {"/music/My Song.mp3", "/music/b\xC3\xA9.ogg"}, {}},
        {{"file://otherhost/music/a.mp3", "file:///bad%zzescape"},
         Action::Run, false, {}, {"file://otherhost/music/a.mp3", "file:///bad%zzescape"}},
        // After "--" and alone, a dash is a name.
        {{"--", "--enqueue", "-"}, Action::Run, false, {"/home/me/--enqueue", "/home/me/-"}, {}},
        {{"a.mp3", "--help", "--bogus"}, Action::Help, false, {}, {}},
        {{"--version"}, Action::Version, false, {}, {}},
        {{"a.mp3", "--bogus", "--help"}, Action::Misuse, false, {}, {}},
        {{"-x"}, Action::Misuse, false, {}, {}},
    };
    for (const auto& [arguments, action, enqueue, items, unusable] : cases) {
        const std::string shown = arguments.empty() ? "(none)" : arguments.front();
        const CommandLine line = ParseCommandLine(arguments, "/home/me");
        EXPECT_EQ(line.action, action) << shown;
        if (action != Action::Run) continue;
        EXPECT_EQ(line.request.enqueue, enqueue) << shown;
        EXPECT_EQ(line.request.items, items) << shown;
        EXPECT_EQ(line.unusable, unusable) << shown;
    }
}

TEST(CommandLine, AMisuseSaysWhatWasWrong) {
    const CommandLine line = ParseCommandLine({"--bogus"}, "/");
    EXPECT_NE(line.misuse.find("--bogus"), std::string::npos) << line.misuse;
    EXPECT_EQ(UsageText().rfind("usage: tunelark", 0), 0u);
}

TEST(CommandLine, RelativePathsWithoutAWorkingDirectoryAreUnusable) {
    const CommandLine line = ParseCommandLine({"a.mp3", "/b.mp3"}, "");
    EXPECT_EQ(line.request.items, Items{"/b.mp3"});
    EXPECT_EQ(line.unusable, Items{"a.mp3"});
}

}  // namespace
