#pragma once
// The game's key codes in key events. A printable or control character arrives as its own
// code (1 to 255); the other keys use the codes below (268-270, 283-285 and 300 are unused).
#include <cstdint>

constexpr int32_t kKeyF1 = 256;         // F1 to F12: 256 to 267
constexpr int32_t kKeyF4 = kKeyF1 + 3;  // Alt+F4 quits
constexpr int32_t kKeyCtrlF1 = 271;     // Ctrl+F1 to Ctrl+F12: 271 to 282
constexpr int32_t kKeyCtrl0 = 286;      // Ctrl+0 to Ctrl+9 (top-row digits): 286 to 295
constexpr int32_t kKeyUp = 296;
constexpr int32_t kKeyDown = 297;
constexpr int32_t kKeyLeft = 298;
constexpr int32_t kKeyRight = 299;
constexpr int32_t kKeyEnter = 301;
constexpr int32_t kKeyTab = 302;
constexpr int32_t kKeyEscape = 303;
constexpr int32_t kKeyHome = 304;
constexpr int32_t kKeyDelete = 305;
constexpr int32_t kKeyAlt = 306;
constexpr int32_t kKeyShift = 307;
constexpr int32_t kKeyCtrl = 308;
constexpr int32_t kKeyInsert = 309;
constexpr int32_t kKeyBackspace = 310;

// A modifier pressed alone is no choice on the screens that wait for any key.
constexpr bool IsModifierKey(int32_t key) {
    return key == kKeyAlt || key == kKeyShift || key == kKeyCtrl;
}
