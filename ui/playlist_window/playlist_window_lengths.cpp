// The rows' lengths and the bar's total time. A reader thread opens the
// files; this side only asks it, takes what it read and draws.

#include "ui/playlist_window/playlist_window.h"

#include <unordered_set>

#include "platform/path_text.h"
#include "playlist/length_reader.h"
#include "playlist/length_text.h"
#include "playlist/playlist.h"
#include "playlist/tag_cache_file.h"
#include "ui/shell/application.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_text.h"

using namespace platform::ui;

namespace {

// The total time's box in the bar's right piece, from the piece's corner:
// in skins, the text area above the mini buttons (skin pixels, scaled); in
// the base skin, the well its art leaves for it (screen pixels).
constexpr SkinTextBox kTotalBox{7, 9, 86, 11};
constexpr int kBottomRightShift = -2;  // as the bar's right piece is drawn
constexpr SkinTextBox kBaseTotalBox{26, 7, 62, 15};
constexpr int kTotalFontHeight = 9;

}  // namespace

PlaylistWindow::~PlaylistWindow() = default;

bool PlaylistWindow::OnOtherMessage(uint32_t message, WPARAM, LPARAM) {
    if (message != WM_PLAYLIST_LENGTHS || lengthReader_ == nullptr) return false;
    for (auto& [path, length] : lengthReader_->TakeLengths()) lengths_.insert_or_assign(std::move(path), length);
    listTotal_.reset();
    RepaintRows();
    RedrawBar();
    return true;
}

int64_t PlaylistWindow::LengthOf(int32_t index) const {
    const Playlist& list = application_.GetPlaylist();
    const auto found = lengths_.find(list.Entries()[static_cast<size_t>(index)].Path);
    return found != lengths_.end() ? found->second : kLengthNotRead;
}

std::string PlaylistWindow::LengthTextOf(int32_t index) const {
    const int64_t length = LengthOf(index);
    return length >= 0 ? LengthText(length) : std::string();
}

std::string PlaylistWindow::TotalTimeText() {
    const Playlist& list = application_.GetPlaylist();
    if (!listTotal_ || listTotal_->first != list.Count()) {
        LengthTotal whole;
        for (int32_t index = 0; index < list.Count(); ++index) whole.Add(LengthOf(index));
        listTotal_.emplace(list.Count(), whole);
    }
    LengthTotal selected;
    for (int32_t index = 0; index < list.Count(); ++index) {
        if (list.IsSelected(index)) selected.Add(LengthOf(index));
    }
    return TotalsText(selected, listTotal_->second);
}

void PlaylistWindow::AskLengths() {
    const Playlist& list = application_.GetPlaylist();
    if (lengthReader_ == nullptr) return;
    const bool listChanged = list.Count() != askedCount_;
    if (!listChanged && (!lengthsMissing_ || firstRow_ == askedFirstRow_)) return;
    askedCount_ = list.Count();
    askedFirstRow_ = firstRow_;
    // The shown rows first, then (for a changed list) the rest from the top;
    // streams have none.
    std::vector<std::string> paths;
    std::unordered_set<std::string_view> taken;
    const auto ask = [&](int32_t index) {
        const std::string& path = list.Entries()[static_cast<size_t>(index)].Path;
        if (lengths_.contains(path) || platform::IsNetworkLocation(path) || !taken.insert(path).second) return;
        paths.push_back(path);
    };
    const int32_t shownEnd = std::min(list.Count(), firstRow_ + Geometry().DrawnRows());
    for (int32_t index = firstRow_; index < shownEnd; ++index) ask(index);
    if (!listChanged) {
        // Scrolled while lengths are still read: what shows now goes first.
        if (!paths.empty()) lengthReader_->ReadFirst(paths);
        return;
    }
    for (int32_t index = 0; index < list.Count(); ++index) ask(index);
    lengthsMissing_ = !paths.empty();
    lengthReader_->Request(std::move(paths));
}

void PlaylistWindow::DrawTotalTime(HDC target, const PlaylistGeometry& geometry) {
    SkinTextBox box;
    if (g_skin.IsBaseSkin) {
        box = kBaseTotalBox;
        box.left += geometry.width - kBaseBarRightWidth;
        box.top += geometry.height - kBaseBarHeight;
    } else {
        const int pieceLeft = geometry.width - geometry.Scaled(kBottomRightWidth) + kBottomRightShift;
        const int pieceTop = geometry.height - geometry.Scaled(kBottomBarHeight);
        box = {pieceLeft + geometry.Scaled(kTotalBox.left), pieceTop + geometry.Scaled(kTotalBox.top),
               geometry.Scaled(kTotalBox.width), geometry.Scaled(kTotalBox.height)};
    }
    // The text centred in the box's height, a pixel in from its left.
    box.textDx = 1;
    box.textDy = (box.height - kTotalFontHeight) / 2;
    DrawPlaylistText(target, box, kTotalFontHeight, PlaylistRow::Ordinary, TotalTimeText());
}
