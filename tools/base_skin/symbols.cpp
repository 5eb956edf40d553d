#include "tools/base_skin/symbols.h"

#include <cstring>

namespace base_skin {
namespace {

constexpr int kMostRows = 7;

// '#' marks a pixel; all rows of a symbol are equally wide.
struct SymbolMap {
    Symbol symbol;
    const char* rows[kMostRows];
};

constexpr SymbolMap kMaps[] = {
    {Symbol::Play, {"#....", "###..", "####.", "#####", "####.", "###..", "#...."}},
    {Symbol::Pause, {"##.##", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##"}},
    {Symbol::Stop, {"######", "######", "######", "######", "######", "######"}},
    {Symbol::Previous, {"##....#", "##..###", "##.####", "#######", "##.####", "##..###", "##....#"}},
    {Symbol::Next, {"#....##", "###..##", "####.##", "#######", "####.##", "###..##", "#....##"}},
    {Symbol::Eject, {"...#...", "..###..", ".#####.", "#######", ".......", "#######"}},
    {Symbol::Close, {"##...##", ".##.##.", "..###..", ".##.##.", "##...##"}},
    {Symbol::Menu, {"#######", ".......", "#######", ".......", "#######"}},
    {Symbol::More, {"##.##.##", "##.##.##"}},
};

}  // namespace

void DrawSymbol(Surface& surface, Rect box, Symbol symbol, uint8_t color) {
    for (const SymbolMap& map : kMaps) {
        if (map.symbol != symbol) continue;
        int height = 0;
        while (height < kMostRows && map.rows[height] != nullptr) ++height;
        const int width = static_cast<int>(std::strlen(map.rows[0]));
        const int left = box.x + (box.width - width + 1) / 2;
        const int top = box.y + (box.height - height + 1) / 2;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                if (map.rows[row][column] == '#') surface.Set(left + column, top + row, color);
            }
        }
        return;
    }
}

}  // namespace base_skin
