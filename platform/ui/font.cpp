#include "platform/ui/font.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include "platform/ui/font_face.h"

namespace platform::ui {
namespace {

// Point sizes tried when fitting a cell: a cell is never less than the
// point size, so twice the height and a margin bound the search.
int PointSizeLimit(int cellHeight) { return cellHeight * 2 + 4; }

// Sets `font` to the largest point size whose cell fits in `cellHeight`.
void FitCellHeight(TTF_Font* font, int cellHeight) {
    int best = 1;
    for (int pointSize = 1; pointSize <= PointSizeLimit(cellHeight); ++pointSize) {
        if (TTF_SetFontSize(font, pointSize) != 0 || TTF_FontHeight(font) > cellHeight) {
            break;
        }
        best = pointSize;
    }
    TTF_SetFontSize(font, best);
}

bool InitializeTtf() {
    static const bool initialized = TTF_Init() == 0;
    return initialized;
}

class FontCache {
public:
    std::shared_ptr<const FontFace> Get(int cellHeight, bool bold) {
        std::lock_guard lock(mutex_);
        const auto key = std::make_pair(cellHeight, bold);
        if (auto found = faces_.find(key); found != faces_.end()) {
            return found->second;
        }
        if (!InitializeTtf()) {
            return nullptr;
        }
        std::shared_ptr<const FontFace> face = FontFace::Open(cellHeight, bold);
        if (face != nullptr) {
            faces_.emplace(key, face);
        }
        return face;
    }

    size_t Size() {
        std::lock_guard lock(mutex_);
        return faces_.size();
    }

private:
    std::mutex mutex_;
    // Guarded by mutex_. Kept for the life of the process.
    std::map<std::pair<int, bool>, std::shared_ptr<const FontFace>> faces_;
};

FontCache& Cache() {
    static FontCache cache;
    return cache;
}

}  // namespace

std::unique_ptr<FontFace> FontFace::Open(int cellHeight, bool bold) {
    std::unique_ptr<FontFace> face(new FontFace());
    face->cellHeight_ = cellHeight;
    face->primary_ = TTF_OpenFont(bold ? kBoldFontPath : kRegularFontPath, cellHeight);
    if (face->primary_ == nullptr) {
        return nullptr;
    }
    FitCellHeight(face->primary_, cellHeight);
    face->ascent_ = TTF_FontAscent(face->primary_);
    face->fallback_ = TTF_OpenFontIndex(kFallbackFontPath, cellHeight, 0);
    if (face->fallback_ != nullptr) {
        FitCellHeight(face->fallback_, cellHeight);
        if (bold) {
            // The fallback has no bold cut; SDL_ttf emboldens it.
            TTF_SetFontStyle(face->fallback_, TTF_STYLE_BOLD);
        }
    }
    return face;
}

FontFace::~FontFace() {
    if (fallback_ != nullptr) {
        TTF_CloseFont(fallback_);
    }
    if (primary_ != nullptr) {
        TTF_CloseFont(primary_);
    }
}

TTF_Font* FontFace::FaceFor(char32_t codePoint) const {
    if (fallback_ != nullptr && !TTF_GlyphIsProvided32(primary_, codePoint) &&
        TTF_GlyphIsProvided32(fallback_, codePoint)) {
        return fallback_;
    }
    return primary_;
}

int Font::CellHeight() const { return face_ != nullptr ? face_->CellHeight() : 0; }

std::unique_ptr<Font> CreateFontFromLogFont(const LOGFONT& logFont) {
    // |lfHeight| without overflow: anything beyond the limit is refused.
    const int64_t height = std::llabs(static_cast<int64_t>(logFont.lfHeight));
    if (height > kMaximumCellHeight) {
        return nullptr;
    }
    const int cellHeight = height == 0 ? kDefaultCellHeight : static_cast<int>(height);
    const bool bold = logFont.lfWeight >= FW_SEMIBOLD;
    std::shared_ptr<const FontFace> face = Cache().Get(cellHeight, bold);
    if (face == nullptr) {
        return nullptr;
    }
    return std::make_unique<Font>(logFont, std::move(face), logFont.lfQuality != NONANTIALIASED_QUALITY);
}

Font* StockFont() {
    static const std::unique_ptr<Font> stock = CreateFontFromLogFont(LOGFONT{.lfHeight = kDefaultCellHeight});
    return stock.get();
}

size_t CachedFontFaceCount() { return Cache().Size(); }

}  // namespace platform::ui
