#pragma once
// The dispatch table from SceneId to the scene's update and draw routines.
#include <cstdint>

using SceneRoutine = void (*)();

struct SceneEntry {
    int32_t id;
    SceneRoutine update;
    SceneRoutine draw;
};

// The row of a SceneId, or nullptr for an id that has no scene (nothing updates or draws).
const SceneEntry* FindScene(int32_t id);
