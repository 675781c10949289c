#pragma once
// What the menu scenes share: the timer steps around their idle phase, the cursor, the
// confirm buttons, the backdrop and the highlight colours.
#include <cstdint>

#include "shell/text.h"

// The layout every menu screen shares.
constexpr int32_t kMenuFont = FontSmall1;  // 16-pixel white: items, headings, values
constexpr int32_t kMenuSlideFrames = 20;   // items slide in over 20 frames
constexpr int32_t kMenuLeaveFrames = 20;   // from a choice to the next screen
constexpr int32_t kMenuHeadingRow = 8;     // the screen's name, under the logo
constexpr int32_t kMenuReturnRow = 27;     // RETURN at the foot of an option screen

// Makes `scene` current with the usual 20-frame slide-in, no leave phase and the cursor on
// the first item.
void EnterMenuScene(int32_t scene);

// The state of a menu's timers after StepMenuTimers.
enum MenuPhase : int32_t {
    MenuIdle = 0,      // both timers spent: the buttons act this frame
    MenuEntering = 1,  // the entry timer counted down
    MenuLeaving = 2,   // the leave timer counted down
    MenuLeaveNow = 3,  // the leave timer ran out: the scene carries out its choice now
};

// The entry timer counts down first, then the leave timer; the frame that finds the leave
// timer at 1 clears it and answers MenuLeaveNow.
MenuPhase StepMenuTimers();

// DOWN then UP, each pressed this frame, within 0..last, with the move sound for each step.
void MoveMenuCursor(int32_t last);

// KEY 1 or KEY 4 pressed this frame.
bool MenuConfirmPressed();

// The background of the current BackgroundIndex with the "+RAIL" logo above it.
void DrawMenuBackdrop();
// The item under the cursor: a new colour every fourth frame.
int32_t MenuBlinkFont();
// The item just chosen, during the leave phase: a new colour every frame.
int32_t MenuFlashFont();
