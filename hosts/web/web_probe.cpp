// What the page can ask of the running game, for the browser test and for a player's report
// from the console: Module._WebQuery(n) with n a ProgramQuery (0 the scene shown, 1 and 2 the
// falling piece's column and row, 3 the key layout, 4 the game's time, 5 to 7 the letters of
// the name last entered).
#include <emscripten/emscripten.h>

#include "program/query.h"

extern "C" EMSCRIPTEN_KEEPALIVE int32_t WebQuery(int32_t what) {
    return QueryProgram(static_cast<ProgramQuery>(what));
}
