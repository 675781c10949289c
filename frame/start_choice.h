#pragma once
// How the player asked the program to start, from its command line. Set before the start;
// the display and the sound set-up read it.
struct StartChoiceRecord {
    bool windowed;  // a window from the first frame instead of the full screen
    bool silent;    // no sound device is opened: every sound slot plays in silence
};
extern StartChoiceRecord StartChoice;

// Back to a plain start: full screen, with sound.
void ResetStartChoice();
