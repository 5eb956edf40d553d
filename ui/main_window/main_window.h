#pragma once

// The top skinned window: transport buttons, the shuffle, repeat, equalizer
// and playlist toggles, the clock, title, bit rate and sample rate, the
// channel indicators and the position and volume bars. It turns taps into
// player commands, is the engine's notify window, runs the clock while a
// track plays and, when a track ends by itself, lets the playlist choose what
// plays next. Everything here runs on the user-interface thread.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/player.h"
#include "playlist/playlist_modes.h"
#include "playlist/stop_marks.h"
#include "ui/buttons/multi_function.h"
#include "ui/main_window/main_hit_regions.h"
#include "ui/skin/skin_sprites.h"
#include "ui/skin/skin_text_line.h"
#include "ui/skin/skinned_window.h"

class Application;
class Playlist;

// The clock's timer; it runs from each playing report to the next stopped
// one, and blinks the clock while paused.
constexpr uintptr_t kClockTimerId = 1000;
constexpr uint32_t kClockTimerPeriodMs = 1000;
// The title's scrolling, a pixel a step; it runs only while a title too long
// for its box plays and can be seen.
constexpr uintptr_t kTitleScrollTimerId = 1002;
constexpr uint32_t kTitleScrollPeriodMs = 70;

inline constexpr const char* kMainWindowClass = "Tunelark_MN";
inline constexpr const char* kProgramTitle = " Tunelark v" TUNELARK_VERSION;

class MainWindow final : public SkinnedWindow {
public:
    explicit MainWindow(Application& application) : SkinnedWindow(kMainWindowClass), application_(application) {}

    // The engine can report the output's peak levels before every block;
    // this window ignores them, so the engine neither measures nor posts
    // them rather than waking the loop ten times a second.
    bool Wants(uint32_t message) const override;

    // The commands of the buttons, also run by the hardware buttons.
    void PlayAction();
    void StopAction();
    void PrevAction();
    void NextAction();
    void AddFileAction();
    // What Add File does with the dialog's choice: replaces the playlist
    // with what `fill` adds and plays its first entry. Also for files
    // opened from outside the player.
    void ReplacePlaylistAndPlay(const std::function<void(Playlist&)>& fill);
    // Opens and plays a playlist entry (the playlist's double tap).
    bool PlayEntry(int32_t index);
    // Rewinds or fast-forwards by SeekStep seconds unless stopped.
    void SeekByStep(bool forward);

    // The engine opened entry `index`: show its track information and title.
    void ShowTrack(int32_t index);
    // Reads the device's volume again and shows it (a volume changed elsewhere).
    void ReadVolumeFromDevice();
    void RedrawVolume();
    // Sets the volume field and the device, and redraws the bar; neither
    // this nor a reading of the device moves the thumb while it is dragged.
    void SetVolume(int percent);
    MultiFunctionState& MultiFunction() { return multiFunction_; }

    const std::string& TitleText() const { return title_; }
    // The column of the title's line at the box's left, and whether it scrolls now.
    int TitleOffset() const { return titleOffset_; }
    bool TitleScrolls() const { return titleScrolls_; }
    int Volume() const { return volume_; }
    int Position() const { return position_; }
    const StopMarks& Marks() const { return marks_; }

private:
    void OnCreate() override;
    void OnDestroy() override;
    void PaintAll() override;
    void OnTimer(uintptr_t id) override;
    bool OnOtherMessage(uint32_t message, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam) override;

    void OnStylusDown(int x, int y, bool doubleTap) override;
    void OnStylusMove(int x, int y) override;
    void OnStylusUp(int x, int y) override;
    // Over the position bar the wheel seeks a step a notch, elsewhere it
    // sets the volume.
    void OnWheel(int x, int y, int notches) override;
    void RunRegion(MainRegion region, int x, int y);
    void ShowRepeatMenu(int x, int y);
    void OnMenuCommand(uint32_t command) override;

    void OnPlaying();
    void OnPaused();
    // `detail`: the stopped report's lParam (kPlayerStartFailed, kPlayerDeviceLost or 0).
    void OnStopped(intptr_t detail);
    void OnClockTick();
    void ShowTrackInfo();
    void ShowTitle(int32_t index);
    void ShowStreamTitle(int32_t index);
    // Says why the loaded entry could not play: no sound device, or what
    // the stream's server did.
    void ReportPlayFailure(bool deviceLost = false);
    // Says so when entry `index` could not be opened because it is a pipe or
    // a device; nothing for other failures.
    void ReportOpenFailure(int32_t index);

    // The display: the clock as the play state and the settings show it,
    // the play-state picture, and the title's line and its scrolling.
    std::array<int, 5> ClockShown() const;
    PlayState ShownPlayState() const;
    void RenderTitleLine();
    // Whether the title's line is longer than its box and the settings let it scroll.
    bool TitleScrollMode() const;
    // title_ has changed: its line is drawn anew from its start.
    void TitleChanged();
    // Starts or stops the scrolling as the title, the settings and the
    // play state now ask.
    void UpdateTitleScroll();
    void OnTitleScrollTick();
    void ToggleTimeRemaining();
    void ToggleTitleScroll();

    // Partial updates through the kept drawing context.
    void DrawRegion(MainRegion region, bool pressed);
    void DrawClock();
    void DrawPlayState();
    void DrawPosition();
    // Moves the thumb to where playback is, unless a drag holds it.
    void ShowPlayPosition(int permille);
    void DrawTrackInfo();
    // False when the window cannot be drawn on now.
    bool DrawTitle();

    bool ScreenIgnoresTaps() const;
    PlaylistModes Modes() const;
    void RepaintCurrentRow();

    Application& application_;
    PlayerFileInfo trackInfo_;
    PlayerTag tag_;
    StopMarks marks_;
    std::string title_ = kProgramTitle;
    SkinTextLine titleLine_;
    int titleOffset_ = 0;
    bool titleScrolls_ = false;
    bool clockBlinkedOff_ = false;  // while paused, every other tick
    int position_ = 0;  // permille of the track
    int volume_ = 10;   // percent
    MultiFunctionState multiFunction_;
    // The region the stylus went down on, and whether it has moved on a bar.
    MainRegion pressed_ = MainRegion::None;
    bool dragged_ = false;
};
