#pragma once
// The fixed catalogue of asset files: the slot each picture and sound is loaded into, and the
// routines that load them.
#include <cstdint>

// BitmapSlot numbers of the pictures.
constexpr uint32_t SlotFontSmall = 1;   // + FontId 0..13: font_1 and font_2, 16 x 16
constexpr uint32_t SlotFontLarge = 31;  // + FontId - FontLarge1, 0..13: 32 x 32
constexpr uint32_t SlotFieldFrame = 15;
constexpr uint32_t SlotLineX = 16;
constexpr uint32_t SlotLineY = 17;
constexpr uint32_t SlotMedalBase = 18;  // + tier 0..3
constexpr uint32_t SlotUnusedBackground = 240;
constexpr uint32_t SlotBackgroundBase = 241;  // + BackgroundIndex 0..11; 12 names an empty slot

// WaveSlot numbers the game fills.
constexpr uint16_t WaveSlotErasing = 0;
constexpr uint16_t WaveSlotLineFall = 1;
constexpr uint16_t WaveSlotLineSet = 2;
constexpr uint16_t WaveSlotNewLine1 = 3;
constexpr uint16_t WaveSlotNewLine26 = 4;
constexpr uint16_t WaveSlotNewLine3 = 5;
constexpr uint16_t WaveSlotNewLine47 = 6;
constexpr uint16_t WaveSlotNewLine5 = 7;
constexpr uint16_t WaveSlotPreRotate = 8;
constexpr uint16_t WaveSlotChissoku = 9;
constexpr uint16_t WaveSlotLevelChange = 10;
constexpr uint16_t WaveSlotChoice = 11;
constexpr uint16_t WaveSlotSelect = 12;
constexpr uint16_t WaveSlotPinch = 13;
constexpr uint16_t WaveSlotMedal = 14;

void LoadFonts();
void LoadGameBitmaps();
void LoadWaves();
