#pragma once
// The Settings and the two RankingTables, and the three data files that hold them.
#include <cstddef>
#include <cstdint>

#include "shell/ranking_table.h"

// The members' initial values are the built-in ones a new process starts with.
struct SettingsRecord {
    int32_t keyConfig = 0;
    int32_t fpsDisplay = 1;
    int32_t useVram = 1;
    int32_t showLineShadow = 1;
    int32_t eraseProperty = 1;
};
extern SettingsRecord Settings;

extern RankingTable NormalRanking;
extern RankingTable ExpertRanking;

constexpr int kSaveBufferWords = 110;
extern int32_t SaveBuffer[kSaveBufferWords];

// Reads the three files. A missing file gives its defaults; one that is there but cannot be
// read whole gives them too, and the save leaves it as it is.
void LoadSettings();
// Writes each file through a temporary file of its own and a rename; a file that cannot be
// saved keeps its old contents and gives a debug line.
void SaveSettings();

// What a load makes of a file's bytes: the Settings, or the normal or expert table, set from
// the whole words of `bytes` (the first 5 or 110) with the defaults for the words a short file
// lacks. Any bytes give a usable record: a keyConfig out of range becomes 0. The count of words
// taken from `bytes`.
int ParseSettingsBytes(const uint8_t* bytes, size_t size);
int ParseRankingBytes(RankingTable* table, bool expert, const uint8_t* bytes, size_t size);
void DefaultNormalRanking();
void DefaultExpertRanking();

// Called with the file name after each data file is written (the simulator's event log).
using SaveTraceFn = void (*)(const char* name);
void SetSaveTrace(SaveTraceFn fn);

// Back to the state of a process that has just started: settings, both tables and the save
// buffer zero, no trace, every file free to be saved.
void ResetSettings();
