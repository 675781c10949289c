#include "shell/scene.h"

SceneValues Scene;

namespace {

const SceneEntry* g_rows;
int32_t g_rowCount;

}  // namespace

void SetSceneTable(const SceneEntry* rows, int32_t count) {
    g_rows = rows;
    g_rowCount = rows ? count : 0;
}

const SceneEntry* FindScene(int32_t id) {
    for (int32_t i = 0; i < g_rowCount; ++i) {
        if (g_rows[i].id == id) return &g_rows[i];
    }
    return nullptr;
}

void EnterScene(int32_t id, int32_t from) {
    const SceneEntry* scene = FindScene(id);
    if (scene && scene->enter) scene->enter(from);
}

void ResetSceneValues() { Scene = SceneValues{}; }
