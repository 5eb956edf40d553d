#include "tools/base_skin/title_bar_art.h"

#include "tools/base_skin/palette.h"
#include "tools/base_skin/pixel_font.h"
#include "tools/base_skin/symbols.h"
#include "tools/base_skin/widgets.h"
#include "tools/base_skin/window_layout.h"

namespace base_skin {
namespace {

constexpr int kTitleSpacing = 2;
constexpr int kTextMargin = 6;
// Screen columns of the marks; the player's corner taps are 0-20 and 225-240.
constexpr Rect kOptionsBox = {3, 1, 11, 10};
constexpr Rect kCloseBox = {226, 1, 11, 10};

}  // namespace

Surface TitleBarDesign(std::string_view title, bool active, int width, bool optionsMark) {
    const int height = main_window::kTitleBar.height;
    Surface bar(width, height);
    VerticalGradient(bar, {0, 0, width, height - 1}, active ? 30 : 22, active ? 19 : 16);
    bar.HorizontalLine(0, 0, width, Slate(active ? 40 : 27));
    bar.HorizontalLine(0, height - 1, width, Slate(tone::kShadow));

    const uint8_t markInk = Slate(active ? tone::kLabel : 34);
    if (optionsMark) DrawSymbol(bar, kOptionsBox, Symbol::Menu, markInk);
    DrawSymbol(bar, kCloseBox, Symbol::Close, markInk);

    const int textWidth = TextWidth(title, kTitleSpacing);
    const int textLeft = (main_window::kTitleBar.width - textWidth) / 2;
    const int textTop = (height - 1 - kCapitalHeight) / 2;
    DrawText(bar, textLeft, textTop, title, Slate(active ? 60 : 38), kTitleSpacing);

    const int grooveLeft = kOptionsBox.Right() + 4;
    const int grooveRight = kCloseBox.x - 4;
    TitleGrooves(bar, {grooveLeft, 0, textLeft - kTextMargin - grooveLeft, height - 1}, active);
    const int afterText = textLeft + textWidth + kTextMargin;
    TitleGrooves(bar, {afterText, 0, grooveRight - afterText, height - 1}, active);
    return bar;
}

}  // namespace base_skin
