#include "ui/skin/skin_text.h"

#include "ui/skin/skin.h"

using namespace platform::ui;

namespace {

HFONT CreateSkinFont(int fontHeight) {
    LOGFONT logFont;
    logFont.lfHeight = fontHeight;
    logFont.lfCharSet = JOHAB_CHARSET;
    return CreateFontIndirect(&logFont);
}

}  // namespace

int SkinTextWidth(HDC target, int fontHeight, std::string_view text) {
    HFONT font = CreateSkinFont(fontHeight);
    HFONT previousFont = SelectObject(target, font);
    SIZE size{};
    const bool measured = GetTextExtentPoint32(target, text, &size);
    if (previousFont != nullptr) SelectObject(target, previousFont);
    DeleteObject(font);
    return measured ? size.cx : 0;
}

bool DrawSkinText(HDC target, const SkinTextBox& box, int fontHeight, COLORREF textColor, COLORREF backgroundColor,
                  std::string_view text) {
    RECT rect{box.left + box.boxDx, box.top + box.boxDy, 0, 0};
    rect.right = rect.left + box.width;
    rect.bottom = rect.top + box.height;

    HFONT font = CreateSkinFont(fontHeight);
    HFONT previousFont = SelectObject(target, font);
    COLORREF previousText = SetTextColor(target, textColor);
    COLORREF previousBackground = SetBkColor(target, backgroundColor);

    bool written = ExtTextOut(target, box.left + box.textDx, box.top + box.textDy, ETO_OPAQUE | ETO_CLIPPED, &rect, text);

    SetTextColor(target, previousText);
    SetBkColor(target, previousBackground);
    if (previousFont != nullptr) {
        SelectObject(target, previousFont);
    }
    DeleteObject(font);
    return written;
}

PlaylistRow PlaylistRowOf(bool current, bool selected) {
    if (current) {
        return selected ? PlaylistRow::CurrentSelected : PlaylistRow::Current;
    }
    return selected ? PlaylistRow::Selected : PlaylistRow::Ordinary;
}

bool DrawPlaylistText(HDC target, const SkinTextBox& box, int fontHeight, PlaylistRow row, std::string_view text) {
    bool current = row == PlaylistRow::Current || row == PlaylistRow::CurrentSelected;
    bool selected = row == PlaylistRow::Selected || row == PlaylistRow::CurrentSelected;
    return DrawSkinText(target, box, fontHeight, current ? g_skin.CurrentColor : g_skin.NormalColor,
                        selected ? g_skin.SelectedBgColor : g_skin.NormalBgColor, text);
}
