// The "General" page: volume steps and limits, the seek interval and the
// flags of the hardware buttons and the screen.

#include <imgui.h>
#include <imgui_internal.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <charconv>

#include "platform/ui/bitmap.h"
#include "platform/ui/dialog_host.h"
#include "platform/ui/module_resources.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"
#include "resources/tunelark_module.h"
#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"

namespace {

constexpr int32_t kMaximumPercent = 100;
constexpr int32_t kShortestSeekStep = 1;
constexpr int32_t kLongestSeekStep = 200;
constexpr float kEditWidth = 30;
// Narrower than the other fields' so that the labels fit beside three digits.
constexpr float kEditPaddingX = 4;
constexpr float kArrowGap = 1;
// Narrower than they are tall, so that the edits of the rows whose label is
// a check box ("Start Volume (0~100)") fit beside it in line with the others.
constexpr float kArrowWidth = 17;

// A number edit with its arrows, on the line of the label drawn just before.
void DrawNumberEdit(const char* id, NumberEdit& edit, ImGuiInputTextFlags flags) {
    ImGui::PushID(id);
    const ImVec2 arrowSize(kArrowWidth, ImGui::GetFrameHeight());
    // Right-aligned inside the group's frame, whatever the label's length.
    const float editsRight = ImGui::GetWindowPos().x + ImGui::GetWindowContentRegionMax().x - options::kGroupInset - 1;
    const float editsLeft = editsRight - kEditWidth - 2 * (arrowSize.x + kArrowGap);
    ImGui::SameLine();
    const ImVec2 afterLabel = ImGui::GetCursorScreenPos();
    ImGui::SetCursorScreenPos(ImVec2(std::max(editsLeft, afterLabel.x), afterLabel.y));
    ImGui::SetNextItemWidth(kEditWidth);
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(kEditPaddingX, options::kFramePadding.y));
    ImGui::InputText("##edit", &edit.text, flags | ImGuiInputTextFlags_AutoSelectAll);
    ImGui::PopStyleVar();
    ImGui::SameLine(0, kArrowGap);
    if (ImGui::ArrowButtonEx("down", ImGuiDir_Down, arrowSize)) edit.Step(-1);
    ImGui::SameLine(0, kArrowGap);
    if (ImGui::ArrowButtonEx("up", ImGuiDir_Up, arrowSize)) edit.Step(1);
    ImGui::PopID();
}

void AlignedLabel(const char* text) {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted(text);
}

}  // namespace

int32_t NumberEdit::Value() const {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end) return 0;
    return static_cast<int32_t>(value);
}

void NumberEdit::Step(int32_t direction) {
    text = std::to_string(std::clamp(Value() + direction, lowest, highest));
}

GeneralPage::GeneralPage(Settings& settings, platform::ui::WindowManager& windows)
    : volumeUpStep{std::to_string(settings.VolUpStep), 0, kMaximumPercent},
      volumeDownStep{std::to_string(settings.VolDownStep), 0, kMaximumPercent},
      startVolume{std::to_string(settings.StartVol), 0, kMaximumPercent},
      endVolume{std::to_string(settings.EndVol), 0, kMaximumPercent},
      seekStep{std::to_string(settings.SeekStep), kShortestSeekStep, kLongestSeekStep},
      useStartVolume(settings.UseStartVol),
      useEndVolume(settings.UseEndVol),
      studyMode(settings.StudyMode != 0),
      buttonHold(settings.ButtonHold),
      tapHold(settings.TapHold),
      anotherScreenToggle(settings.UseDiffScr),
      settings_(settings),
      windows_(windows),
      previousPicture_(platform::ui::LoadBitmap(TunelarkModule(), IDB_PREV_BUTTON)),
      nextPicture_(platform::ui::LoadBitmap(TunelarkModule(), IDB_NEXT_BUTTON)) {}

GeneralPage::~GeneralPage() {
    if (previousPicture_ != nullptr) platform::ui::DeleteObject(previousPicture_);
    if (nextPicture_ != nullptr) platform::ui::DeleteObject(nextPicture_);
}

// Values are stored as typed: each is clamped where it is used.
void GeneralPage::Apply() {
    settings_.UseStartVol = useStartVolume;
    settings_.UseEndVol = useEndVolume;
    settings_.StudyMode = studyMode ? 1 : 0;
    settings_.ButtonHold = buttonHold;
    settings_.TapHold = tapHold;
    settings_.UseDiffScr = anotherScreenToggle;
    settings_.VolUpStep = volumeUpStep.Value();
    settings_.VolDownStep = volumeDownStep.Value();
    settings_.StartVol = startVolume.Value();
    settings_.EndVol = endVolume.Value();
    settings_.SeekStep = seekStep.Value();
}

void GeneralPage::Draw(const RunAfterFrame& runAfterFrame) {
    DrawVolumeGroup();
    DrawEtceteraGroup(runAfterFrame);
}

void GeneralPage::DrawVolumeGroup() {
    options::GroupBox("Volume Setting", [this] {
        AlignedLabel("Vol up step (0~100)");
        DrawNumberEdit("up", volumeUpStep, ImGuiInputTextFlags_CharsDecimal);
        AlignedLabel("Vol down step (0~100)");
        DrawNumberEdit("down", volumeDownStep, ImGuiInputTextFlags_CharsDecimal);
        ImGui::Checkbox("Start Volume (0~100)", &useStartVolume);
        DrawNumberEdit("start", startVolume, ImGuiInputTextFlags_CharsDecimal);
        ImGui::Checkbox("End Volume  (0~100)", &useEndVolume);
        DrawNumberEdit("end", endVolume, ImGuiInputTextFlags_CharsDecimal);
    });
}

void GeneralPage::DrawEtceteraGroup(const RunAfterFrame& runAfterFrame) {
    options::GroupBox("etc..", [&] {
        AlignedLabel("Rew/FF interval (1 to 200)");
        DrawNumberEdit("seek", seekStep, 0);
        DrawStudyMode();
        ImGui::Checkbox("Button Hold", &buttonHold);
        ImGui::SameLine();
        ImGui::Checkbox("Tap Hold", &tapHold);
        if (ImGui::Checkbox("Another Screen toggle Method", &anotherScreenToggle) && anotherScreenToggle) {
            runAfterFrame([this] {
                platform::ui::MessageBox(windows_, LoadPlayerString(IDS_SCREEN_TOGGLE_WARNING), "Warning",
                                         platform::ui::MB_OK);
            });
        }
    });
}

// The pictures and the text beside the check box click it too.
void GeneralPage::DrawStudyMode() {
    ImGui::Checkbox("##study", &studyMode);
    const float rowTop = ImGui::GetItemRectMin().y;
    const float rowHeight = ImGui::GetItemRectSize().y;
    // Each picture centred on the check box's row, the two side by side.
    const auto picture = [&](const char* id, platform::ui::HBITMAP bitmap, float gap) {
        ImGui::SameLine(0, gap);
        const float pictureHeight = bitmap != nullptr ? static_cast<float>(bitmap->Height()) : 0;
        ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x, rowTop + (rowHeight - pictureHeight) / 2));
        return options::Picture(id, bitmap);
    };
    bool tapped = picture("previous", previousPicture_, ImGui::GetStyle().ItemInnerSpacing.x);
    tapped |= picture("next", nextPicture_, 0);
    ImGui::SameLine(0, 0);
    ImGui::SetCursorScreenPos(ImVec2(ImGui::GetCursorScreenPos().x, rowTop));
    ImGui::AlignTextToFramePadding();
    tapped |= ImGui::Selectable(" buttons to Rew/FF", false, ImGuiSelectableFlags_None,
                                ImVec2(ImGui::CalcTextSize(" buttons to Rew/FF").x, 0));
    if (tapped) studyMode = !studyMode;
}
