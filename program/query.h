#pragma once
// A read-only view of the running program, for whoever watches it from outside the core (a
// browser's test, a player's report from the console): a few numbers, by name, and nothing
// that lets the caller change them.
#include <cstdint>

enum class ProgramQuery : int32_t {
    SceneId = 0,      // the scene shown
    PieceColumn = 1,  // the falling piece's place on the lattice
    PieceRow = 2,
    KeyConfig = 3,  // the key layout of the settings
    GameTime = 4,   // the game's time in milliseconds
    // The name last entered, letter by letter (0..41, 0 the blank letter): what the page
    // offers to send a finished game under.
    NameLetter1 = 5,
    NameLetter2 = 6,
    NameLetter3 = 7,
};

// The value asked for; 0 for a query the program does not know.
int32_t QueryProgram(ProgramQuery what);
