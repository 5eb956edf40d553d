#include "platform/ui/text_layout.h"

#include "platform/utf8.h"

namespace platform::ui {
namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr int kOpaque = 255;

// The code point of the well-formed sequence of `length` bytes at `index`.
char32_t DecodeSequence(std::string_view text, size_t index, size_t length) {
    const auto byte = [&](size_t offset) { return static_cast<char32_t>(static_cast<uint8_t>(text[index + offset])); };
    switch (length) {
    case 1:
        return byte(0);
    case 2:
        return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3:
        return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    default:
        return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
    }
}

uint8_t BlendChannel(uint32_t over, uint32_t under, int coverage) {
    return static_cast<uint8_t>((over * coverage + under * (kOpaque - coverage) + kOpaque / 2) / kOpaque);
}

uint32_t BlendPixel(uint32_t over, uint32_t under, int coverage) {
    if (coverage >= kOpaque) {
        return over;
    }
    uint32_t result = 0;
    for (int shift : {16, 8, 0}) {
        result |= uint32_t{BlendChannel((over >> shift) & 0xFF, (under >> shift) & 0xFF, coverage)} << shift;
    }
    return result;
}

// Coverage 0..255 of one glyph-surface pixel: the alpha of a blended
// rendering, or "not the background index" of a solid one.
int Coverage(const SDL_Surface* surface, int x, int y) {
    const auto* row = static_cast<const uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
    if (surface->format->BytesPerPixel == 1) {
        return row[x] != 0 ? kOpaque : 0;
    }
    const uint32_t value = reinterpret_cast<const uint32_t*>(row)[x];
    return static_cast<int>((value & surface->format->Amask) >> surface->format->Ashift);
}

void BlendSurface(Framebuffer& target, Rect clip, int left, int top, const SDL_Surface* surface, uint32_t pixel) {
    const Rect area = IntersectRects(clip, Rect{left, top, left + surface->w, top + surface->h});
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = target.Row(y);
        for (int x = area.left; x < area.right; ++x) {
            const int coverage = Coverage(surface, x - left, y - top);
            if (coverage > 0) {
                row[x] = BlendPixel(pixel, row[x], coverage);
            }
        }
    }
}

}  // namespace

TextLayout LayOutText(const FontFace& face, std::string_view text) {
    TextLayout layout;
    layout.height = face.CellHeight();
    TextRun run;
    const auto finishRun = [&] {
        if (run.text.empty()) {
            return;
        }
        int height = 0;
        if (TTF_SizeUTF8(run.font, run.text.c_str(), &run.width, &height) != 0) {
            run.width = 0;
        }
        run.x = layout.width;
        layout.width += run.width;
        layout.runs.push_back(std::move(run));
        run = TextRun{};
    };
    for (size_t index = 0; index < text.size();) {
        const size_t length = platform::Utf8SequenceLength(text, index);
        const char32_t codePoint = length == 0 ? kReplacementCharacter : DecodeSequence(text, index, length);
        TTF_Font* font = face.FaceFor(codePoint);
        if (font != run.font) {
            finishRun();
            run.font = font;
        }
        if (length == 0) {
            platform::AppendUtf8(run.text, kReplacementCharacter);
            index += 1;
        } else {
            run.text.append(text.substr(index, length));
            index += length;
        }
    }
    finishRun();
    return layout;
}

void DrawTextLayout(Framebuffer& target, Rect clip, int x, int y, const FontFace& face, const TextLayout& layout,
                    uint32_t pixel, bool antialiased) {
    const Rect area = IntersectRects(clip, target.Bounds());
    if (area.IsEmpty()) {
        return;
    }
    const SDL_Color white{255, 255, 255, 255};
    for (const TextRun& run : layout.runs) {
        SDL_Surface* glyphs = antialiased ? TTF_RenderUTF8_Blended(run.font, run.text.c_str(), white)
                                          : TTF_RenderUTF8_Solid(run.font, run.text.c_str(), white);
        if (glyphs == nullptr) {
            continue;
        }
        // Runs of different typefaces share the baseline of the main one.
        const int top = y + face.Ascent() - TTF_FontAscent(run.font);
        BlendSurface(target, area, x + run.x, top, glyphs, pixel);
        SDL_FreeSurface(glyphs);
    }
}

}  // namespace platform::ui
