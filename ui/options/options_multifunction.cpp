// The "MultiFunc" page: the functions run after one to five presses of the
// multi-function button. "Change", "Delete" and "Reset" take effect at once.

#include <imgui.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/options/options_pages.h"
#include "ui/options/options_widgets.h"

namespace {

constexpr const char* kSelect = "<Select>";
constexpr const char* kNone = "<None>";
constexpr float kNumberColumnWidth = 80;
constexpr float kNumberListWidth = 80;
constexpr float kSmallButtonWidth = 50;
// The slot functions are those whose multi-function codes are these.
constexpr int32_t kFirstSlotCode = 16;
constexpr int32_t kLastSlotCode = 26;

// Both codes of a function run it, so a row names whichever it is.
std::string RowText(int32_t code) {
    const ButtonFunction* function = FindButtonFunction(code);
    return function != nullptr ? std::string(function->name) : kNone;
}

// Rows name functions; only those with a multi-function code fill a slot.
int32_t CodeOfRow(const std::string& text) {
    const ButtonFunction* function = FindButtonFunctionByName(text);
    return function != nullptr ? function->multiFunctionCode : 0;
}

std::vector<std::string> NumberNames() {
    std::vector<std::string> names{kSelect};
    for (int number = 1; number <= MultiFunctionPage::kSlots; ++number) names.push_back(std::to_string(number));
    return names;
}

std::vector<std::string> FunctionNames() {
    std::vector<std::string> names{kSelect};
    for (const ButtonFunction* function : MultiFunctionPage::Functions()) names.emplace_back(function->name);
    return names;
}

}  // namespace

const std::vector<const ButtonFunction*>& MultiFunctionPage::Functions() {
    static const std::vector<const ButtonFunction*> functions = [] {
        std::vector<const ButtonFunction*> chosen;
        for (int32_t code = kFirstSlotCode; code <= kLastSlotCode; ++code) chosen.push_back(FindButtonFunction(code));
        return chosen;
    }();
    return functions;
}

MultiFunctionPage::MultiFunctionPage(Settings& settings) : useSound(settings.UseSound), settings_(settings) {
    for (int number = 1; number <= kSlots; ++number) rows[static_cast<size_t>(number - 1)] = RowText(Slot(number));
}

int32_t& MultiFunctionPage::Slot(int number) {
    return settings_.*kMultiFunctionSlots[static_cast<size_t>(number - 1)];
}

void MultiFunctionPage::Change() {
    if (numberChoice == kNoChoice || functionChoice == kNoChoice) return;
    const ButtonFunction* function = Functions()[static_cast<size_t>(functionChoice - 1)];
    Slot(numberChoice) = function->multiFunctionCode;
    rows[static_cast<size_t>(numberChoice - 1)] = RowText(function->multiFunctionCode);
    numberChoice = kNoChoice;
    functionChoice = kNoChoice;
}

void MultiFunctionPage::Delete() {
    if (selectedRow < 0 || selectedRow >= kSlots) return;
    Slot(selectedRow + 1) = 0;
    rows[static_cast<size_t>(selectedRow)] = kNone;
}

void MultiFunctionPage::Reset() {
    for (int number = 1; number <= kSlots; ++number) {
        Slot(number) = 0;
        rows[static_cast<size_t>(number - 1)] = kNone;
    }
}

void MultiFunctionPage::Apply() {
    settings_.UseSound = useSound;
    for (int number = 1; number <= kSlots; ++number) Slot(number) = CodeOfRow(rows[static_cast<size_t>(number - 1)]);
}

void MultiFunctionPage::Draw(const RunAfterFrame& /*runAfterFrame*/) {
    DrawChoices();
    const ImGuiStyle& style = ImGui::GetStyle();
    DrawRows(ImGui::GetContentRegionAvail().y - ImGui::GetFrameHeight() - style.ItemSpacing.y);
    if (ImGui::Button("Delete", ImVec2(kSmallButtonWidth, 0))) Delete();
    ImGui::SameLine();
    if (ImGui::Button("Reset", ImVec2(kSmallButtonWidth, 0))) Reset();
    ImGui::SameLine();
    ImGui::Checkbox("Use Sound Effect", &useSound);
}

void MultiFunctionPage::DrawChoices() {
    static const std::vector<std::string> numbers = NumberNames();
    static const std::vector<std::string> functions = FunctionNames();
    const float listsLeft = ImGui::GetCursorPosX() + ImGui::CalcTextSize("2. Select Function").x +
                            ImGui::GetStyle().ItemSpacing.x;
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("1. Select Number");
    ImGui::SameLine(listsLeft);
    options::DropDown("##number", numbers, numberChoice, kNumberListWidth);
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("2. Select Function");
    ImGui::SameLine(listsLeft);
    options::DropDown("##function", functions, functionChoice, -1);
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("3. Press the button");
    ImGui::SameLine(listsLeft);
    if (ImGui::Button("Change", ImVec2(-1, 0))) Change();
}

void MultiFunctionPage::DrawRows(float height) {
    std::vector<options::ListRow> shown;
    for (int number = 1; number <= kSlots; ++number) {
        shown.push_back({std::to_string(number), rows[static_cast<size_t>(number - 1)]});
    }
    options::TwoColumnList("##slots", "Numbers", "Function", kNumberColumnWidth, shown, selectedRow, height);
}
