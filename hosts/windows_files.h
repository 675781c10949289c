#pragma once
// File work the Windows hosts share (the desktop host and the headless one built for Windows).
#include <cstdint>
#include <cstdio>

// Opens an existing regular file for reading; anything else is refused. Null when it cannot be
// opened; `*missing` says whether nothing of that name was there.
std::FILE* Win32OpenRegularFile(const char* path, bool* missing);

// True only when no process of this id runs now.
bool Win32ProcessGone(int64_t pid);

// Holds a lock named after `folder` (the same one whatever path leads to it) for the rest of
// the process, in this session; false when another process of the session holds it.
bool Win32TakeFolderLock(const char* prefix, const char* folder);
