#include "resources/tunelark_module.h"

#include "resources/embedded_resources.h"

platform::ui::HINSTANCE TunelarkModule() {
    static const platform::ui::ModuleInstance module(EmbeddedResources());
    return &module;
}
