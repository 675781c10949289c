#pragma once
// Writing a file the player must never lose: the settings, the rankings, the replays.
#include <cstddef>
#include <cstdint>

// Writes `size` bytes to a temporary file beside `path`, puts it on the disk and renames it
// over `path`: a save that fails at any step leaves the old file whole. The temporary name is
// this process's own, so two instances saving at once do not write into each other's file.
bool WriteDataFile(const char* path, const uint8_t* bytes, size_t size);

// Removes from `folder` the temporary files that saves of the files `names` left behind when
// their process ended in the middle (killed, or the machine went down). A file of a process
// that still runs, another instance's, is left alone.
void RemoveStaleTemporaryFiles(const char* folder, const char* const* names, int count);

// Back to the state of a process that has just started: temporary names numbered from 1.
void ResetDataFiles();
