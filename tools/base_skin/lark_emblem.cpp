#include "tools/base_skin/lark_emblem.h"

namespace base_skin {
namespace {

// '#' body, 'w' wing, '+' note, '.' untouched.
constexpr const char* kLark[kLarkSide] = {
    "................",
    "...+......#.....",
    "...++......#....",
    "...+.+....###...",
    "...+.....#.###++",
    ".+++.....#####..",
    "++++......###...",
    ".++......####...",
    ".......######...",
    ".....#wwww###...",
    "...##wwwww###...",
    ".####.wwww##....",
    "##.....####.....",
    "........#.#.....",
    ".......##.##....",
    "................",
};

}  // namespace

void DrawLark(Surface& surface, int x, int y, const LarkInks& inks, int zoom) {
    for (int row = 0; row < kLarkSide; ++row) {
        for (int column = 0; column < kLarkSide; ++column) {
            const char mark = kLark[row][column];
            if (mark == '.') continue;
            const uint8_t color = mark == '#' ? inks.body : mark == 'w' ? inks.wing : inks.note;
            surface.Fill({x + column * zoom, y + row * zoom, zoom, zoom}, color);
        }
    }
}

}  // namespace base_skin
