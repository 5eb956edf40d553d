#pragma once

// One painter per file of the base skin. Each returns the whole bitmap at
// its file's size.

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

// The program's icon, `side` 16 or 32 pixels square.
Surface PaintIcon(int side);
// Stand-alone Prev and Next button pictures, 22 x 18, like the transport's.
Surface PaintPreviousButtonPicture();
Surface PaintNextButtonPicture();

}  // namespace base_skin
