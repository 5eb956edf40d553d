#pragma once

// The program's module instance: where its resources (the base skin, the
// icon, the click sound, the small button pictures) are found.

#include "platform/ui/module_resources.h"

platform::ui::HINSTANCE TunelarkModule();
