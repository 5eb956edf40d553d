#pragma once

// The handheld's hardware keys the player can claim, and the functions they
// (and the multi-function button's press counts) can run.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "prefs/settings.h"

// The modifier of the application buttons (the Windows key).
inline constexpr uint32_t kApplicationButtonModifier = 8;

struct HardwareKey {
    std::string_view name;      // as the Buttons page shows it
    int hotKeyId;
    uint32_t modifiers;
    uint32_t virtualKey;
    int32_t Settings::*mapping;  // the function code mapped to the key, 0 for none
};

// In the order the keys are listed and claimed: Up, Down, Left, Right,
// Center, Button 1 to 5, Loox Prev, Loox Next, Loox Stop, Loox Play/Pause.
inline constexpr std::array<HardwareKey, 14> kHardwareKeys{{
    {"Up", 1, 0, 0x26, &Settings::MapUp},
    {"Down", 2, 0, 0x28, &Settings::MapDown},
    {"Left", 3, 0, 0x25, &Settings::MapLeft},
    {"Right", 4, 0, 0x27, &Settings::MapRight},
    {"Center", 5, 0, 0x0D, &Settings::MapCenter},
    {"Button 1", 6, kApplicationButtonModifier, 0xC1, &Settings::Map01},
    {"Button 2", 7, kApplicationButtonModifier, 0xC2, &Settings::Map02},
    {"Button 3", 8, kApplicationButtonModifier, 0xC3, &Settings::Map03},
    {"Button 4", 9, kApplicationButtonModifier, 0xC4, &Settings::Map04},
    {"Button 5", 10, kApplicationButtonModifier, 0xC5, &Settings::Map05},
    {"Loox Prev", 13, 0, 0xB1, &Settings::MapLxPrev},
    {"Loox Next", 14, 0, 0xB0, &Settings::MapLxNext},
    {"Loox Stop", 12, 0, 0xB2, &Settings::MapLxStop},
    {"Loox Play/Pause", 11, 0, 0xB3, &Settings::MapLxPlayPause},
}};

// The media keys keep working while the player runs in the background.
constexpr bool IsMediaKey(uint32_t virtualKey) { return virtualKey >= 0xB0 && virtualKey <= 0xB3; }

// The key with that virtual-key code, if it is one of the table.
inline const HardwareKey* FindHardwareKey(uint32_t virtualKey) {
    for (const HardwareKey& key : kHardwareKeys) {
        if (key.virtualKey == virtualKey) return &key;
    }
    return nullptr;
}

// A function has two codes: the one stored in the Map* fields, and the one
// stored in the MultiFunc* fields (its name's string number). Both run it.
struct ButtonFunction {
    std::string_view name;
    int32_t mappingCode;
    int32_t multiFunctionCode;  // 0: cannot be a multi-function slot
};

inline constexpr int32_t kMultiFunctionCode = 13;

inline constexpr std::array<ButtonFunction, 13> kButtonFunctions{{
    {"Play", 1, 15},
    {"Stop", 2, 17},
    {"Pause", 3, 18},
    {"Prev", 4, 19},
    {"Next", 5, 20},
    {"Rew", 6, 21},
    {"FF", 7, 22},
    {"Volume Up", 8, 23},
    {"Volume Down", 9, 24},
    {"Screen Toggle", 10, 25},
    {"Exit", 11, 26},
    {"Play / Pause", 12, 16},
    {"Multi Function", kMultiFunctionCode, 0},
}};

// The function either of its codes names; null for 0 and unknown codes.
inline const ButtonFunction* FindButtonFunction(int32_t code) {
    if (code == 0) return nullptr;
    for (const ButtonFunction& function : kButtonFunctions) {
        if (function.mappingCode == code || function.multiFunctionCode == code) return &function;
    }
    return nullptr;
}

inline const ButtonFunction* FindButtonFunctionByName(std::string_view name) {
    for (const ButtonFunction& function : kButtonFunctions) {
        if (function.name == name) return &function;
    }
    return nullptr;
}
