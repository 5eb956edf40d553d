#include "ui/playlist_window/file_info_dialog.h"

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>

#include "engine/player.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/file_listing.h"

namespace {

constexpr const char* kTitle = "File info";
constexpr const char* kTagHeading = "Tag";
constexpr const char* kStationHeading = "Station";
const ImVec2 kFramePadding{6, 4};  // makes a one-line field 21 pixels tall, as in the file dialogs
constexpr float kFieldLeft = 72;  // from the dialog's left edge, past the longest label
constexpr float kGroupPadding = 8;
constexpr float kHeadingMargin = 3;
constexpr float kGroupGap = 10;
constexpr float kButtonWidth = 64;
constexpr float kButtonHeight = 24;

// The path in a framed box, as a read-only edit aligned to the right: when
// it is too long, its start is cut off so the file name shows.
void DrawPathBox(const std::string& path) {
    const std::string shown = platform::ui::DisplayName(path);
    const ImVec2 topLeft = ImGui::GetCursorScreenPos();
    const ImVec2 size{ImGui::GetContentRegionAvail().x, ImGui::GetFrameHeight()};
    const ImRect box(topLeft, ImVec2(topLeft.x + size.x, topLeft.y + size.y));
    ImGui::Dummy(size);
    ImGui::RenderFrame(box.Min, box.Max, ImGui::GetColorU32(ImGuiCol_FrameBg), true);
    const ImRect inside(box.Min.x + kFramePadding.x, box.Min.y, box.Max.x - kFramePadding.x, box.Max.y);
    const float textWidth = ImGui::CalcTextSize(shown.c_str()).x;
    const float textLeft = std::min(inside.Min.x, inside.Max.x - textWidth);
    ImGui::RenderTextClipped(ImVec2(textLeft, inside.Min.y), ImVec2(inside.Max.x, inside.Max.y), shown.c_str(), nullptr,
                             nullptr, ImVec2(0, 0.5f), &inside);
}

// A label and a field that shows `text` and cannot change it; it can still
// be selected and copied.
void DrawReadOnlyField(const char* label, std::string& text) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(label);
    ImGui::SameLine(kFieldLeft);
    ImGui::SetNextItemWidth(-kGroupPadding);
    ImGui::PushID(label);
    ImGui::InputText("##field", &text, ImGuiInputTextFlags_ReadOnly);
    ImGui::PopID();
}

struct LabelledText {
    const char* label;
    std::string* text;
};

// The fields in a box with the heading on its top edge.
void DrawFieldGroup(const char* headingText, std::initializer_list<LabelledText> fields) {
    const ImVec2 start = ImGui::GetCursorScreenPos();
    const float right = start.x + ImGui::GetContentRegionAvail().x;
    const float fontSize = ImGui::GetFontSize();
    ImGui::Dummy(ImVec2(0, fontSize));
    ImGui::Indent(kGroupPadding);
    for (const LabelledText& field : fields) DrawReadOnlyField(field.label, *field.text);
    ImGui::Unindent(kGroupPadding);
    const float bottom = ImGui::GetItemRectMax().y + kGroupPadding;
    ImGui::Dummy(ImVec2(0, kGroupPadding));
    ImDrawList& drawing = *ImGui::GetWindowDrawList();
    drawing.AddRect(ImVec2(start.x, start.y + fontSize / 2), ImVec2(right, bottom),
                    ImGui::GetColorU32(ImGuiCol_Border));
    // The heading interrupts the box's top edge.
    const ImVec2 heading{start.x + kGroupPadding, start.y};
    const ImVec2 headingSize = ImGui::CalcTextSize(headingText);
    drawing.AddRectFilled(ImVec2(heading.x - kHeadingMargin, heading.y),
                          ImVec2(heading.x + headingSize.x + kHeadingMargin, heading.y + headingSize.y),
                          ImGui::GetColorU32(ImGuiCol_WindowBg));
    drawing.AddText(heading, ImGui::GetColorU32(ImGuiCol_Text), headingText);
}

// The dialog: the address box, then one group of fields.
void ShowInfo(platform::ui::WindowManager& windows, const std::string& path,
              const std::function<void()>& drawGroup) {
    using namespace platform::ui;
    const auto content = [&](const std::function<void(int)>& end) {
        ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, kFramePadding);
        // Framed like edits, so the fields read as fields even when empty.
        ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1);
        DrawPathBox(path);
        ImGui::Dummy(ImVec2(0, kGroupGap));
        drawGroup();
        ImGui::SetCursorPos(ImVec2(ImGui::GetWindowContentRegionMax().x - kButtonWidth,
                                   ImGui::GetWindowContentRegionMax().y - kButtonHeight));
        if (ImGui::Button("OK", ImVec2(kButtonWidth, kButtonHeight))) end(IDOK);
        ImGui::PopStyleVar(2);
    };
    // Nothing is written back, so every way out is the same.
    RunDialog(windows, kTitle, content, IDOK, IDCANCEL);
}

}  // namespace

FileInfoTexts ReadFileInfoTexts(const std::string& path) {
    PlayerTag tag;
    if (PlayerReadFileTag(path, &tag) == 0) return {};
    // Numbers the tag does not have show as empty fields, not as 0.
    const auto number = [](int32_t value) { return value > 0 ? std::to_string(value) : std::string(); };
    return {tag.title, tag.artist, tag.album, number(tag.track), number(tag.year), tag.genreText, tag.comment};
}

void ShowFileInfo(platform::ui::WindowManager& windows, platform::ui::Window& /*owner*/, const std::string& path) {
    FileInfoTexts texts = ReadFileInfoTexts(path);
    ShowInfo(windows, path, [&texts] {
        DrawFieldGroup(kTagHeading, {{"Title", &texts.title},
                                     {"Artist", &texts.artist},
                                     {"Album", &texts.album},
                                     {"Track", &texts.track},
                                     {"Year", &texts.year},
                                     {"Genre", &texts.genre},
                                     {"Comment", &texts.comment}});
    });
}

void ShowStationInfo(platform::ui::WindowManager& windows, const std::string& address, StationInfoTexts texts) {
    ShowInfo(windows, address, [&texts] {
        DrawFieldGroup(kStationHeading, {{"Name", &texts.name}, {"Genre", &texts.genre}, {"URL", &texts.url}});
    });
}
