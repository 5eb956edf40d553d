#pragma once

// Where a tap lands on the main window. The regions are the skin's own
// layout in skin units; a tap in window pixels is scaled back to them. A
// region includes its boundary points.

enum class MainRegion {
    None,
    Prev,
    Play,
    Pause,
    Stop,
    Next,
    Eject,
    Shuffle,
    Repeat,
    EqualizerToggle,
    PlaylistToggle,
    Volume,
    Position,
    Clock,
    Title,
};

// The two corners that are tested before the regions, in window pixels:
// the options sheet at the top left, closing the player at the top right.
enum class MainCorner { None, Options, Close };

MainCorner MainCornerAt(int x, int y);

// The first region, in the table's order, that holds the tap at (x, y)
// window pixels with the skin drawn at `scale` percent.
MainRegion MainRegionAt(int x, int y, int scale);

// The volume (percent, 0 to 100) and position (permille, 0 to 1000) that a
// drag at window x sets on its bar.
int VolumeAtX(int x, int scale);
int PositionAtX(int x, int scale);
