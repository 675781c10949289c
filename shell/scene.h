#pragma once
// The scene machine's shared values and its hand-over: every scene reads and sets the values
// in Scene, and a scene enters another one through EnterScene, by SceneId, so that no folder
// has to name the scenes above it. The scenes themselves register their table at start-up.
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

// The values every scene shares; all zero in a process that has just started.
struct SceneValues {
    int32_t id;               // SceneId: the current scene
    int32_t frame;            // SceneFrame: frames since the scene was entered (blink phases)
    int32_t enterTimer;       // SceneEnterTimer: countdown of the scene's entry
    int32_t leaveTimer;       // SceneLeaveTimer: countdown of the scene's exit
    int32_t menuCursor;       // MenuCursor: the item or letter under the cursor
    int32_t backgroundIndex;  // BackgroundIndex: 0..12, the menus' background picture
    int32_t startLevel;       // StartLevel: chosen on the mode select
    int32_t newRank;          // NewRank: the finished game's place in the normal ranking
};
extern SceneValues Scene;

using SceneRoutine = void (*)();
using SceneEntryRoutine = void (*)(int32_t from);

// One scene: its entry routine (the argument is the SceneId being left), its update and its
// draw. Any routine may be null.
struct SceneEntry {
    int32_t id;
    SceneEntryRoutine enter;
    SceneRoutine update;
    SceneRoutine draw;
};

// The table FindScene and EnterScene search; the scenes register it before the first frame.
void SetSceneTable(const SceneEntry* rows, int32_t count);

// The row of a SceneId, or nullptr for an id that has no scene (nothing updates or draws).
const SceneEntry* FindScene(int32_t id);

// Enters scene id, leaving from; an id without an entry routine changes nothing.
void EnterScene(int32_t id, int32_t from);

// Back to the state of a process that has just started: every shared scene value zero. The
// registered table stays: it is the program's wiring, not its state.
void ResetSceneValues();
