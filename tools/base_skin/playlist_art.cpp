// The playlist window's frame (pledit.bmp) and the base skin's own bottom bar
// with its group buttons (playlist_bar.bmp).
//
// The frame pieces are drawn at 87 % like the other windows. The bottom bar
// comes in two layouts: the one a skin directory has in pledit.bmp, which the
// player shrinks, and the base skin's own, which it copies at full size. Both
// show the same bar at nearly the same screen size, so one drawing serves both.

#include <span>
#include <string_view>
#include <vector>

#include "tools/base_skin/artwork.h"
#include "tools/base_skin/lark_emblem.h"
#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/screen_scale.h"
#include "tools/base_skin/symbols.h"
#include "tools/base_skin/widgets.h"

namespace base_skin {
namespace {

constexpr int kTopBarHeight = 17;     // 20 skin rows at 87 %
constexpr int kCornerWidth = 21;      // 25 skin columns at 87 %
constexpr int kTitleWidth = 87;       // 100 skin columns at 87 %
constexpr int kLeftBorderWidth = 10;  // the widths the player stretches the border tiles to
constexpr int kRightBorderWidth = 17;
constexpr int kBorderHeight = 25;
constexpr Rect kScrollThumb = {0, 0, 6, 15};
constexpr int kBarHeight = 33;
// The total time's well in the bar's right piece (the player draws into it).
constexpr int kTotalWellLeft = 25;
constexpr int kTotalWellWidth = 64;
constexpr int kButtonWidth = 19;
constexpr int kButtonHeight = 15;
constexpr int kLowestButtonTop = 7;  // the player puts the lowest buttons 26 rows above the bottom

// A group button shows a label or, where a word would not fit, a symbol.
struct ButtonFaceText {
    std::string_view label;
    Symbol symbol = Symbol::More;
};

struct ButtonGroup {
    std::vector<ButtonFaceText> buttons;  // lowest first, as the player stacks them
    int directoryNormalX;
    int directoryPressedX;
    int baseNormalX;
    int basePressedX;
};

// Each button names what it does: Add file, directory, address; Remove
// selected, crop, all, and a menu of more (dots); Sel select all, select
// none, invert the selection; Misc options, file info, sort; List load,
// save, new.
const std::vector<ButtonGroup>& Groups() {
    static const std::vector<ButtonGroup> groups = {
        {{{"ADD"}, {"DIR"}, {"URL"}}, 0, 23, 0, 20},
        {{{"REM"}, {"CROP"}, {"ALL"}, {"", Symbol::More}}, 54, 77, 47, 67},
        {{{"ALL"}, {"NONE"}, {"INV"}}, 104, 127, 91, 111},
        {{{"MISC"}, {"INFO"}, {"SORT"}}, 154, 177, 134, 154},
        {{{"LIST"}, {"SAVE"}, {"NEW"}}, 204, 227, 178, 198},
    };
    return groups;
}

constexpr int kDirectoryButtonRows[] = {149, 130, 111, 168};
constexpr int kBaseButtonRows[] = {128, 112, 96, 144};

Surface GroupButtonDesign(const ButtonFaceText& face, bool pressed) {
    Surface design(kButtonWidth, kButtonHeight);
    ButtonFace(design, {0, 0, kButtonWidth, kButtonHeight}, pressed);
    const int shift = pressed ? 1 : 0;
    const uint8_t ink = pressed ? Glow(tone::kLitGlow) : Slate(tone::kLabel);
    const Rect inner = {shift, shift, kButtonWidth, kButtonHeight - 1};
    if (face.label.empty()) {
        DrawSymbol(design, inner, face.symbol, ink);
    } else {
        DrawTextCentered(design, inner, face.label, ink);
    }
    return design;
}

void TopBarBackground(Surface& design, bool active) {
    VerticalGradient(design, {0, 0, design.Width(), kTopBarHeight - 1}, active ? 30 : 22, active ? 19 : 16);
    design.HorizontalLine(0, 0, design.Width(), Slate(active ? 40 : 27));
    design.HorizontalLine(0, kTopBarHeight - 1, design.Width(), Slate(tone::kShadow));
}

// One piece of the top bar: `grooveFrom` to `grooveTo` carries the grooves,
// and the title piece writes the window's name in a gap in them.
Surface TopBarPiece(int width, bool active, int grooveFrom, int grooveTo, std::string_view title) {
    Surface design(width, kTopBarHeight);
    TopBarBackground(design, active);
    const int middleHeight = kTopBarHeight - 1;
    if (title.empty()) {
        TitleGrooves(design, {grooveFrom, 0, grooveTo - grooveFrom, middleHeight}, active);
        return design;
    }
    constexpr int kSpacing = 2;
    const int textWidth = TextWidth(title, kSpacing);
    const int textLeft = (width - textWidth) / 2;
    TitleGrooves(design, {0, 0, textLeft - 5, middleHeight}, active);
    TitleGrooves(design, {textLeft + textWidth + 5, 0, width - textLeft - textWidth - 5, middleHeight}, active);
    DrawText(design, textLeft, (middleHeight - kCapitalHeight) / 2, title, Slate(active ? 60 : 38), kSpacing);
    return design;
}

void PlaceTopBar(Surface& skin, int row, bool active) {
    PlaceOnSkin(skin, {0, row, 25, 20}, TopBarPiece(kCornerWidth, active, 4, kCornerWidth, ""));
    PlaceOnSkin(skin, {26, row, 100, 20}, TopBarPiece(kTitleWidth, active, 0, 0, "PLAYLIST"));
    PlaceOnSkin(skin, {127, row, 25, 20}, TopBarPiece(kCornerWidth, active, 0, kCornerWidth, ""));
    PlaceOnSkin(skin, {153, row, 25, 20}, TopBarPiece(kCornerWidth, active, 0, kCornerWidth - 4, ""));
}

// Border tiles are the same all the way down, so the player may stack and
// cut them anywhere.
Surface BorderDesign(std::span<const int> columnLevels) {
    Surface design(static_cast<int>(columnLevels.size()), kBorderHeight);
    for (size_t column = 0; column < columnLevels.size(); ++column) {
        design.VerticalLine(static_cast<int>(column), 0, kBorderHeight, Slate(columnLevels[column]));
    }
    return design;
}

Surface LeftBorderDesign() {
    constexpr int kLevels[kLeftBorderWidth] = {34, 22, 21, 21, 20, 20, 19, 14, 6, 2};
    return BorderDesign(kLevels);
}

// The right border holds the scroll groove; its screen columns 2-9 lie under
// the thumb, which the player puts 3 columns in.
Surface RightBorderDesign() {
    constexpr int kLevels[kRightBorderWidth] = {2, 8, 1, 4, 4, 4, 4, 4, 4, 26, 20, 21, 21, 20, 19, 14, 4};
    return BorderDesign(kLevels);
}

Surface ScrollThumbDesign(bool pressed) {
    Surface design(kScrollThumb.width, kScrollThumb.height);
    Knob(design, kScrollThumb, pressed, false);
    return design;
}

struct LowestButton {
    int x;
    const ButtonFaceText* face;
};

// A piece of the bottom bar with the lowest buttons of its groups in place;
// `wordmark` adds the program's lark in the free space on the left, and
// beside it the well where the player writes the list's total time.
Surface BottomBarDesign(int width, std::span<const LowestButton> buttons, bool wordmark) {
    Surface design(width, kBarHeight);
    WindowBody(design, {0, 0, width, kBarHeight});
    design.HorizontalLine(0, 0, width, Slate(tone::kShadow));
    design.HorizontalLine(0, 1, width, Slate(tone::kHighlight - 6));
    design.HorizontalLine(0, kBarHeight - 1, width, Slate(tone::kShadow));
    for (const LowestButton& button : buttons) {
        SunkenWell(design, {button.x - 1, kLowestButtonTop - 1, kButtonWidth + 2, kButtonHeight + 2}, 3);
        design.Paste(GroupButtonDesign(*button.face, false), button.x, kLowestButtonTop);
    }
    if (wordmark) {
        DrawLark(design, 6, kLowestButtonTop - 1, {Slate(tone::kEngraved), Slate(26), Glow(30)});
        SunkenWell(design, {kTotalWellLeft, kLowestButtonTop - 1, kTotalWellWidth, kButtonHeight + 2}, 0);
    }
    return design;
}

// Both layouts: left piece and right piece with the first four groups on
// the left and the List group on the right, `rightLeft` being the screen
// column where the right piece starts.
void PlaceBottomBar(Surface& skin, Rect leftArea, int leftWidth, Rect rightArea, int rightWidth, int rightLeft,
                    std::span<const int> buttonLefts) {
    const auto& groups = Groups();
    std::vector<LowestButton> left;
    for (size_t group = 0; group < 4; ++group) left.push_back({buttonLefts[group], &groups[group].buttons[0]});
    const LowestButton right[] = {{buttonLefts[4] - rightLeft, &groups[4].buttons[0]}};
    PlaceOnSkin(skin, leftArea, BottomBarDesign(leftWidth, left, false));
    PlaceOnSkin(skin, rightArea, BottomBarDesign(rightWidth, right, true));
}

void PlaceGroupButtons(Surface& skin, bool directoryLayout) {
    const int width = directoryLayout ? 22 : kButtonWidth;
    const int height = directoryLayout ? 18 : kButtonHeight;
    for (const ButtonGroup& group : Groups()) {
        for (size_t index = 0; index < group.buttons.size(); ++index) {
            const int row = directoryLayout ? kDirectoryButtonRows[index] : kBaseButtonRows[index];
            const int normalX = directoryLayout ? group.directoryNormalX : group.baseNormalX;
            const int pressedX = directoryLayout ? group.directoryPressedX : group.basePressedX;
            PlaceOnSkin(skin, {normalX, row, width, height}, GroupButtonDesign(group.buttons[index], false));
            PlaceOnSkin(skin, {pressedX, row, width, height}, GroupButtonDesign(group.buttons[index], true));
        }
    }
}

}  // namespace

Surface PaintPlaylistFrame() {
    Surface skin(280, 186, Slate(tone::kBodyLow));
    PlaceTopBar(skin, 0, true);
    PlaceTopBar(skin, 21, false);
    PlaceOnSkin(skin, {0, 42, 12, 29}, LeftBorderDesign());
    PlaceOnSkin(skin, {31, 42, 20, 29}, RightBorderDesign());
    PlaceOnSkin(skin, {52, 53, 8, 18}, ScrollThumbDesign(false));
    PlaceOnSkin(skin, {61, 53, 8, 18}, ScrollThumbDesign(true));

    // The skin-directory layout on the 240-pixel screen: pieces 108 and 132 wide,
    // the right one 2 columns wider than its 87 %; buttons at 87 % of the
    // skin columns 14, 43, 72, 101 and 231.
    const int buttonLefts[] = {ScreenLength(14), ScreenLength(43), ScreenLength(72), ScreenLength(101),
                               ScreenLength(231)};
    const int rightWidth = ScreenLength(150) + 2;
    PlaceBottomBar(skin, {0, 72, 125, 38}, ScreenLength(125), {126, 72, 150, 38}, rightWidth, 240 - rightWidth,
                   buttonLefts);
    PlaceGroupButtons(skin, true);
    return skin;
}

Surface PaintBasePlaylistBar() {
    Surface skin(243, 161, Slate(tone::kBodyLow));
    const int buttonLefts[] = {13, 38, 63, 88, 202};
    PlaceBottomBar(skin, {0, 62, 109, 33}, 109, {109, 62, 131, 33}, 131, 109, buttonLefts);
    PlaceGroupButtons(skin, false);
    return skin;
}

}  // namespace base_skin
