// Station lists: which names and content types are lists, what their text
// gives (entries, titles, resolved locations, the refusals), and lists read
// from files.

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "formats/stream/station_list.h"
#include "tests/support/temporary_directory.h"

namespace {

using namespace engine;

using Entries = std::vector<StationListEntry>;

void ExpectEntries(const StationListResult& result, const Entries& expected) {
    EXPECT_EQ(result.error, "");
    ASSERT_EQ(result.entries.size(), expected.size());
    for (size_t index = 0; index < expected.size(); ++index) {
        EXPECT_EQ(result.entries[index].location, expected[index].location) << index;
        EXPECT_EQ(result.entries[index].title, expected[index].title) << index;
    }
}

TEST(StationListFormat, ByName) {
    struct Case {
        std::string name;
        std::optional<StationListFormat> format;
    };
    const std::vector<Case> cases = {
        {"/music/radio.pls", StationListFormat::Pls},
        {"RADIO.PLS", StationListFormat::Pls},
        {"/music/list.m3u", StationListFormat::M3u},
        {"list.M3U8", StationListFormat::M3u},
        {"http://radio.example/listen.pls?sid=1", StationListFormat::Pls},
        {"https://radio.example/a/b.m3u8#top", StationListFormat::M3u},
        {"http://radio.example/listen.pls/stream", std::nullopt},
        {"http://radio.example/stream?list=x.pls", std::nullopt},
        {"/music/song.mp3", std::nullopt},
        {"/music/pls", std::nullopt},
        {"/music.pls/song", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& test : cases) EXPECT_EQ(StationListFormatForName(test.name), test.format) << test.name;
}

TEST(StationListFormat, ByContentType) {
    struct Case {
        std::string contentType;
        std::optional<StationListFormat> format;
    };
    const std::vector<Case> cases = {
        {"audio/x-scpls", StationListFormat::Pls},
        {"Audio/X-SCPLS; charset=UTF-8", StationListFormat::Pls},
        {"audio/x-mpegurl", StationListFormat::M3u},
        {"audio/mpegurl", StationListFormat::M3u},
        {"application/vnd.apple.mpegurl", StationListFormat::M3u},
        {"application/x-mpegURL ;charset=utf-8", StationListFormat::M3u},
        {"audio/mpeg", std::nullopt},
        {"text/html", std::nullopt},
        {"audio/x-scpls-extra", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(StationListFormatForContentType(test.contentType), test.format) << test.contentType;
    }
}

struct ParseCase {
    std::string name;
    std::string text;
    StationListFormat format;
    std::string base;
    Entries entries;     // expected when `error` is empty
    std::string error;   // a part of the expected message
};

TEST(StationList, ParsesEntriesTitlesAndLocations) {
    const std::string web = "http://lists.example/radio/top.pls";
    const std::vector<ParseCase> cases = {
        {"pls with three entries",
         "[playlist]\nNumberOfEntries=3\nFile1=http://one.example:8000/\nTitle1=One FM\nLength1=-1\n"
         "File2=https://two.example/live\nTitle2=Two\nFile3=/music/local.mp3\nVersion=2\n",
         StationListFormat::Pls, "/lists",
         {{"http://one.example:8000/", "One FM"}, {"https://two.example/live", "Two"}, {"/music/local.mp3", ""}}, ""},
        {"pls in number order, keys in any case, CRLF, blanks",
         "\xEF\xBB\xBF; a comment\r\n[Playlist]\r\n  file2 = http://b.example/ \r\nFILE1=http://a.example/\r\n"
         "title1=A\r\n",
         StationListFormat::Pls, "/lists", {{"http://a.example/", "A"}, {"http://b.example/", ""}}, ""},
        {"pls whose count and numbering disagree",
         "[playlist]\nNumberOfEntries=9\nFile1=http://a.example/\nFile4=http://d.example/\nTitle4=D\n",
         StationListFormat::Pls, "/lists", {{"http://a.example/", ""}, {"http://d.example/", "D"}}, ""},
        {"damaged pls lines are passed over",
         "[playlist]\nFile1\nFilex=http://x.example/\nFile2=\nFile3=ftp://c.example/\nFile4=http://d.example/\n"
         "garbage line\n",
         StationListFormat::Pls, "/lists", {{"http://d.example/", ""}}, ""},
        {"pls relative entries, local and fetched",
         "[playlist]\nFile1=songs/a.mp3\nFile2=../b.mp3\nFile3=c d.mp3\n", StationListFormat::Pls, "/music/lists",
         {{"/music/lists/songs/a.mp3", ""}, {"/music/b.mp3", ""}, {"/music/lists/c d.mp3", ""}}, ""},
        {"pls fetched from the web resolves against its URL",
         "[playlist]\nFile1=live.mp3\nFile2=/root.mp3\nFile3=//mirror.example/x\n", StationListFormat::Pls, web,
         {{"http://lists.example/radio/live.mp3", ""},
          {"http://lists.example/root.mp3", ""},
          {"http://mirror.example/x", ""}},
         ""},
        {"m3u8 with relative paths and titles",
         "#EXTM3U\n#EXTINF:-1,Morning Show\nshows/morning.mp3\n\n#EXTINF:123, Evening \n../evening.mp3\n"
         "/abs/night.mp3\n# a comment\nhttp://radio.example/live\n",
         StationListFormat::M3u, "/music/lists",
         {{"/music/lists/shows/morning.mp3", "Morning Show"},
          {"/music/evening.mp3", "Evening"},
          {"/abs/night.mp3", ""},
          {"http://radio.example/live", ""}},
         ""},
        {"m3u with Windows paths, file URLs and a drive",
         "sub\\dir\\a.mp3\nfile:///music/b%20c.mp3\nfile://localhost/music/d.mp3\nC:\\Music\\e.mp3\n"
         "HTTPS://radio.example/x\n",
         StationListFormat::M3u, "/lists",
         {{"/lists/sub/dir/a.mp3", ""},
          {"/music/b c.mp3", ""},
          {"/music/d.mp3", ""},
          {"https://radio.example/x", ""}},
         ""},
        {"m3u in Windows-1252", "#EXTINF:-1,Caf\xE9 \x80\n/music/caf\xE9.mp3\n", StationListFormat::M3u, "/lists",
         {{"/music/caf\xC3\xA9.mp3", "Caf\xC3\xA9 \xE2\x82\xAC"}}, ""},
        {"m3u8 in UTF-8 stays", "#EXTINF:-1,Caf\xC3\xA9\n/music/caf\xC3\xA9.mp3\n", StationListFormat::M3u,
         "/lists", {{"/music/caf\xC3\xA9.mp3", "Caf\xC3\xA9"}}, ""},
        {"a title belongs to the next entry only", "#EXTINF:-1,First\nhttp://a.example/\nhttp://b.example/\n",
         StationListFormat::M3u, "/lists", {{"http://a.example/", "First"}, {"http://b.example/", ""}}, ""},
        {"missing [playlist]", "File1=http://a.example/\n", StationListFormat::Pls, "/lists", {}, "[playlist]"},
        {"a list of another kind as pls", "#EXTM3U\nhttp://a.example/\n", StationListFormat::Pls, "/lists", {},
         "[playlist]"},
        {"pls without entries", "[playlist]\nNumberOfEntries=0\n", StationListFormat::Pls, "/lists", {},
         "no entries"},
        {"pls with only damaged entries", "[playlist]\nFile1=mms://a.example/\nFile2=\n", StationListFormat::Pls,
         "/lists", {}, "no entries"},
        {"empty m3u", "#EXTM3U\n\n", StationListFormat::M3u, "/lists", {}, "no entries"},
        {"empty text", "", StationListFormat::M3u, "/lists", {}, "no entries"},
        {"HLS media playlist",
         "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:10\n#EXT-X-MEDIA-SEQUENCE:1\n#EXTINF:10,\nseg1.aac\n",
         StationListFormat::M3u, web, {}, "HLS"},
        {"HLS master playlist", "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=128000\nlow/index.m3u8\n",
         StationListFormat::M3u, web, {}, "not supported"},
        {"HLS tag after entries", "http://a.example/\n#ext-x-endlist\n", StationListFormat::M3u, web, {}, "HLS"},
        {"a web page in place of a list", "<html><body>Not found</body></html>\n", StationListFormat::M3u, web, {},
         "not a station list"},
        {"binary data", std::string("[playlist]\nFile1=http://a.example/\n\0\x01\x02", 38), StationListFormat::Pls,
         "/lists", {}, "not a station list"},
    };
    for (const ParseCase& test : cases) {
        SCOPED_TRACE(test.name);
        const StationListResult result = ParseStationList(test.text, test.format, test.base);
        if (test.error.empty()) {
            ExpectEntries(result, test.entries);
        } else {
            EXPECT_TRUE(result.entries.empty()) << "never a partial load";
            EXPECT_NE(result.error.find(test.error), std::string::npos) << result.error;
        }
    }
}

TEST(StationListFile, ReadsAgainstItsFolder) {
    test::TemporaryDirectory directory;
    directory.MakeDirectory("lists");
    std::ofstream(directory.PathOf("lists/mixed.m3u8")) << "#EXTM3U\n#EXTINF:-1,Near\nnear.mp3\n../far.mp3\n";
    const StationListResult result = ReadStationListFile(directory.PathOf("lists/mixed.m3u8"));
    ExpectEntries(result, {{directory.PathOf("lists/near.mp3"), "Near"}, {directory.PathOf("far.mp3"), ""}});
}

TEST(StationListFile, RefusesWhatItCannotRead) {
    test::TemporaryDirectory directory;
    directory.MakeDirectory("folder.pls");
    std::ofstream(directory.PathOf("big.pls")) << "[playlist]\nFile1=http://a.example/\n"
                                               << std::string(kLargestStationList, '#');
    std::ofstream(directory.PathOf("song.mp3")) << "ID3";
    struct Case {
        std::string name;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"missing.pls", "The station list missing.pls could not be read."},
        {"folder.pls", "The station list folder.pls could not be read."},
        {"big.pls", "The station list big.pls is larger than 1 MiB."},
        {"song.mp3", "song.mp3 is not a station list (.pls, .m3u or .m3u8)."},
    };
    for (const Case& test : cases) {
        const StationListResult result = ReadStationListFile(directory.PathOf(test.name));
        EXPECT_TRUE(result.entries.empty()) << test.name;
        EXPECT_EQ(result.error, test.error);
    }
}

}  // namespace
