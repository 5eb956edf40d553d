#include "playlist/length_text.h"

#include <cstdio>

std::string LengthText(int64_t milliseconds) {
    const int64_t seconds = milliseconds / 1000;
    char text[32];
    if (seconds < 3600) {
        std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    }
    return text;
}

void LengthTotal::Add(int64_t lengthMs) {
    if (lengthMs < 0) {
        partial = true;
    } else {
        milliseconds += lengthMs;
    }
}

namespace {

std::string TotalText(const LengthTotal& total) {
    return LengthText(total.milliseconds) + (total.partial ? "+" : "");
}

}  // namespace

std::string TotalsText(const LengthTotal& selected, const LengthTotal& list) {
    return TotalText(selected) + "/" + TotalText(list);
}
