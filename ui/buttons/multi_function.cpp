// The multi-function counter and its click sound.
//
// The timer runs only while presses are being counted: the first press of a
// sequence starts it and the evaluation stops it. Ticks then fall where a
// timer that always ran would put them, so the player behaves the same but
// costs nothing while idle.


#include "platform/play_sound.h"
#include "platform/ui/window_manager.h"
#include "prefs/button_functions.h"
#include "prefs/settings.h"
#include "resources/resource_ids.h"
#include "resources/tunelark_module.h"
#include "ui/buttons/hardware_buttons.h"
#include "ui/buttons/multi_function.h"
#include "ui/shell/application.h"

namespace {

void PlayClickResource() {
    platform::PlaySoundClip(TunelarkModule()->Find(platform::ui::ResourceKind::Wave, IDR_CLICK_WAVE));
}

}  // namespace

void (*g_playClickSound)() = PlayClickResource;

void CountMultiFunctionPress(Application& application) {
    MainWindow& main = application.Main();
    MultiFunctionState& state = main.MultiFunction();
    state.idleTicks = 0;
    ++state.pressCount;
    if (state.pressCount == 1) application.Windows().SetTimer(main, kMultiFunctionTimerId, kMultiFunctionTickMs);
}

void OnMultiFunctionTick(Application& application) {
    MainWindow& main = application.Main();
    MultiFunctionState& state = main.MultiFunction();
    ++state.idleTicks;
    if (state.idleTicks < state.threshold) return;
    application.Windows().KillTimer(main, kMultiFunctionTimerId);
    const int32_t presses = state.pressCount;
    state.pressCount = 0;
    if (presses <= 0) return;
    // Played on this thread: the player does not react until the clicks end.
    if (g_settings.UseSound) {
        for (int32_t click = 0; click < presses; ++click) g_playClickSound();
    }
    if (static_cast<size_t>(presses) <= kMultiFunctionSlots.size()) {
        RunButtonFunction(application, 0, g_settings.*kMultiFunctionSlots[static_cast<size_t>(presses - 1)]);
    }
}
