// The chunk walk over a span: pad bytes, and chunks cut short or not there
// at all at the end of the bytes.

#include "platform/riff_chunks.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"

namespace {

// A chunk header with the size it declares, then `bodyBytes` bytes of body.
void AppendChunk(std::vector<uint8_t>& bytes, std::string_view id, uint32_t declaredSize, size_t bodyBytes) {
    bytes.insert(bytes.end(), id.begin(), id.end());
    platform::AppendLittle32(bytes, declaredSize);
    bytes.resize(bytes.size() + bodyBytes, 0x5A);
}

// What the walk gives, one "id:held/declared" a chunk; '!' marks one cut short.
std::string Walk(const std::vector<uint8_t>& bytes) {
    std::string walked;
    platform::RiffChunkWalker walker(bytes, 0);
    while (const auto chunk = walker.Next()) {
        walked += std::string(chunk->header.id, 4) + ":" + std::to_string(chunk->body.size()) + "/" +
                  std::to_string(chunk->header.size) + (chunk->IsWhole() ? " " : "! ");
    }
    return walked;
}

TEST(RiffChunkWalker, FollowsTheSizesAndPadBytesUpToTheEndOfTheBytes) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string walked;
    };
    const auto chunks = [](std::initializer_list<std::tuple<std::string_view, uint32_t, size_t>> list) {
        std::vector<uint8_t> bytes;
        for (const auto& [id, declared, held] : list) AppendChunk(bytes, id, declared, held);
        return bytes;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, ""},
        {"less than a header", {'d', 'a', 't', 'a', 1, 0, 0}, ""},
        {"an empty chunk", chunks({{"data", 0, 0}}), "data:0/0 "},
        {"even sizes", chunks({{"fmt ", 2, 2}, {"data", 4, 4}}), "fmt :2/2 data:4/4 "},
        {"an odd size and its pad byte", chunks({{"LIST", 3, 4}, {"data", 1, 1}}), "LIST:3/3 data:1/1 "},
        {"a last odd chunk without its pad byte", chunks({{"data", 3, 3}}), "data:3/3 "},
        {"a pad byte left out in the middle", chunks({{"LIST", 3, 3}, {"data", 0, 0}}), "LIST:3/3 "},
        {"a size past the end", chunks({{"data", 10, 4}}), "data:4/10! "},
        {"the largest size", chunks({{"data", 0xFFFFFFFF, 2}, {"fact", 0, 0}}), "data:10/4294967295! "},
        {"a header cut short after a chunk", [&] {
             auto bytes = chunks({{"fmt ", 2, 2}});
             bytes.insert(bytes.end(), {'d', 'a', 't', 'a', 0});
             return bytes;
         }(), "fmt :2/2 "},
    };
    for (const Case& test : cases) EXPECT_EQ(Walk(test.bytes), test.walked) << test.what;
}

TEST(RiffChunkWalker, StartsAfterTheFormHeaderUnlessToldOtherwise) {
    std::vector<uint8_t> file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    AppendChunk(file, "data", 2, 2);
    EXPECT_TRUE(platform::IsRiffForm(file, "WAVE"));
    EXPECT_FALSE(platform::IsRiffForm(file, "RMP3"));
    EXPECT_FALSE(platform::IsRiffForm(std::span(file).first(11), "WAVE"));
    platform::RiffChunkWalker walker(file);
    const auto chunk = walker.Next();
    ASSERT_TRUE(chunk);
    EXPECT_TRUE(chunk->header.Is("data"));
    EXPECT_FALSE(walker.Next());
}

}  // namespace
