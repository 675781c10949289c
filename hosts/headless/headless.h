#pragma once
// Controls of the headless platform, for tests and the simulator. A headless run has no
// window and no devices: keys and joysticks are set by the caller, the millisecond clock
// moves only when the program sleeps or the caller advances it, and whatever the program
// shows (debug lines, error boxes, the cursor) is recorded.
#include <cstdint>
#include <string>
#include <vector>

// Back to a new machine: every key up, no joystick, both clocks at 0, records empty.
void HeadlessReset();

void HeadlessSetKey(int virtualKey, bool down);
bool HeadlessKeyIsDown(int virtualKey);

// Joysticks 0..count - 1 answer; their positions start centred with no button down.
void HeadlessSetJoystickCount(int count);
void HeadlessSetJoystick(int id, uint32_t x, uint32_t y, uint32_t buttons);

void HeadlessAdvanceClock(uint32_t ms);
void HeadlessSetClock(uint32_t ms);
uint32_t HeadlessSleptMs();  // total of all sleeps since the reset
void HeadlessSetCalendarSeconds(int64_t seconds);

// The process id the program is told; 1 after a reset.
void HeadlessSetProcessId(int64_t id);
// This process's id as the system knows it, for a run whose temporary files must be its own.
// Whether a process of some id runs (PlatformProcessGone) is always asked of the real system.
int64_t HeadlessRealProcessId();

// One run at a time saving into `folder`: a lock for that folder, held until the process ends,
// in the same private place as the desktop game's. False when another run holds it; `*holder`
// is then its process id, or 0 when that cannot be told. True where the system has no lock.
bool HeadlessClaimFolder(const char* folder, int64_t* holder);
// At the end of such a run: the lock's file goes where it has one (the lock goes with the
// process in any case).
void HeadlessLeaveFolder();
// File syncs are real (the buffer is flushed and the answer is the flush's), numbered from 1
// after a reset; the sync numbered `n` fails as on a full disk, whatever the flush says.
void HeadlessFailFileSync(int32_t n);
int32_t HeadlessFileSyncs();  // syncs asked for since the reset, failed ones included

// The advice PlatformAdvice gives for every trouble; null or "" (after a reset): none.
void HeadlessSetAdvice(const char* advice);

// The folder PlatformExecutableFolder answers; null or "" (after a reset): it cannot be told.
// Folder existence and changes are the real file system's.
void HeadlessSetExecutableFolder(const char* path);

struct HeadlessRecord {
    std::vector<std::string> debugLines;
    std::vector<std::string> errorBoxes;  // "title: text"
    // The English handed over with each, "" where there was none.
    std::vector<std::string> debugEnglish;
    std::vector<std::string> errorBoxesEnglish;  // "title: text"
    std::vector<std::string> reports;            // "problem: text" or "text"
    bool cursorShown = true;
};
const HeadlessRecord& HeadlessRecorded();
void HeadlessClearRecord();

// The process's resident memory in KiB as the system counts it; 0 when it cannot be read.
int64_t HeadlessResidentKilobytes();
