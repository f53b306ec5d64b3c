#pragma once
// Windows virtual-key numbers: the key codes of the key-down and key-up messages. Letters and
// digits are their upper-case ASCII codes ('A' 65 .. 'Z' 90, '0' 48 .. '9' 57).
#include <cstdint>

constexpr uint32_t VK_BACK = 8;
constexpr uint32_t VK_TAB = 9;
constexpr uint32_t VK_RETURN = 13;
constexpr uint32_t VK_SHIFT = 16;
constexpr uint32_t VK_CONTROL = 17;
constexpr uint32_t VK_MENU = 18;
constexpr uint32_t VK_PAUSE = 19;
constexpr uint32_t VK_CAPITAL = 20;
constexpr uint32_t VK_ESCAPE = 27;
constexpr uint32_t VK_SPACE = 32;
constexpr uint32_t VK_PRIOR = 33;
constexpr uint32_t VK_NEXT = 34;
constexpr uint32_t VK_END = 35;
constexpr uint32_t VK_HOME = 36;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;
constexpr uint32_t VK_SNAPSHOT = 44;
constexpr uint32_t VK_INSERT = 45;
constexpr uint32_t VK_DELETE = 46;
constexpr uint32_t VK_LWIN = 91;
constexpr uint32_t VK_RWIN = 92;
constexpr uint32_t VK_APPS = 93;
constexpr uint32_t VK_NUMPAD0 = 96;
constexpr uint32_t VK_MULTIPLY = 106;
constexpr uint32_t VK_ADD = 107;
constexpr uint32_t VK_SUBTRACT = 109;
constexpr uint32_t VK_DECIMAL = 110;
constexpr uint32_t VK_DIVIDE = 111;
constexpr uint32_t VK_F1 = 112;
constexpr uint32_t VK_F12 = 123;
constexpr uint32_t VK_NUMLOCK = 144;
constexpr uint32_t VK_SCROLL = 145;
constexpr uint32_t VK_OEM_1 = 186;       // ;:
constexpr uint32_t VK_OEM_PLUS = 187;    // =+
constexpr uint32_t VK_OEM_COMMA = 188;   // ,<
constexpr uint32_t VK_OEM_MINUS = 189;   // -_
constexpr uint32_t VK_OEM_PERIOD = 190;  // .>
constexpr uint32_t VK_OEM_2 = 191;       // /?
constexpr uint32_t VK_OEM_3 = 192;       // `~
constexpr uint32_t VK_OEM_4 = 219;       // [{
constexpr uint32_t VK_OEM_5 = 220;       // \|
constexpr uint32_t VK_OEM_6 = 221;       // ]}
constexpr uint32_t VK_OEM_7 = 222;       // '"
