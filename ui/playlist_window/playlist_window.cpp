// The playlist window's life, its messages and what it draws.

#include "ui/playlist_window/playlist_window.h"

#include <algorithm>

#include "platform/ui/window_manager.h"
#include "playlist/display_title.h"
#include "playlist/length_reader.h"
#include "playlist/list_file.h"
#include "platform/path_text.h"
#include "playlist/playlist.h"
#include "playlist/tag_cache.h"
#include "ui/shell/application.h"
#include "ui/skin/skin.h"
#include "ui/skin/skin_text.h"

using namespace platform::ui;

namespace {

// The skin, made for a 275-pixel window, is drawn at 87 %; the base skin's
// own bottom bar at its full size.
constexpr int kPlaylistScale = 87;
constexpr int kBaseBarScale = 100;

constexpr int kRowLeft = 10;
constexpr int kRowWidth = 213;
// Between a row's title and its length.
constexpr int kLengthGap = 4;
constexpr int kLeftBorderWidth = 10;
constexpr int kRightBorderWidth = 17;
constexpr int kBorderTileHeight = 29;
constexpr int kTopBarExtraWidth = 2;

}  // namespace

PlaylistWindow::PlaylistWindow(Application& application)
    : SkinnedWindow(kPlaylistWindowClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), application_(application) {}

Playlist& PlaylistWindow::List() { return application_.GetPlaylist(); }

PlaylistGeometry PlaylistWindow::Geometry() const {
    const Rect area = ScreenRect();
    return PlaylistGeometry(area.Width(), area.Height(), kPlaylistScale);
}

void PlaylistWindow::OnCreate() {
    g_skin.Scale = kPlaylistScale;
    keepDefaultList_ = LoadDefaultList(List()) == DefaultListLoad::Kept;
    lengthReader_ = std::make_unique<LengthReader>(DefaultTagCachePath(), *this, WM_PLAYLIST_LENGTHS);
}

void PlaylistWindow::OnDestroy() {
    lengthReader_.reset();
    if (!keepDefaultList_) SaveDefaultList(List());
}

void PlaylistWindow::PaintAll() { RepaintList(); }

void PlaylistWindow::PaintFrame(HDC target) {
    const PlaylistGeometry geometry = Geometry();
    DrawPlaylistTopBar(target, 0, 0, kTopBarExtraWidth);
    // Border tiles down both sides, the last one cut to what is left.
    const int tile = geometry.Scaled(kBorderTileHeight);
    if (tile > 0) {
        for (int y = geometry.rowsTop; y < geometry.listBottom; y += tile) {
            const int bottom = std::min(y + tile, geometry.listBottom);
            DrawPlaylistLeftBorder(target, RECT{0, y, kLeftBorderWidth, bottom});
            DrawPlaylistRightBorder(target, RECT{geometry.width - kRightBorderWidth, y, geometry.width, bottom});
        }
    }
    DrawPlaylistScrollThumb(target, geometry.ScrollThumbX(), geometry.ScrollThumbY(scrollPercent_),
                            ButtonState::Normal);
}

// The bottom bar with the buttons of every open group.
void PlaylistWindow::PaintBar(HDC target) {
    const PlaylistGeometry geometry = Geometry();
    if (g_skin.IsBaseSkin) {
        g_skin.Scale = kBaseBarScale;
        DrawPlaylistBottomLeft(target, 0, geometry.height - kBaseBarHeight);
        DrawPlaylistBottomRight(target, geometry.width - kBaseBarRightWidth, geometry.height - kBaseBarHeight);
    } else {
        const int y = geometry.height - geometry.Scaled(kBottomBarHeight);
        DrawPlaylistBottomLeft(target, 0, y);
        DrawPlaylistBottomRight(target, geometry.width - geometry.Scaled(kBottomRightWidth), y, {-2, 0, 2, 0});
    }
    DrawTotalTime(target, geometry);
    for (PlaylistGroup group :
         {PlaylistGroup::Add, PlaylistGroup::Remove, PlaylistGroup::Sel, PlaylistGroup::Misc, PlaylistGroup::List}) {
        if (!GroupOpen(group)) continue;
        for (int level = 0; level < PlaylistGroupButtonCount(group); ++level) {
            const ButtonPlace place = GroupButtonPlace(geometry, {group, level}, g_skin.IsBaseSkin);
            DrawPlaylistGroupButton(target, group, level, place.x, place.y, ButtonState::Normal);
        }
    }
    g_skin.Scale = kPlaylistScale;
}

void PlaylistWindow::RedrawBar() {
    if (HDC target = Drawing(kPlaylistScale)) PaintBar(target);
}

void PlaylistWindow::DrawGroupButton(GroupButton button, bool pressed) {
    HDC target = Drawing(g_skin.IsBaseSkin ? kBaseBarScale : kPlaylistScale);
    if (target == nullptr) return;
    const ButtonPlace place = GroupButtonPlace(Geometry(), button, g_skin.IsBaseSkin);
    DrawPlaylistGroupButton(target, button.group, button.level, place.x, place.y,
                            pressed ? ButtonState::Pressed : ButtonState::Normal);
    g_skin.Scale = kPlaylistScale;
}

namespace {

// Two entries of one stream may carry different titles from their lists.
std::string TitleKey(const PlaylistEntry& entry) {
    return entry.Title.empty() ? entry.Path : entry.Path + '\n' + entry.Title;
}

}  // namespace

const std::string& PlaylistWindow::TitleOf(const PlaylistEntry& entry) {
    const std::string key = TitleKey(entry);
    auto found = titles_.find(key);
    if (found == titles_.end()) found = titles_.emplace(key, EntryTitle(entry)).first;
    return found->second;
}

std::string PlaylistWindow::KnownTitleOf(const PlaylistEntry& entry) const {
    const auto found = titles_.find(TitleKey(entry));
    if (found != titles_.end()) return found->second;
    return entry.Title.empty() ? std::string(platform::FileNamePart(entry.Path)) : entry.Title;
}

void PlaylistWindow::DrawRow(HDC target, const PlaylistGeometry& geometry, int visibleRow) {
    const int top = geometry.rowsTop + visibleRow * kPlaylistRowHeight;
    const int height = visibleRow < geometry.wholeRows ? kPlaylistRowHeight : geometry.partialRowHeight;
    if (height <= 0) return;
    Playlist& list = List();
    const int32_t index = firstRow_ + visibleRow;
    std::string text;
    std::string length;
    PlaylistRow state = PlaylistRow::Ordinary;
    if (index >= 0 && index < list.Count()) {
        text = std::to_string(index + 1) + ". " + TitleOf(list.Entries()[static_cast<size_t>(index)]);
        length = LengthTextOf(index);
        state = PlaylistRowOf(index == list.CurrentIndex && list.ShowCurrent, list.IsSelected(index));
    }
    // The length sits right-aligned; the title's box ends before it.
    const int lengthWidth = length.empty() ? 0 : SkinTextWidth(target, kPlaylistRowHeight, length) + kLengthGap;
    const int titleWidth = kRowWidth - lengthWidth;
    DrawPlaylistText(target, SkinTextBox{kRowLeft, top, titleWidth, height}, kPlaylistRowHeight, state, text);
    if (lengthWidth > 0) {
        DrawPlaylistText(target, SkinTextBox{kRowLeft + titleWidth, top, lengthWidth, height, kLengthGap},
                         kPlaylistRowHeight, state, length);
    }
}

void PlaylistWindow::RepaintRow(int32_t index) {
    const PlaylistGeometry geometry = Geometry();
    const int visibleRow = index - firstRow_;
    if (visibleRow < 0 || visibleRow >= geometry.DrawnRows()) return;
    HDC target = Drawing(kPlaylistScale);
    if (target == nullptr) return;
    DrawRow(target, geometry, visibleRow);
    DrawTotalTime(target, geometry);  // the selection's part may have changed
}

void PlaylistWindow::RepaintRows() {
    HDC target = Drawing(kPlaylistScale);
    if (target == nullptr) return;
    const PlaylistGeometry geometry = Geometry();
    for (int row = 0; row < geometry.DrawnRows(); ++row) DrawRow(target, geometry, row);
    DrawTotalTime(target, geometry);
}

void PlaylistWindow::RepaintList() {
    HDC target = Drawing(kPlaylistScale);
    if (target == nullptr) return;
    PaintFrame(target);
    PaintBar(target);
    const PlaylistGeometry geometry = Geometry();
    for (int row = 0; row < geometry.DrawnRows(); ++row) DrawRow(target, geometry, row);
    // Once the rows show, the lengths they lack are read.
    AskLengths();
}

void PlaylistWindow::SetFirstVisibleRow(int32_t row) {
    firstRow_ = std::max(row, 0);
    // The thumb follows the rows.
    const PlaylistGeometry geometry = Geometry();
    const int32_t hidden = List().Count() - geometry.DrawnRows() + (geometry.PartialRowShows() ? 1 : 0);
    scrollPercent_ = hidden > 0 ? std::clamp(static_cast<int>(int64_t{firstRow_} * 100 / hidden), 0, 100) : 0;
    RepaintList();
}

void PlaylistWindow::EnsureCurrentVisible(bool afterPrev) {
    const Playlist& list = List();
    const std::optional<int32_t> first =
        FirstRowShowingCurrent(Geometry(), list.CurrentIndex, firstRow_, list.Count(), afterPrev);
    if (first.has_value()) SetFirstVisibleRow(*first);
}
