#pragma once
// Windows virtual-key codes, the numbers every host translates its keys into and
// the key state table is indexed by. Letters and digits are their ASCII capitals ('Z', '1').
#include <cstdint>

constexpr int32_t VkBack = 0x08;
constexpr int32_t VkTab = 0x09;
constexpr int32_t VkReturn = 0x0D;
constexpr int32_t VkShift = 0x10;
constexpr int32_t VkControl = 0x11;
constexpr int32_t VkMenu = 0x12;  // Alt
constexpr int32_t VkPause = 0x13;
constexpr int32_t VkCapital = 0x14;
constexpr int32_t VkEscape = 0x1B;
constexpr int32_t VkSpace = 0x20;
constexpr int32_t VkPrior = 0x21;  // Page Up
constexpr int32_t VkNext = 0x22;   // Page Down
constexpr int32_t VkEnd = 0x23;
constexpr int32_t VkHome = 0x24;
constexpr int32_t VkLeft = 0x25;
constexpr int32_t VkUp = 0x26;
constexpr int32_t VkRight = 0x27;
constexpr int32_t VkDown = 0x28;
constexpr int32_t VkInsert = 0x2D;
constexpr int32_t VkDelete = 0x2E;
constexpr int32_t VkNumpad0 = 0x60;  // .. VkNumpad0 + 9
constexpr int32_t VkMultiply = 0x6A;
constexpr int32_t VkAdd = 0x6B;
constexpr int32_t VkSubtract = 0x6D;
constexpr int32_t VkDecimal = 0x6E;
constexpr int32_t VkDivide = 0x6F;
constexpr int32_t VkF1 = 0x70;  // .. VkF1 + 11 for F12
constexpr int32_t VkLShift = 0xA0;
constexpr int32_t VkRShift = 0xA1;
constexpr int32_t VkLControl = 0xA2;
constexpr int32_t VkRControl = 0xA3;
constexpr int32_t VkLMenu = 0xA4;
constexpr int32_t VkRMenu = 0xA5;
constexpr int32_t VkOem1 = 0xBA;     // ;:
constexpr int32_t VkOemPlus = 0xBB;  // =+
constexpr int32_t VkOemComma = 0xBC;
constexpr int32_t VkOemMinus = 0xBD;
constexpr int32_t VkOemPeriod = 0xBE;
constexpr int32_t VkOem2 = 0xBF;  // /?
constexpr int32_t VkOem3 = 0xC0;  // `~
constexpr int32_t VkOem4 = 0xDB;  // [{
constexpr int32_t VkOem5 = 0xDC;  // \|
constexpr int32_t VkOem6 = 0xDD;  // ]}
constexpr int32_t VkOem7 = 0xDE;  // '"
