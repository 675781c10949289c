// What the page can ask of the running game, for the browser test and for a player's report
// from the console: the scene shown, the falling piece's place, the key layout and the game's
// time.
#include <emscripten/emscripten.h>

#include "game/field.h"
#include "shell/scene.h"
#include "shell/settings.h"

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebSceneId() { return Scene.id; }

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebPieceColumn() { return Game.piece.x; }

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebPieceRow() { return Game.piece.y; }

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebKeyConfig() { return Settings.keyConfig; }

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebGameTime() { return Game.elapsedMs; }
