// The metadata filter and the title parser, over streams built in code and
// cut into receives of every size and at every position.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "formats/stream/stream_metadata.h"
#include "tests/formats/stream/fault_server.h"

namespace {

using namespace engine;

using streamtest::Interleave;
using streamtest::MetadataBlock;
using streamtest::TitleText;

std::optional<std::string> TitleOf(const std::string& block) {
    return StreamParseTitle(std::span(reinterpret_cast<const uint8_t*>(block.data()), block.size()));
}

TEST(StreamTitle, ParsesTheTitleOfACompleteBlock) {
    struct Case {
        std::string text;
        std::optional<std::string> title;
    };
    const std::string longTitle(300, 'x');
    const std::vector<Case> cases = {
        {"StreamTitle='Artist - Song';", "Artist - Song"},
        {"StreamTitle='';", ""},
        {"StreamUrl='http://a/';StreamTitle='Second';", "Second"},
        {"StreamTitle='It's cut';", "It"},
        {"StreamTitle=\"Quoted\";", std::nullopt},  // no apostrophe after the opening byte
        {"StreamTitle='No end", std::nullopt},
        {"StreamUrl='only';", std::nullopt},
        {"StreamTitle=", std::nullopt},
        {"streamtitle='lower';", std::nullopt},
        {std::string("StreamTitle='Zero") + '\0' + "after';", std::nullopt},
        {"StreamTitle='Caf\xE9 \x80 \x9F';", "Caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"},  // Windows-1252
        {"StreamTitle='Caf\xC3\xA9 \xE2\x82\xAC';", "Caf\xC3\xA9 \xE2\x82\xAC"},         // UTF-8 as it is
        {"StreamTitle='" + longTitle + "';", std::string(kStreamTitleCharacters, 'x')},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(TitleOf(MetadataBlock(test.text)), test.title) << test.text;
    }
}

TEST(StreamTitle, RefusesIncompleteBlocks) {
    const std::string block = MetadataBlock(TitleText("Song"));
    EXPECT_EQ(TitleOf(block.substr(0, block.size() - 1)), std::nullopt);
    EXPECT_EQ(TitleOf(block + '\0'), std::nullopt);
    EXPECT_EQ(TitleOf(""), std::nullopt);
}

// The audio of a test stream: a pattern in which any shifted or foreign byte shows.
std::vector<uint8_t> Audio(size_t bytes) {
    std::vector<uint8_t> audio(bytes);
    for (size_t index = 0; index < bytes; ++index) audio[index] = static_cast<uint8_t>(index * 7 % 251 + 1);
    return audio;
}

// Block texts in turn: a title, an empty block, a long block around a title,
// and the largest block a length byte allows.
constexpr size_t kBlockKinds = 4;
std::string BlockText(size_t index) {
    switch (index % kBlockKinds) {
        case 0: return TitleText("Title " + std::to_string(index));
        case 1: return "";
        case 2: return std::string(200, 'a') + TitleText("Long " + std::to_string(index)) + std::string(100, 'b');
        default: return TitleText("Huge " + std::to_string(index)) + std::string(4000, 'c');
    }
}

std::vector<std::string> ExpectedTitles(size_t blocks) {
    std::vector<std::string> titles;
    for (size_t index = 0; index < blocks; ++index) {
        const auto title = TitleOf(MetadataBlock(BlockText(index)));
        if (title) titles.push_back(*title);
    }
    return titles;
}

struct FilterRun {
    std::vector<uint8_t> audio;
    std::vector<std::string> titles;
    size_t removed = 0;
};

// Runs `body` through a fresh filter in receives whose sizes come from `sizes`
// in turn.
FilterRun RunFilter(const std::string& body, int32_t metaint, const std::vector<size_t>& sizes) {
    MetadataFilter filter;
    filter.Restart(metaint);
    FilterRun run;
    size_t offset = 0;
    for (size_t turn = 0; offset < body.size(); ++turn) {
        const size_t take = std::min(sizes[turn % sizes.size()], body.size() - offset);
        std::vector<uint8_t> received(body.begin() + long(offset), body.begin() + long(offset + take));
        const size_t removed = filter.Filter(received.data(), take, [&run](std::span<const uint8_t> block) {
            if (auto title = StreamParseTitle(block)) run.titles.push_back(*title);
        });
        run.removed += removed;
        run.audio.insert(run.audio.end(), received.begin(), received.begin() + long(take - removed));
        offset += take;
    }
    return run;
}

// Each stream holds the four kinds of block three times over, then half an
// audio run (none with a metaint of one, where it ends on a block). Receives
// of one byte end once at every position: inside an audio run, on a length
// byte, inside a block and at its end; the other sizes cut the stream at
// shifting phases, several blocks to a receive, and the last takes it whole.
TEST(MetadataFilter, RemovesEveryBlockWhateverTheReceiveSizes) {
    constexpr size_t kRoundsOfBlockKinds = 3;
    const std::vector<int32_t> metaints = {1, 16, 100, 1000, 2047, 2048, 8192};
    const std::vector<std::vector<size_t>> receivePatterns = {{1},    {3},    {2048}, {4096}, {17, 2048, 5, 1000, 333},
                                                              {SIZE_MAX}};
    for (const int32_t metaint : metaints) {
        const size_t runLength = size_t(metaint);
        const std::vector<uint8_t> audio = Audio(runLength * kBlockKinds * kRoundsOfBlockKinds + (runLength + 1) / 2);
        const std::string body = Interleave(audio, runLength, BlockText);
        const std::vector<std::string> titles = ExpectedTitles(audio.size() / runLength);
        for (const auto& sizes : receivePatterns) {
            const FilterRun run = RunFilter(body, metaint, sizes);
            EXPECT_EQ(run.audio, audio) << "metaint " << metaint << ", first receive size " << sizes[0];
            EXPECT_EQ(run.removed, body.size() - audio.size()) << "metaint " << metaint;
            EXPECT_EQ(run.titles, titles) << "metaint " << metaint << ", first size " << sizes[0];
        }
    }
}

TEST(MetadataFilter, ReassemblesABlockCutAtAnyPoint) {
    const int32_t metaint = 100;
    const std::vector<uint8_t> audio = Audio(400);
    const std::string body = Interleave(audio, metaint, BlockText);
    for (size_t cut = 0; cut <= body.size(); ++cut) {
        const FilterRun run = RunFilter(body, metaint, {cut == 0 ? body.size() : cut, body.size()});
        ASSERT_EQ(run.audio, audio) << "cut at " << cut;
        ASSERT_EQ(run.titles, ExpectedTitles(4)) << "cut at " << cut;
    }
}

TEST(MetadataFilter, LengthByteZeroRemovesOneByteAndNoTitle) {
    MetadataFilter filter;
    filter.Restart(4);
    std::string received = "abcd";
    received += '\0';
    received += "efgh";
    int blocks = 0;
    const size_t removed = filter.Filter(reinterpret_cast<uint8_t*>(received.data()), received.size(),
                                         [&blocks](std::span<const uint8_t>) { ++blocks; });
    EXPECT_EQ(removed, 1u);
    EXPECT_EQ(received.substr(0, received.size() - removed), "abcdefgh");
    EXPECT_EQ(blocks, 0);
}

TEST(MetadataFilter, WithoutMetaintEverythingIsAudio) {
    MetadataFilter filter;
    for (const int32_t metaint : {0, -5}) {
        filter.Restart(metaint);
        std::string received = MetadataBlock(TitleText("Not metadata"));
        const std::string original = received;
        EXPECT_EQ(filter.Filter(reinterpret_cast<uint8_t*>(received.data()), received.size(), nullptr), 0u);
        EXPECT_EQ(received, original);
    }
}

TEST(MetadataFilter, ANewConnectionCountsFromItsOwnStart) {
    MetadataFilter filter;
    filter.Restart(8);
    std::string first = "12345";  // in the middle of the audio before a block
    filter.Filter(reinterpret_cast<uint8_t*>(first.data()), first.size(), nullptr);
    filter.Restart(8);
    std::string second = "abcdefgh" + MetadataBlock(TitleText("After")) + "ijk";
    std::vector<std::string> titles;
    const size_t removed = filter.Filter(reinterpret_cast<uint8_t*>(second.data()), second.size(),
                                         [&titles](std::span<const uint8_t> block) {
                                             if (auto title = StreamParseTitle(block)) titles.push_back(*title);
                                         });
    EXPECT_EQ(second.substr(0, second.size() - removed), "abcdefghijk");
    EXPECT_EQ(titles, std::vector<std::string>{"After"});
}

}  // namespace
