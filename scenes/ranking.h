#pragma once
// The self-running ranking screen: the normal RankingTable as a summary page and a detail
// page, each sliding in, staying and sliding out, then back to the title.
#include <cstdint>

// The phase timers between the entry slide (SceneEnterTimer) and the fade-out
// (SceneLeaveTimer); only one of the six runs at a time, all 0 outside the scene.
extern int32_t SummaryShowTimer;
extern int32_t SummaryLeaveTimer;
extern int32_t DetailEnterTimer;
extern int32_t DetailShowTimer;

// from: the SceneId being left. After a name entry (151) the new entry is highlighted and
// the screen fades in on a new background.
void EnterRanking(int32_t from);
void RankingUpdate();
void RankingDraw();

// Back to the state of a process that has just started (tests).
void ResetRanking();
