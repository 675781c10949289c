#pragma once
// File work the POSIX hosts share.
#include <cstdint>
#include <cstdio>

// Opens an existing regular file for reading; a FIFO, a device or a folder is refused at once
// instead of waited on. Null when it cannot be opened; `*missing` says whether nothing of that
// name was there.
std::FILE* PosixOpenRegularFile(const char* path, bool* missing);

// True only when no process of this id exists; a live process of another user counts as live.
bool PosixProcessGone(int64_t pid);
