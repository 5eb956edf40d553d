#pragma once

// The pages of the options sheet. Each reads Settings when it is made and
// writes them back only in Apply, which the sheet calls when it is confirmed;
// Draw only draws and reacts to the stylus, so the rest is testable alone.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/canvas_gdi.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"

class Application;

namespace platform::ui {
class WindowManager;
}

// A page cannot open a dialog of its own in the middle of the sheet's
// frame; it hands it here and the sheet runs it between frames.
using RunAfterFrame = std::function<void(std::function<void()>)>;

class OptionsPage {
public:
    virtual ~OptionsPage() = default;
    virtual void Draw(const RunAfterFrame& runAfterFrame) = 0;
    virtual void Apply() = 0;
    // A key pressed while the page is shown; true when the page took it.
    virtual bool HandleKey(uint32_t /*virtualKey*/) { return false; }
};

class AboutPage final : public OptionsPage {
public:
    AboutPage();
    ~AboutPage() override;
    AboutPage(const AboutPage&) = delete;
    AboutPage& operator=(const AboutPage&) = delete;

    void Draw(const RunAfterFrame& runAfterFrame) override;
    void Apply() override {}

private:
    platform::ui::HBITMAP icon_ = nullptr;
};

// A number edit with arrows: the text as typed, and the range the arrows keep to.
struct NumberEdit {
    std::string text;
    int32_t lowest = 0;
    int32_t highest = 0;

    // The text read as an unsigned number; 0 when it is not one.
    int32_t Value() const;
    // What an arrow does: one up or down from the text's value, kept in the range.
    void Step(int32_t direction);
};

class GeneralPage final : public OptionsPage {
public:
    GeneralPage(Settings& settings, platform::ui::WindowManager& windows);
    ~GeneralPage() override;
    GeneralPage(const GeneralPage&) = delete;
    GeneralPage& operator=(const GeneralPage&) = delete;

    void Draw(const RunAfterFrame& runAfterFrame) override;
    void Apply() override;

    NumberEdit volumeUpStep, volumeDownStep, startVolume, endVolume, seekStep;
    bool useStartVolume, useEndVolume, studyMode, buttonHold, tapHold, anotherScreenToggle;

private:
    void DrawVolumeGroup();
    void DrawEtceteraGroup(const RunAfterFrame& runAfterFrame);
    void DrawStudyMode();

    Settings& settings_;
    platform::ui::WindowManager& windows_;
    platform::ui::HBITMAP previousPicture_ = nullptr;
    platform::ui::HBITMAP nextPicture_ = nullptr;
};

class SkinPage final : public OptionsPage {
public:
    SkinPage(Settings& settings, Application& application);

    void Draw(const RunAfterFrame& runAfterFrame) override;
    // Loads the skin the edit names, if it differs from the one in use.
    void Apply() override;

    // "Browser...", "Skin Check", "BaseSkin" and the archive button; all but
    // "BaseSkin" open dialogs.
    void Browse();
    void ChooseArchive();
    void Check();
    void UseBaseSkin();

    std::string directory;

private:
    Settings& settings_;
    Application& application_;
};

class ButtonsPage final : public OptionsPage {
public:
    // The drop-down list's entries besides the functions.
    static constexpr int kPreviewChoice = 0;
    static constexpr int kUnmapChoice = 14;

    struct Row {
        const HardwareKey* key;
        const ButtonFunction* function;
    };

    explicit ButtonsPage(Settings& settings);

    void Draw(const RunAfterFrame& runAfterFrame) override;
    void Apply() override;
    // Maps or un-maps the key as the drop-down list says.
    bool HandleKey(uint32_t virtualKey) override;
    void ClearAll() { rows.clear(); }

    int choice = kPreviewChoice;
    std::vector<Row> rows;
    bool unmapInBackground;

private:
    std::vector<Row>::iterator RowOf(const HardwareKey* key);
    void DrawChoices();
    void DrawRows(float height);

    Settings& settings_;
    int selectedRow_ = -1;
};

class MultiFunctionPage final : public OptionsPage {
public:
    static constexpr int kSlots = static_cast<int>(kMultiFunctionSlots.size());
    static constexpr int kNoChoice = 0;  // "<Select>"

    explicit MultiFunctionPage(Settings& settings);

    void Draw(const RunAfterFrame& runAfterFrame) override;
    void Apply() override;

    // "Change", "Delete" and "Reset" write Settings at once.
    void Change();
    void Delete();
    void Reset();

    int numberChoice = kNoChoice;    // 1 to 5
    int functionChoice = kNoChoice;  // into FunctionNames(), counted from 1
    int selectedRow = -1;
    std::array<std::string, kSlots> rows;
    bool useSound;

    // The functions a slot can take, in the order of their codes.
    static const std::vector<const ButtonFunction*>& Functions();

private:
    void DrawChoices();
    void DrawRows(float height);
    int32_t& Slot(int number);

    Settings& settings_;
};
