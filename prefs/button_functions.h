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

// The codes stored in the Map* fields.
enum MappingCode : int32_t {
    kPlayCode = 1,
    kStopCode = 2,
    kPauseCode = 3,
    kPrevCode = 4,
    kNextCode = 5,
    kRewindCode = 6,
    kForwardCode = 7,
    kVolumeUpCode = 8,
    kVolumeDownCode = 9,
    kScreenToggleCode = 10,
    kExitCode = 11,
    kPlayPauseCode = 12,
    kMultiFunctionCode = 13,
};

// A function has two codes: the one stored in the Map* fields, and the one
// stored in the MultiFunc* fields (its name's string number). Both run it.
struct ButtonFunction {
    std::string_view name;
    int32_t mappingCode;
    int32_t multiFunctionCode;  // 0: cannot be a multi-function slot
};

inline constexpr std::array<ButtonFunction, 13> kButtonFunctions{{
    {"Play", kPlayCode, 15},
    {"Stop", kStopCode, 17},
    {"Pause", kPauseCode, 18},
    {"Prev", kPrevCode, 19},
    {"Next", kNextCode, 20},
    {"Rew", kRewindCode, 21},
    {"FF", kForwardCode, 22},
    {"Volume Up", kVolumeUpCode, 23},
    {"Volume Down", kVolumeDownCode, 24},
    {"Screen Toggle", kScreenToggleCode, 25},
    {"Exit", kExitCode, 26},
    {"Play / Pause", kPlayPauseCode, 16},
    {"Multi Function", kMultiFunctionCode, 0},
}};

// The functions run after one to five presses of the multi-function button;
// more presses run nothing.
inline constexpr std::array<int32_t Settings::*, 5> kMultiFunctionSlots{
    &Settings::MultiFunc1, &Settings::MultiFunc2, &Settings::MultiFunc3, &Settings::MultiFunc4,
    &Settings::MultiFunc5};

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
