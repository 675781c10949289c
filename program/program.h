#pragma once
// The program's one entry, whatever platform starts it: the command line, the game's folder,
// the start, the loop and the stop. A host's own entry (main, WinMain, the page's start) does
// what only it can, its libraries' set-up and shut-down, and hands over here, so that what the
// program takes on its command line is the same on every platform. Nothing here names a record
// of the frame: the Windows headers have names of their own for some of them.

struct GameRoutines;  // app/application.h

// Exit statuses.
constexpr int kExitDone = 0;         // the program ran, or a copy of it runs already
constexpr int kExitRefused = 1;      // a replay that cannot be watched
constexpr int kExitUsage = 2;        // arguments the program does not take
constexpr int kExitStartFailed = 3;  // start-up ended: no window, display mode or sound device

// `plusrail [--window] [--no-sound] [--replay FILE]`, `plusrail --help`, `plusrail --version`:
// the whole run, from the arguments to the stop; the exit status.
int RunGame(int argc, const char* const* argv);

// The run in steps, for a host whose loop is driven from outside (a browser's display
// callback: StartApplication, then RunDueFrames, then StopApplication). Reads the command line
// (a replay is read where the player named it; the start choices are recorded), then moves to
// the game's folder and gives the routines to run. False when there is nothing to run (the
// help or the version was asked for, or an argument is wrong); the text has been given and
// *status is the exit status.
bool PrepareGame(int argc, const char* const* argv, GameRoutines* routines, int* status);
