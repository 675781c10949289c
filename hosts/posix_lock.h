#pragma once
// One copy of the program per user on a POSIX system: an advisory lock on a file in a folder
// that only the user can write to. Another user can neither take it, nor point it at a file of
// the player's, nor have the player's game signal a process of the player's own.
#include <cstddef>
#include <cstdint>

// The folder of this user's locks: $XDG_RUNTIME_DIR when it is the user's own and private,
// else "plusrail" in $XDG_CACHE_HOME or ~/.cache, made private (0700) when it is made. False
// when there is none.
bool PosixLockFolder(char* path, size_t size);

enum class PosixLockClaim {
    Taken,     // held by this process until it ends
    Held,      // another process holds it
    Unusable,  // no private folder, or the name is not a regular file of the user's
};

// Takes the lock named `name` (a file of that name in the lock folder) without waiting, and
// writes this process's id into it. Links are never followed. When taken, `*heldFile` (if
// given) is the open file that holds it.
PosixLockClaim PosixTakeLock(const char* name, int* heldFile = nullptr);

// Removes the file of a lock this process took (`heldFile` from PosixTakeLock) while its name
// still leads to it; the lock itself lasts until the process ends. For locks named after
// something passing, so that their files do not pile up. A copy that opened the old file
// meanwhile sees it is no longer named and opens the name again.
void PosixRemoveLock(const char* name, int heldFile);

// The process id written in the lock named `name`, when it is a running copy of this program
// of the same user: anything else (a forged or stale id, another user's process, another
// program) gives 0, so that a signal meant for the game never reaches anything else.
int64_t PosixLockHolder(const char* name);

// The name of the lock that guards `folder`: `prefix` and the folder's identity, the same
// whichever path leads to it. False when the folder cannot be looked at.
bool PosixFolderLockName(const char* prefix, const char* folder, char* name, size_t size);
