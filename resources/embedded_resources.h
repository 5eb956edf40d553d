#pragma once

// The resource files under resources/, compiled into the program.

#include <span>

#include "platform/ui/module_resources.h"

std::span<const platform::ui::ResourceEntry> EmbeddedResources();
