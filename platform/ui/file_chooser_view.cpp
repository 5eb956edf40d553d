#include "platform/ui/file_chooser_view.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>

#include "platform/ui/dialog_host.h"

namespace platform::ui {
namespace {

// Rows and buttons big enough to hit with a stylus on the 240 x 320 screen.
constexpr float kRowHeight = 20;
const ImVec2 kFramePadding{6, 4};  // makes a one-line control 21 pixels tall
constexpr float kUpButtonWidth = 44;
constexpr float kButtonWidth = 64;
constexpr float kButtonHeight = 24;
constexpr float kScrollbarWidth = 16;
const ImVec2 kListPadding{2, 2};
constexpr float kTextIndent = 4;
constexpr float kTickBoxSize = 11;
// The navigation bar's blue marks folders, ticks and the keyboard highlight.
constexpr ImU32 kAccentColor = IM_COL32(0x1F, 0x3A, 0x5F, 0xFF);
constexpr const char* kEllipsis = "\xE2\x80\xA6";

bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// The end of `text` that fits `width`, led by an ellipsis when cut: the
// deepest folders of a path matter most.
std::string TailThatFits(const std::string& text, float width) {
    if (ImGui::CalcTextSize(text.c_str()).x <= width) return text;
    for (size_t start = 1; start < text.size(); ++start) {
        if (IsContinuationByte(text[start])) continue;
        const std::string tail = kEllipsis + text.substr(start);
        if (ImGui::CalcTextSize(tail.c_str()).x <= width) return tail;
    }
    return kEllipsis;
}

void DrawTickBox(ImDrawList& drawing, ImVec2 rowMin, bool ticked) {
    const ImVec2 corner{rowMin.x + kTextIndent, rowMin.y + (kRowHeight - kTickBoxSize) / 2};
    const ImVec2 opposite{corner.x + kTickBoxSize, corner.y + kTickBoxSize};
    drawing.AddRectFilled(corner, opposite, ImGui::GetColorU32(ImGuiCol_FrameBg));
    drawing.AddRect(corner, opposite, ImGui::GetColorU32(ImGuiCol_Border));
    if (ticked) ImGui::RenderCheckMark(&drawing, ImVec2(corner.x + 2, corner.y + 2), kAccentColor, kTickBoxSize - 4);
}

}  // namespace

void FileChooserView::Draw(const std::function<void(int)>& end) {
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, kFramePadding);
    ImGui::PushStyleVar(ImGuiStyleVar_SelectableTextAlign, ImVec2(0, 0.5f));
    const float spacing = ImGui::GetStyle().ItemSpacing.y;
    const float fieldsBelow = chooser_.Mode() == ChooserMode::Save ? 2 : 1;
    DrawLocation();
    // The list takes what the fields and the buttons under it leave.
    const float below = fieldsBelow * (ImGui::GetFrameHeight() + spacing) + kButtonHeight + spacing;
    DrawList(ImGui::GetContentRegionAvail().y - below, end);
    if (chooser_.Mode() == ChooserMode::Save) DrawNameField();
    DrawFilter();
    DrawButtons(end);
    ImGui::PopStyleVar(2);
}

void FileChooserView::DrawLocation() {
    const float textWidth = ImGui::GetContentRegionAvail().x - kUpButtonWidth - ImGui::GetStyle().ItemSpacing.x;
    ImGui::AlignTextToFramePadding();
    const std::string location = DisplayName(chooser_.Directory());
    NoteDialogText(location);
    ImGui::TextUnformatted(TailThatFits(location, textWidth).c_str());
    ImGui::SameLine(ImGui::GetWindowContentRegionMax().x - kUpButtonWidth);
    ImGui::BeginDisabled(chooser_.AtTop());
    if (ImGui::Button("Up", ImVec2(kUpButtonWidth, 0))) {
        chooser_.GoUp();
        scrollToHighlight_ = true;
    }
    ImGui::EndDisabled();
}

void FileChooserView::PlaceListScroll() {
    float scroll = -1;
    if (chooser_.ListingCount() != shownListing_) {
        shownListing_ = chooser_.ListingCount();
        scroll = listScroll_ = 0;
    }
    const size_t highlight = chooser_.Highlight();
    if (scrollToHighlight_ && highlight != FileChooser::kNoRow) {
        const float top = static_cast<float>(highlight) * kRowHeight;
        if (top < listScroll_) scroll = top;
        if (top + kRowHeight > listScroll_ + listInnerHeight_) scroll = top + kRowHeight - listInnerHeight_;
    }
    scrollToHighlight_ = false;
    if (scroll >= 0) ImGui::SetNextWindowScroll(ImVec2(-1, scroll));
}

void FileChooserView::DrawList(float height, const std::function<void(int)>& end) {
    PlaceListScroll();
    ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, kListPadding);
    ImGui::PushStyleVar(ImGuiStyleVar_ScrollbarSize, kScrollbarWidth);
    ImGui::BeginChild("entries", ImVec2(0, height), true);
    ImGui::PushStyleVar(ImGuiStyleVar_ItemSpacing, ImVec2(0, 0));
    size_t tapped = FileChooser::kNoRow;
    bool doubleTap = false;
    ImGuiListClipper clipper;
    clipper.Begin(static_cast<int>(chooser_.Entries().size()), kRowHeight);
    while (clipper.Step()) {
        for (int row = clipper.DisplayStart; row < clipper.DisplayEnd; ++row) {
            if (!DrawRow(static_cast<size_t>(row))) continue;
            tapped = static_cast<size_t>(row);
            doubleTap = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
        }
    }
    if (chooser_.Entries().empty()) ImGui::TextDisabled("(empty)");
    ImGui::PopStyleVar();
    listScroll_ = ImGui::GetScrollY();
    listInnerHeight_ = ImGui::GetWindowHeight() - 2 * kListPadding.y;
    visibleRows_ = std::max<std::ptrdiff_t>(1, static_cast<std::ptrdiff_t>(listInnerHeight_ / kRowHeight));
    ImGui::EndChild();
    ImGui::PopStyleVar(2);
    // Applied after the list is drawn: a tap on a folder replaces the entries.
    if (tapped != FileChooser::kNoRow && chooser_.Tap(tapped, doubleTap)) end(IDOK);
}

// A row is a selectable the width of the list with the name drawn over it,
// so that no name, whatever bytes it holds, is read as an ImGui label.
bool FileChooserView::DrawRow(size_t row) {
    const DirectoryEntry& entry = chooser_.Entries()[row];
    ImGui::PushID(static_cast<int>(row));
    const bool pressed = ImGui::Selectable("##row", chooser_.IsChosen(row), ImGuiSelectableFlags_AllowDoubleClick,
                                           ImVec2(0, kRowHeight));
    ImGui::PopID();
    const ImVec2 rowMin = ImGui::GetItemRectMin();
    ImDrawList& drawing = *ImGui::GetWindowDrawList();
    float textLeft = rowMin.x + kTextIndent;
    if (chooser_.Mode() == ChooserMode::OpenMany && !entry.isDirectory) {
        DrawTickBox(drawing, rowMin, chooser_.IsChosen(row));
        textLeft += kTickBoxSize + kTextIndent;
    }
    const std::string label = DisplayName(entry.name) + (entry.isDirectory ? "/" : "");
    NoteDialogText(label);
    const ImVec2 rowMax = ImGui::GetItemRectMax();
    const float textTop = rowMin.y + (kRowHeight - ImGui::GetFontSize()) / 2;
    const float textRight = rowMax.x - kTextIndent;
    if (entry.isDirectory) ImGui::PushStyleColor(ImGuiCol_Text, kAccentColor);
    ImGui::RenderTextEllipsis(&drawing, ImVec2(textLeft, textTop), ImVec2(textRight, rowMax.y), textRight, textRight,
                              label.c_str(), nullptr, nullptr);
    if (entry.isDirectory) ImGui::PopStyleColor();
    if (row == chooser_.Highlight()) drawing.AddRect(rowMin, rowMax, kAccentColor);
    return pressed;
}

void FileChooserView::DrawNameField() {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Name:");
    ImGui::SameLine();
    ImGui::SetNextItemWidth(-FLT_MIN);
    // ImGui edits its own copy while the field is active: a name filled in
    // from the list restarts the editing with it, the caret after it.
    if (chooser_.Name() != shownName_) {
        caretToEnd_ = true;
        if (ImGui::GetActiveID() == ImGui::GetID("##name")) ImGui::ClearActiveID();
    }
    // The keyboard goes back to the field whenever nothing else is in use,
    // so typing always names the file. Not while the stylus is down: the
    // request, which takes effect in the next frame, would take the tap from
    // what it hit; and not twice in a row for the same reason.
    const int frame = ImGui::GetFrameCount();
    if (ImGui::GetActiveID() == 0 && !ImGui::IsMouseDown(ImGuiMouseButton_Left) &&
        !ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId) && focusAskedInFrame_ != frame - 1) {
        ImGui::SetKeyboardFocusHere();
        focusAskedInFrame_ = frame;
    }
    const auto placeCaret = [](ImGuiInputTextCallbackData* data) {
        auto& view = *static_cast<FileChooserView*>(data->UserData);
        if (view.caretToEnd_) data->CursorPos = data->SelectionStart = data->SelectionEnd = data->BufTextLen;
        view.caretToEnd_ = false;
        return 0;
    };
    if (ImGui::InputText("##name", &chooser_.Name(), ImGuiInputTextFlags_CallbackAlways, placeCaret, this)) {
        chooser_.ForgetHighlight();
    }
    shownName_ = chooser_.Name();
}

void FileChooserView::DrawFilter() {
    const std::vector<FileFilter>& filters = chooser_.Filters();
    ImGui::SetNextItemWidth(-FLT_MIN);
    if (!ImGui::BeginCombo("##filter", filters[static_cast<size_t>(chooser_.FilterIndex() - 1)].description.c_str())) {
        return;
    }
    for (size_t index = 0; index < filters.size(); ++index) {
        const int filterIndex = static_cast<int>(index) + 1;
        if (ImGui::Selectable(filters[index].description.c_str(), filterIndex == chooser_.FilterIndex(), 0,
                              ImVec2(0, kRowHeight))) {
            chooser_.ChooseFilter(filterIndex);
        }
    }
    ImGui::EndCombo();
}

void FileChooserView::DrawButtons(const std::function<void(int)>& end) {
    const ImVec2 size{kButtonWidth, kButtonHeight};
    ImGui::SetCursorPosX(ImGui::GetWindowContentRegionMax().x - 2 * kButtonWidth - ImGui::GetStyle().ItemSpacing.x);
    ImGui::BeginDisabled(!chooser_.HasChoice());
    if (ImGui::Button("OK", size)) end(IDOK);
    ImGui::EndDisabled();
    ImGui::SameLine();
    if (ImGui::Button("Cancel", size)) end(IDCANCEL);
}

void FileChooserView::MoveHighlight(std::ptrdiff_t rows) {
    chooser_.MoveHighlight(rows);
    scrollToHighlight_ = true;
}

bool FileChooserView::HandleKey(uint32_t virtualKey) {
    // Keys that edit text belong to the name field while it has the keyboard.
    const bool typing = ImGui::GetIO().WantTextInput;
    if (typing && (virtualKey == VK_HOME || virtualKey == VK_END)) return false;
    const auto everyRow = static_cast<std::ptrdiff_t>(chooser_.Entries().size());
    if (const std::optional<std::ptrdiff_t> rows = ListMoveForKey(virtualKey, visibleRows_, everyRow)) {
        MoveHighlight(*rows);
        return true;
    }
    switch (virtualKey) {
        case VK_SPACE:
            if (typing) return false;
            chooser_.ToggleHighlighted();
            return true;
        case VK_BACK:
            if (typing) return false;
            chooser_.GoUp();
            scrollToHighlight_ = true;
            return true;
        case VK_RETURN:
            if (chooser_.OpenHighlightedFolder()) return true;
            return !chooser_.ChooseForConfirm();
        default:
            return false;
    }
}

}  // namespace platform::ui
