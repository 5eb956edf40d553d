// The message a later start sends the running player: any bytes either
// decode to a request that encodes back to the same message, or to nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/shell/instance_message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view message(reinterpret_cast<const char*>(data), size);
    const std::optional<OpenRequest> request = DecodeOpenRequest(message);
    if (!request.has_value()) return 0;
    size_t leftOut = 0;
    if (EncodeOpenRequest(*request, &leftOut) != message || leftOut != 0) std::abort();
    return 0;
}
