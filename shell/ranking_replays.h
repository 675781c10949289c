#pragma once
// The replays the program keeps in memory: the game being recorded, the normal top ten's (in
// step with NormalRanking and rank_n.dat), and one read for watching. Files live in replays/
// beside the data files: last.rpl, rank_n_0.rpl .. rank_n_9.rpl.
#include <cstddef>

#include "rules/replay_file.h"
#include "rules/verify.h"
#include "shell/ranking_table.h"

constexpr const char* kReplayFolder = "replays";
constexpr const char* kLastReplayFile = "replays/last.rpl";

// Where the recorder builds the current game's replay.
ReplayImage& RecordingImage();
// Writes RecordingImage to replays/last.rpl the way the data files are written.
bool WriteLastReplay();

// The name entry put the finished game at `rank`: the replays below move down one, the tenth
// is dropped, and the recording (when `recorded`) becomes that rank's replay.
void InsertRankingReplay(int rank, bool recorded);
// The replay of a rank, or nullptr when it has none.
const ReplayImage* RankingReplay(int rank);

// Called by LoadSettings once the normal table is read: each rank_n_K.rpl that is whole and
// belongs to the table's entry at K (same score, lines and medals) becomes that rank's replay.
void LoadRankingReplays(const RankingTable& table);
// Called by SaveSettings after rank_n.dat was written: every rank whose file differs from
// what is held is written (or its file removed when the rank has no replay).
void SaveRankingReplays();

// Reads a replay file into the image for watching; its status, with `info` filled when Ok.
// A file larger than any replay is refused unread.
ReplayStatus ReadReplayFile(const char* path, ReplayInfo* info);
const ReplayImage& WatchedImage();

// Reads the file (into the watched image) and checks it with the rules alone, as VerifyReplay
// does; the message starts with the path.
ReplayVerdict VerifyReplayFile(const char* path, char* message, size_t size);

// Back to the state of a process that has just started: no replay held.
void ResetRankingReplays();
