#pragma once
// The scene machine: the game's three routines that the frame calls, the SceneId and the
// values every scene shares.
#include <cstdint>

// SceneId values.
constexpr int32_t SceneLoading = -1;
constexpr int32_t SceneTitle = 0;
constexpr int32_t SceneModeSelect = 1;
constexpr int32_t SceneOptionMenu = 2;
constexpr int32_t SceneKeyConfig = 3;
constexpr int32_t SceneKeyTest = 4;
constexpr int32_t SceneGraphicConfig = 5;
constexpr int32_t SceneSoundTest = 6;
constexpr int32_t SceneGameNormal = 101;
constexpr int32_t SceneNameEntry = 151;
constexpr int32_t SceneRankingFromTitle = 201;
constexpr int32_t SceneRankingAfterEntry = 211;

extern int32_t SceneId;
extern int32_t SceneFrame;
extern int32_t SceneEnterTimer;
extern int32_t SceneLeaveTimer;
extern int32_t MenuCursor;
extern int32_t BackgroundIndex;
extern int32_t StartLevel;
extern int32_t NewRank;

// The game's side of the frame's contract.
void StartupCallback();
void FrameCallback();
int32_t CloseCallback();

void EnterLoading();
void EnterTitle(int32_t from);

// Update and draw of the loading-and-credits scene.
void LoadingUpdate();
void LoadingDraw();

// Back to the state of a process that has just started: every shared scene value zero.
void ResetSceneValues();
