#pragma once

// One painter per file of the base skin. Each returns the whole bitmap at
// its file's size.

#include "tools/base_skin/palette.h"
#include "tools/base_skin/surface.h"

namespace base_skin {

Surface PaintMainBackground();     // main.bmp
Surface PaintTitleBars();          // titlebar.bmp
Surface PaintControlButtons();     // cbuttons.bmp
Surface PaintPlayStateIcons();     // playpaus.bmp
Surface PaintToggleButtons();      // shufrep.bmp
Surface PaintChannelIndicators();  // monoster.bmp
Surface PaintDigits();             // numbers.bmp
Surface PaintVolumeBar();          // volume.bmp
Surface PaintBalanceBar();         // balance.bmp
Surface PaintPositionBar();        // posbar.bmp
Surface PaintEqualizer();          // eqmain.bmp
Surface PaintPlaylistFrame();      // pledit.bmp
Surface PaintBasePlaylistBar();    // playlist_bar.bmp
Surface PaintTextFont();           // text.bmp

// The program's icon, `side` a multiple of 16 pixels square: 16 and 32 for
// the window, up to 256 for the desktop's icon theme.
Surface PaintIcon(int side);
// The ink of the icon's rounded-off corners and nothing else of it, which
// the desktop icons leave transparent.
constexpr uint8_t kIconCornerInk = ink::kBlack;
// Stand-alone Prev and Next button pictures, 22 x 18, like the transport's.
Surface PaintPreviousButtonPicture();
Surface PaintNextButtonPicture();

}  // namespace base_skin
