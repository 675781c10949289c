#pragma once
// The simulator's input script: one event per line, "F KEY down", "F KEY up", "F close",
// "F deactivate", "F activate", "F lose" (every video-memory surface loses its pixels, as on a
// task switch); '#' starts a comment. F counts FrameCallback calls from 0.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum SimEventKind {
    SimKeyDown,
    SimKeyUp,
    SimClose,
    SimDeactivate,
    SimActivate,
    SimLoseSurfaces,
    SimJoyPress,
    SimJoyRelease,
};

// Joystick 0 inputs named by JOY_ keys.
enum SimJoyInput { JoyInputUp, JoyInputDown, JoyInputLeft, JoyInputRight, JoyInputButton1 };

struct SimEvent {
    int64_t frame;
    SimEventKind kind;
    int32_t code;  // virtual-key code, or a SimJoyInput (buttons: JoyInputButton1 + 0..7)
};

struct SimScript {
    std::vector<SimEvent> events;  // in frame order, file order within a frame
    bool usesJoystick = false;
};

// The longest line a script may have, comment included.
constexpr size_t kMaxScriptLine = 1024;

// False with a one-line reason when the file cannot be read, a line is too long or makes no
// sense; a bad word is quoted by a short prefix only.
bool ReadScript(const std::string& path, SimScript* script, std::string* error);
// The same for a script held in memory; `name` stands for the file in the reasons.
bool ParseScript(const std::string& text, SimScript* script, std::string* error,
                 const std::string& name = "script");
