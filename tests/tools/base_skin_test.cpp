// The base skin, icon and click sound kept under resources/ are exactly what
// the generator draws, in the formats the player loads, and what matters of
// them survives the player's shrink to 87 %.

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "platform/ui/canvas_stretch.h"
#include "tests/support/fixtures.h"
#include "tools/base_skin/bmp_encoder.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/window_layout.h"

extern char** environ;

namespace {

struct ExpectedBitmap {
    const char* path;
    int width;
    int height;
};

constexpr ExpectedBitmap kBitmaps[] = {
    {"base_skin/balance.bmp", 68, 433},  {"base_skin/cbuttons.bmp", 136, 36},
    {"base_skin/eqmain.bmp", 275, 315},  {"base_skin/main.bmp", 275, 116},
    {"base_skin/monoster.bmp", 58, 24},  {"base_skin/numbers.bmp", 99, 13},
    {"base_skin/playpaus.bmp", 42, 9},   {"base_skin/pledit.bmp", 280, 186},
    {"base_skin/posbar.bmp", 307, 10},   {"base_skin/shufrep.bmp", 92, 85},
    {"base_skin/titlebar.bmp", 344, 87}, {"base_skin/volume.bmp", 68, 433},
    {"base_skin/playlist_bar.bmp", 243, 161}, {"icon/tunelark_16.bmp", 16, 16},
    {"icon/tunelark_32.bmp", 32, 32},    {"prev_button.bmp", 22, 18},
    {"next_button.bmp", 22, 18},         {"base_skin/text.bmp", 155, 18},
};
constexpr const char* kClickPath = "click.wav";

std::string Resource(const std::string& relativePath) {
    return std::string(TUNELARK_SOURCE_DIR) + "/resources/" + relativePath;
}

int RunGenerator(std::string directory) {
    std::string program = TUNELARK_BASE_SKIN_GENERATOR;
    char* arguments[] = {program.data(), directory.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0) return -1;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An 8-bit BMP's palette indices, top row first.
struct IndexedBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Checks the header the player's loader and the resource table rely on and
// decodes the pixels; fails the test and returns nothing when it cannot.
std::optional<IndexedBitmap> DecodeIndexedBmp(const std::vector<uint8_t>& bytes, const std::string& name) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') {
        ADD_FAILURE() << name << " is not a BMP file";
        return std::nullopt;
    }
    const auto field16 = [&bytes](size_t at) { return platform::ReadLittle16(bytes.data() + at); };
    const auto field32 = [&bytes](size_t at) { return platform::ReadLittle32(bytes.data() + at); };
    IndexedBitmap bitmap;
    bitmap.width = static_cast<int>(field32(18));
    bitmap.height = static_cast<int>(field32(22));
    const uint32_t pixelOffset = field32(10);
    const uint32_t colorsUsed = field32(46);
    const auto rowBytes = static_cast<size_t>((bitmap.width + 3) & ~3);
    const bool headerFits = field32(14) == 40 && field16(26) == 1 && field16(28) == 8 && field32(30) == 0 &&
                            bitmap.width > 0 && bitmap.height > 0 && colorsUsed <= 256 &&
                            pixelOffset == 54 + 4 * (colorsUsed == 0 ? 256 : colorsUsed) &&
                            bytes.size() == pixelOffset + rowBytes * static_cast<size_t>(bitmap.height);
    if (!headerFits) {
        ADD_FAILURE() << name << ": not an uncompressed bottom-up 8-bit BMP with its palette and every row ("
                      << bitmap.width << " x " << bitmap.height << ", " << field16(28) << " bits, "
                      << colorsUsed << " colours, " << bytes.size() << " bytes)";
        return std::nullopt;
    }
    for (int y = 0; y < bitmap.height; ++y) {
        const size_t row = pixelOffset + static_cast<size_t>(bitmap.height - 1 - y) * rowBytes;
        bitmap.pixels.insert(bitmap.pixels.end(), bytes.begin() + static_cast<ptrdiff_t>(row),
                             bytes.begin() + static_cast<ptrdiff_t>(row + static_cast<size_t>(bitmap.width)));
    }
    return bitmap;
}

std::optional<IndexedBitmap> ReadIndexedBmp(const std::string& relativePath) {
    return DecodeIndexedBmp(test::ReadFileBytes(Resource(relativePath)), relativePath);
}

// What the player shows of the w x h sprite at (x, y) drawn at `percent`.
std::vector<uint8_t> ShownAtWindowScale(const IndexedBitmap& bitmap, int x, int y, int width, int height,
                                        int percent = 87) {
    const int shownWidth = width * percent / 100;
    const int shownHeight = height * percent / 100;
    std::vector<uint8_t> shown;
    for (int row = 0; row < shownHeight; ++row) {
        for (int column = 0; column < shownWidth; ++column) {
            shown.push_back(bitmap.At(x + platform::ui::StretchSourceOffset(column, width, shownWidth),
                                      y + platform::ui::StretchSourceOffset(row, height, shownHeight)));
        }
    }
    return shown;
}

void ExpectAllDifferent(const std::vector<std::vector<uint8_t>>& frames, const std::string& what) {
    for (size_t i = 0; i < frames.size(); ++i) {
        for (size_t j = i + 1; j < frames.size(); ++j) {
            EXPECT_NE(frames[i], frames[j]) << what << " " << i << " and " << j << " look the same on the screen";
        }
    }
}

TEST(BaseSkin, KeptResourcesAreWhatTheGeneratorDraws) {
    test::TemporaryFile output({});
    ASSERT_EQ(RunGenerator(output.Directory()), 0);

    std::set<std::string> expected = {kClickPath};
    for (const ExpectedBitmap& bitmap : kBitmaps) expected.insert(bitmap.path);
    std::set<std::string> generated;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(output.Directory())) {
        if (entry.is_regular_file() && entry.path() != output.Path()) {
            generated.insert(std::filesystem::relative(entry.path(), output.Directory()).string());
        }
    }
    EXPECT_EQ(generated, expected);
    for (const std::string& path : generated) {
        EXPECT_TRUE(test::ReadFileBytes(output.Directory() + "/" + path) == test::ReadFileBytes(Resource(path)))
            << "resources/" << path << " is stale: run tools/base_skin/generate.sh";
    }
}

TEST(BaseSkin, BitmapsAreEightBitAtTheSizesTheSpritesAreCutFrom) {
    for (const ExpectedBitmap& expected : kBitmaps) {
        const auto bitmap = ReadIndexedBmp(expected.path);
        ASSERT_TRUE(bitmap.has_value()) << expected.path;
        EXPECT_EQ(bitmap->width, expected.width) << expected.path;
        EXPECT_EQ(bitmap->height, expected.height) << expected.path;
    }
}

TEST(BaseSkin, ClickIsShortMono16BitPcmAt22050Hz) {
    const std::vector<uint8_t> wave = test::ReadFileBytes(Resource(kClickPath));
    ASSERT_EQ(wave.size(), 44u + 4584u);
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
    EXPECT_EQ(platform::ReadLittle32(wave.data() + 4), wave.size() - 8);
    EXPECT_EQ(std::string(wave.begin() + 8, wave.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(platform::ReadLittle32(wave.data() + 16), 16u);
    EXPECT_EQ(platform::ReadLittle16(wave.data() + 20), 1u);  // PCM
    EXPECT_EQ(platform::ReadLittle16(wave.data() + 22), 1u);  // mono
    EXPECT_EQ(platform::ReadLittle32(wave.data() + 24), 22050u);
    EXPECT_EQ(platform::ReadLittle32(wave.data() + 28), 44100u);
    EXPECT_EQ(platform::ReadLittle16(wave.data() + 32), 2u);
    EXPECT_EQ(platform::ReadLittle16(wave.data() + 34), 16u);
    EXPECT_EQ(std::string(wave.begin() + 36, wave.begin() + 40), "data");
    EXPECT_EQ(platform::ReadLittle32(wave.data() + 40), 4584u);
    // Audible, and ending in silence so that it cannot end in a click of its own.
    int peak = 0;
    for (size_t at = 44; at < wave.size(); at += 2) {
        peak = std::max(peak, std::abs(static_cast<int16_t>(platform::ReadLittle16(wave.data() + at))));
    }
    EXPECT_GT(peak, 4000);
    EXPECT_EQ(platform::ReadLittle16(wave.data() + wave.size() - 2), 0u);
}

// The player picks one of these pictures by value; two that shrink to the
// same pixels would show two values alike.
TEST(BaseSkin, DigitsAndBarFramesStayDistinctAtWindowScale) {
    const auto digits = ReadIndexedBmp("base_skin/numbers.bmp");
    const auto volume = ReadIndexedBmp("base_skin/volume.bmp");
    const auto equalizer = ReadIndexedBmp("base_skin/eqmain.bmp");
    ASSERT_TRUE(digits && volume && equalizer);

    std::vector<std::vector<uint8_t>> glyphs;
    for (int glyph = 0; glyph <= 10; ++glyph) glyphs.push_back(ShownAtWindowScale(*digits, 9 * glyph, 0, 9, 13));
    ExpectAllDifferent(glyphs, "digit glyphs");

    std::vector<std::vector<uint8_t>> volumeFrames;
    std::vector<std::vector<uint8_t>> sliderFrames;
    for (int frame = 0; frame < 28; ++frame) {
        volumeFrames.push_back(ShownAtWindowScale(*volume, 0, 15 * frame, 68, 13));
        const int x = 13 + 15 * (frame % 14);
        sliderFrames.push_back(ShownAtWindowScale(*equalizer, x, frame < 14 ? 164 : 229, 14, 64));
    }
    ExpectAllDifferent(volumeFrames, "volume frames");
    ExpectAllDifferent(sliderFrames, "equalizer slider frames");
}

// The generator draws at screen size and spreads the drawing over the skin
// rectangle; the player's own shrink must give the drawing back unchanged.
TEST(BaseSkinArt, ExpandedDrawingShrinksBackToItselfWithThePlayersMapping) {
    const struct {
        int skinWidth, skinHeight, screenWidth, screenHeight;
    } cases[] = {{275, 116, 240, 100}, {23, 18, 21, 15}, {9, 13, 7, 11}, {68, 13, 59, 11},
                 {14, 64, 12, 55},     {248, 10, 218, 9}, {12, 29, 10, 25}, {19, 15, 19, 15}};
    for (const auto& size : cases) {
        base_skin::Surface drawing(size.screenWidth, size.screenHeight);
        for (int y = 0; y < size.screenHeight; ++y) {
            for (int x = 0; x < size.screenWidth; ++x) drawing.Set(x, y, static_cast<uint8_t>((x * 7 + y * 31) % 251));
        }
        const base_skin::Surface skin = base_skin::ExpandToSkin(drawing, size.skinWidth, size.skinHeight);
        ASSERT_EQ(skin.Width(), size.skinWidth);
        ASSERT_EQ(skin.Height(), size.skinHeight);
        int mismatches = 0;
        for (int y = 0; y < size.screenHeight; ++y) {
            for (int x = 0; x < size.screenWidth; ++x) {
                const int sourceX = platform::ui::StretchSourceOffset(x, size.skinWidth, size.screenWidth);
                const int sourceY = platform::ui::StretchSourceOffset(y, size.skinHeight, size.screenHeight);
                if (skin.At(sourceX, sourceY) != drawing.At(x, y)) ++mismatches;
            }
        }
        EXPECT_EQ(mismatches, 0) << size.skinWidth << " x " << size.skinHeight;
    }
    EXPECT_THROW(base_skin::ExpandToSkin(base_skin::Surface(30, 10), 29, 10), std::invalid_argument);
}

// The states of one sprite: where the player cuts each from its bitmap.
struct SpriteStates {
    const char* path;
    const char* name;
    int width;
    int height;
    std::vector<std::pair<int, int>> sources;
    int percent = 87;
};

std::vector<SpriteStates> Catalogue() {
    std::vector<SpriteStates> sprites = {
        {"base_skin/cbuttons.bmp", "Prev", 23, 18, {{0, 0}, {0, 18}}},
        {"base_skin/cbuttons.bmp", "Play", 23, 18, {{23, 0}, {23, 18}}},
        {"base_skin/cbuttons.bmp", "Pause", 23, 18, {{46, 0}, {46, 18}}},
        {"base_skin/cbuttons.bmp", "Stop", 23, 18, {{69, 0}, {69, 18}}},
        {"base_skin/cbuttons.bmp", "Next", 22, 18, {{92, 0}, {92, 18}}},
        {"base_skin/cbuttons.bmp", "Eject", 22, 16, {{114, 0}, {114, 16}}},
        {"base_skin/shufrep.bmp", "Shuffle", 47, 15, {{28, 0}, {28, 15}, {28, 30}, {28, 45}}},
        {"base_skin/shufrep.bmp", "Repeat", 28, 15, {{0, 0}, {0, 15}, {0, 30}, {0, 45}}},
        {"base_skin/shufrep.bmp", "EQ toggle", 23, 12, {{0, 61}, {46, 61}, {0, 73}, {46, 73}}},
        {"base_skin/shufrep.bmp", "PL toggle", 23, 12, {{23, 61}, {69, 61}, {23, 73}, {69, 73}}},
        {"base_skin/monoster.bmp", "stereo", 29, 12, {{0, 0}, {0, 12}}},
        {"base_skin/monoster.bmp", "mono", 27, 12, {{29, 0}, {29, 12}}},
        {"base_skin/volume.bmp", "volume thumb", 14, 11, {{15, 422}, {0, 422}}},
        {"base_skin/balance.bmp", "balance thumb", 14, 11, {{15, 422}, {0, 422}}},
        {"base_skin/posbar.bmp", "position thumb", 29, 10, {{248, 0}, {278, 0}}},
        {"base_skin/titlebar.bmp", "main title bar", 275, 14, {{27, 0}, {27, 15}}},
        {"base_skin/eqmain.bmp", "equalizer title bar", 275, 14, {{0, 134}, {0, 149}}},
        {"base_skin/eqmain.bmp", "ON", 24, 12, {{10, 119}, {128, 119}, {69, 119}, {187, 119}}},
        {"base_skin/eqmain.bmp", "AUTO", 33, 12, {{35, 119}, {153, 119}, {94, 119}, {212, 119}}},
        {"base_skin/eqmain.bmp", "PRESETS", 44, 12, {{224, 164}, {224, 176}}},
        {"base_skin/eqmain.bmp", "slider thumb", 11, 11, {{0, 164}, {0, 176}}},
        {"base_skin/pledit.bmp", "playlist title", 100, 20, {{26, 0}, {26, 21}}},
        {"base_skin/pledit.bmp", "scroll thumb", 8, 18, {{52, 53}, {61, 53}}},
    };
    // Group buttons, normal and pressed, in both playlist layouts.
    const int directoryX[][2] = {{0, 23}, {54, 77}, {104, 127}, {154, 177}, {204, 227}};
    const int baseX[][2] = {{0, 20}, {47, 67}, {91, 111}, {134, 154}, {178, 198}};
    const int directoryY[] = {149, 130, 111, 168};
    const int baseY[] = {128, 112, 96, 144};
    for (int group = 0; group < 5; ++group) {
        for (int button = 0; button < (group == 1 ? 4 : 3); ++button) {
            sprites.push_back({"base_skin/pledit.bmp", "group button", 22, 18,
                               {{directoryX[group][0], directoryY[button]}, {directoryX[group][1], directoryY[button]}}});
            sprites.push_back({"base_skin/playlist_bar.bmp", "base group button", 19, 15,
                               {{baseX[group][0], baseY[button]}, {baseX[group][1], baseY[button]}}, 100});
        }
    }
    return sprites;
}

// Every state of every sprite is drawn (not a plain fill) and can be told
// from the sprite's other states on the screen.
TEST(BaseSkin, EverySpriteStateIsDrawnAndDistinctOnTheScreen) {
    for (const SpriteStates& sprite : Catalogue()) {
        const auto bitmap = ReadIndexedBmp(sprite.path);
        ASSERT_TRUE(bitmap.has_value());
        std::vector<std::vector<uint8_t>> states;
        for (const auto& [x, y] : sprite.sources) {
            states.push_back(ShownAtWindowScale(*bitmap, x, y, sprite.width, sprite.height, sprite.percent));
            const std::set<uint8_t> colors(states.back().begin(), states.back().end());
            EXPECT_GT(colors.size(), 1u) << sprite.name << " at (" << x << ", " << y << ") in " << sprite.path;
        }
        ExpectAllDifferent(states, std::string(sprite.name) + " states");
    }
}

// The backgrounds are drawn around these screen rectangles: the player's
// placements at 87 %, each with its fixed adjustment.
TEST(BaseSkinArt, ScreenLayoutMatchesThePlayersPlacements) {
    using base_skin::Rect;
    const auto expectRect = [](Rect actual, Rect expected, const char* what) {
        EXPECT_TRUE(actual.x == expected.x && actual.y == expected.y && actual.width == expected.width &&
                    actual.height == expected.height)
            << what << ": " << actual.x << ", " << actual.y << ", " << actual.width << " x " << actual.height;
    };
    expectRect(base_skin::main_window::kBackground, {0, 0, 240, 100}, "main background");
    expectRect(base_skin::main_window::kPlay, {35, 76, 20, 15}, "Play button");
    expectRect(base_skin::main_window::kPrevious, {14, 76, 21, 15}, "Prev button");
    expectRect(base_skin::main_window::kEject, {119, 76, 19, 14}, "Eject button");
    expectRect(base_skin::main_window::kPositionBar, {13, 62, 218, 9}, "position bar");
    expectRect(base_skin::main_window::kTitleText, {96, 21, 135, 10}, "title text box");
    EXPECT_EQ(base_skin::equalizer_window::SliderThumbTop(100), 33);  // one unit down rounds to 0 pixels
    EXPECT_EQ(base_skin::equalizer_window::SliderThumbTop(0), 33 + 46);
}

// Lit labels and the display use the colours the player writes its own texts in.
TEST(BaseSkinArt, PaletteHoldsThePlayersDefaultTextColours) {
    const auto palette = base_skin::BasePalette();
    const auto expectColor = [&palette](uint8_t index, int red, int green, int blue) {
        EXPECT_TRUE(palette[index].red == red && palette[index].green == green && palette[index].blue == blue)
            << "palette entry " << int{index};
    };
    expectColor(base_skin::ink::kBlack, 0, 0, 0);
    expectColor(base_skin::ink::kDisplayGreen, 0, 255, 0);
    expectColor(base_skin::ink::kSelectedBlue, 50, 50, 255);
    expectColor(base_skin::Glow(48), 0, 255, 0);
    for (int level = 1; level < base_skin::kRampLevels; ++level) {
        const auto brightness = [&palette](uint8_t index) {
            return palette[index].red + palette[index].green + palette[index].blue;
        };
        EXPECT_LT(brightness(base_skin::Slate(level - 1)), brightness(base_skin::Slate(level))) << level;
        EXPECT_LE(brightness(base_skin::Glow(level - 1)), brightness(base_skin::Glow(level))) << level;
    }
}

TEST(BaseSkinArt, EncodedBitmapDecodesToTheSamePixelsAtEveryRowPadding) {
    for (int width = 1; width <= 5; ++width) {
        base_skin::Surface picture(width, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; ++x) picture.Set(x, y, static_cast<uint8_t>(10 * y + x + 1));
        }
        const auto decoded = DecodeIndexedBmp(base_skin::EncodeIndexedBmp(picture, base_skin::BasePalette()),
                                              std::to_string(width) + " wide");
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->pixels, picture.Pixels()) << width << " wide";
    }
}

// Glyphs are typed in by hand; a row longer than the others would spill into
// the next letter, and padding would space the letters unevenly.
TEST(BaseSkinArt, EveryGlyphFillsExactlyTheWidthItAdvances) {
    for (char character = '!'; character <= '~'; ++character) {
        if (!base_skin::HasGlyph(character)) continue;
        const std::string text(1, character);
        base_skin::Surface canvas(16, 12);
        base_skin::DrawText(canvas, 1, 1, text, 1);
        int left = canvas.Width();
        int right = -1;
        int bottom = -1;
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                if (canvas.At(x, y) == 0) continue;
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
        EXPECT_EQ(left, 1) << "'" << character << "'";
        EXPECT_EQ(right, base_skin::TextWidth(text)) << "'" << character << "'";
        EXPECT_LE(bottom, base_skin::kCapitalHeight + 1) << "'" << character << "'";
    }
    EXPECT_THROW(base_skin::TextWidth("A<B"), std::invalid_argument);
}

}  // namespace
