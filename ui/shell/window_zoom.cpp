#include "ui/shell/window_zoom.h"

#include <algorithm>
#include <optional>

#include "platform/ui/ui_backend.h"
#include "platform/ui/ui_backend_zoom.h"
#include "prefs/settings.h"

using namespace platform::ui;

namespace {

// A zoom chosen by hand and kept, not "none yet" or damage in the store.
bool IsChosenZoom(int zoom) { return zoom >= kMinimumZoom && zoom <= kMaximumZoom; }

int DefaultZoom(UiBackend& backend) { return ZoomFromEnvironment().value_or(backend.FittingZoom()); }

}  // namespace

int StartingZoom(const Settings& settings, UiBackend& backend) {
    if (const std::optional<int> session = ZoomFromEnvironment()) return *session;
    return IsChosenZoom(settings.Zoom) ? settings.Zoom : backend.FittingZoom();
}

void ChangeZoom(ZoomChange change, Settings& settings, UiBackend& backend) {
    int zoom = backend.Zoom();
    switch (change) {
        case ZoomChange::In: zoom = std::min(zoom + 1, kMaximumZoom); break;
        case ZoomChange::Out: zoom = std::max(zoom - 1, kMinimumZoom); break;
        case ZoomChange::Default: zoom = DefaultZoom(backend); break;
    }
    backend.SetZoom(zoom);
    if (ZoomFromEnvironment().has_value()) return;
    settings.Zoom = change == ZoomChange::Default ? Settings{}.Zoom : zoom;
}
