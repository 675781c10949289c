#pragma once
// What the simulator writes: the state at the end as JSON, and pictures of the back buffer.
#include <cstdint>
#include <string>

// Frames run, whether the program ended, the scene values, settings, rankings, the game.
bool WriteState(const std::string& path, int64_t framesRun, bool ended);

// The back buffer as a 24-bit BMP; black when there is none.
bool WriteShot(const std::string& path);

// A digest of the back buffer's pixels (FNV-1a, 64 bits) as 16 hex digits; "none" when there
// is no usable back buffer.
std::string BackBufferDigest();
