// The "Buttons" page: which function each hardware key runs. Keys pressed
// while the page is shown are mapped to the function chosen in the list.

#include <imgui.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"

namespace {

constexpr float kKeyColumnWidth = 80;
constexpr float kClearAllWidth = 80;

const std::vector<std::string>& ChoiceNames() {
    static const std::vector<std::string> names{
        "<Preview>", "Play",          "Play / Pause",  "Stop",           "Pause", "Prev",    "Next",     "Rew",
        "FF",        "Volume Up",     "Volume Down",   "Screen Toggle",  "Multi Function", "Exit", "<Un-Map>"};
    return names;
}

// The order keys are written in on apply, as indexes of kHardwareKeys: the
// media keys, the application buttons, then the navigation pad.
constexpr size_t kApplyOrder[] = {10, 11, 12, 13, 5, 6, 7, 8, 9, 0, 1, 2, 3, 4};
static_assert(std::size(kApplyOrder) == kHardwareKeys.size());

}  // namespace

ButtonsPage::ButtonsPage(Settings& settings) : unmapInBackground(settings.UnMap != 0), settings_(settings) {
    for (const HardwareKey& key : kHardwareKeys) {
        // Codes outside the table do nothing, so they show as no row.
        if (const ButtonFunction* function = FindButtonFunction(settings.*key.mapping)) {
            rows.push_back({&key, function});
        }
    }
}

std::vector<ButtonsPage::Row>::iterator ButtonsPage::RowOf(const HardwareKey* key) {
    return std::find_if(rows.begin(), rows.end(), [key](const Row& row) { return row.key == key; });
}

bool ButtonsPage::HandleKey(uint32_t virtualKey) {
    const HardwareKey* key = FindHardwareKey(virtualKey);
    if (key == nullptr) return false;
    if (choice == kPreviewChoice) return true;
    const auto row = RowOf(key);
    if (choice == kUnmapChoice) {
        if (row != rows.end()) rows.erase(row);
    } else if (const ButtonFunction* function = FindButtonFunctionByName(ChoiceNames()[static_cast<size_t>(choice)])) {
        if (row != rows.end()) {
            row->function = function;
        } else {
            rows.push_back({key, function});
        }
    }
    choice = kPreviewChoice;
    selectedRow_ = -1;
    return true;
}

void ButtonsPage::Apply() {
    settings_.UnMap = unmapInBackground ? 1 : 0;
    for (const size_t index : kApplyOrder) {
        const HardwareKey* key = &kHardwareKeys[index];
        const auto row = RowOf(key);
        settings_.*key->mapping = row != rows.end() ? row->function->mappingCode : 0;
    }
}

void ButtonsPage::Draw(const RunAfterFrame& /*runAfterFrame*/) {
    DrawChoices();
    const ImGuiStyle& style = ImGui::GetStyle();
    // The check box's label takes two lines.
    const float belowList = 2 * (ImGui::GetFrameHeight() + style.ItemSpacing.y) + ImGui::GetTextLineHeight();
    DrawRows(ImGui::GetContentRegionAvail().y - belowList);
    options::WrappedCheckbox("Un-map buttons during background play", unmapInBackground);
    if (ImGui::Button("Clear All", ImVec2(kClearAllWidth, 0))) ClearAll();
}

void ButtonsPage::DrawChoices() {
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("1. Select Function");
    ImGui::SameLine();
    options::DropDown("##function", ChoiceNames(), choice, -1);
    ImGui::TextUnformatted("2. Press Hardware Button");
}

void ButtonsPage::DrawRows(float height) {
    std::vector<options::ListRow> shown;
    for (const Row& row : rows) shown.push_back({std::string(row.key->name), std::string(row.function->name)});
    options::TwoColumnList("##rows", "Button", "Function", kKeyColumnWidth, shown, selectedRow_, height);
}
