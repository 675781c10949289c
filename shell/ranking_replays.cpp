#include "shell/ranking_replays.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "frame/diagnostics.h"
#include "platform/platform.h"
#include "shell/data_file.h"

namespace {

// Ten ranks, the recording and the watched replay. Ranks and the recording trade images
// instead of copying them.
constexpr int kRecordingImage = kRankingEntries;
constexpr int kWatchedImage = kRankingEntries + 1;
constexpr int kImages = kRankingEntries + 2;

ReplayImage g_images[kImages];

struct RankingReplayState {
    int rankImage[kRankingEntries];  // image index of each rank
    int recordingImage;
    // The file of the rank holds what the rank holds (or both are absent): nothing to save.
    bool onDisk[kRankingEntries];
    bool started;
};
RankingReplayState g_state;

void Start() {
    if (g_state.started) return;
    for (int k = 0; k < kRankingEntries; ++k) {
        g_state.rankImage[k] = k;
        g_state.onDisk[k] = true;
    }
    g_state.recordingImage = kRecordingImage;
    g_state.started = true;
}

void RankPath(int rank, char* path, size_t size) {
    std::snprintf(path, size, "%s/rank_n_%d.rpl", kReplayFolder, rank);
}

enum class FileRead { Missing, Read, Unreadable, TooLarge };

// The whole file into `image`, when it fits. Something there that is not a file (a FIFO, a
// device) cannot be read, and is never waited on.
FileRead ReadWhole(const char* path, ReplayImage& image) {
    image.size = 0;
    bool missing = false;
    std::FILE* file = PlatformOpenRegularFile(path, &missing);
    if (!file) return missing ? FileRead::Missing : FileRead::Unreadable;
    const size_t got = std::fread(image.bytes, 1, sizeof image.bytes, file);
    const bool more = got == sizeof image.bytes && std::fgetc(file) != EOF;
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return FileRead::Unreadable;
    if (more) return FileRead::TooLarge;
    image.size = got;
    return FileRead::Read;
}

bool BelongsTo(const ReplayInfo& info, const RankingEntry& entry) {
    if (info.result.score != entry.score || info.result.lines != entry.lines) return false;
    for (int m = 0; m < kMedalKinds; ++m)
        if (info.result.medals[m] != entry.medals[m]) return false;
    return true;
}

bool MakeFolder() {
    std::error_code error;
    std::filesystem::create_directory(kReplayFolder, error);
    return !error || std::filesystem::is_directory(kReplayFolder, error);
}

// A replay that cannot be written is named as a data file that cannot be: the player learns
// of a full disk or a folder in the way from the replays too.
bool SaveReplay(const char* path, const ReplayImage& image) {
    if (MakeFolder() && WriteDataFile(path, image.bytes, image.size)) return true;
    DebugLine("DAT[%s]の保存に失敗しました。\n", path);
    return false;
}

// The names of the replays the game saves, for finding what their saves left behind.
struct ReplayNames {
    char text[kRankingEntries + 1][24];
    const char* names[kRankingEntries + 1];
};

void NameReplays(ReplayNames& list) {
    for (int k = 0; k < kRankingEntries; ++k) {
        std::snprintf(list.text[k], sizeof list.text[k], "rank_n_%d.rpl", k);
        list.names[k] = list.text[k];
    }
    // The last game's file, without its folder.
    list.names[kRankingEntries] = kLastReplayFile + std::strlen(kReplayFolder) + 1;
}

}  // namespace

ReplayImage& RecordingImage() {
    Start();
    return g_images[g_state.recordingImage];
}

bool WriteLastReplay() {
    const ReplayImage& image = RecordingImage();
    return image.size > 0 && SaveReplay(kLastReplayFile, image);
}

void InsertRankingReplay(int rank, bool recorded) {
    Start();
    if (rank < 0 || rank >= kRankingEntries) return;
    const int dropped = g_state.rankImage[kRankingEntries - 1];
    for (int k = kRankingEntries - 1; k > rank; --k) {
        g_state.rankImage[k] = g_state.rankImage[k - 1];
        g_state.onDisk[k] = false;
    }
    g_state.onDisk[rank] = false;
    if (recorded) {
        g_state.rankImage[rank] = g_state.recordingImage;
        g_state.recordingImage = dropped;
    } else {
        g_state.rankImage[rank] = dropped;
    }
    // The dropped image is the next recording's or the new rank's: either way it starts empty.
    g_images[dropped].size = 0;
}

const ReplayImage* RankingReplay(int rank) {
    Start();
    if (rank < 0 || rank >= kRankingEntries) return nullptr;
    const ReplayImage& image = g_images[g_state.rankImage[rank]];
    return image.size > 0 ? &image : nullptr;
}

void LoadRankingReplays(const RankingTable& table) {
    Start();
    ReplayNames names;
    NameReplays(names);
    RemoveStaleTemporaryFiles(kReplayFolder, names.names, kRankingEntries + 1);
    for (int k = 0; k < kRankingEntries; ++k) {
        char path[64];
        RankPath(k, path, sizeof path);
        ReplayImage& image = g_images[g_state.rankImage[k]];
        const FileRead read = ReadWhole(path, image);
        ReplayInfo info;
        // A replay of other rules still belongs to its rank; it just cannot be watched.
        const ReplayStatus status = read == FileRead::Read
                                        ? ReadReplay(image.bytes, image.size, &info)
                                        : ReplayStatus::Truncated;
        const bool usable = (status == ReplayStatus::Ok || status == ReplayStatus::OtherRules) &&
                            BelongsTo(info, table.entries[k]);
        if (!usable) image.size = 0;
        // A file we may not read is left alone; one that is wrong goes at the next save.
        g_state.onDisk[k] = usable || read == FileRead::Missing || read == FileRead::Unreadable;
    }
}

void SaveRankingReplays() {
    Start();
    for (int k = 0; k < kRankingEntries; ++k) {
        if (g_state.onDisk[k]) continue;
        char path[64];
        RankPath(k, path, sizeof path);
        const ReplayImage& image = g_images[g_state.rankImage[k]];
        if (image.size == 0) {
            std::error_code error;
            std::filesystem::remove(path, error);
            g_state.onDisk[k] = !error;
        } else {
            g_state.onDisk[k] = SaveReplay(path, image);
        }
    }
}

ReplayStatus ReadReplayFile(const char* path, ReplayInfo* info) {
    *info = ReplayInfo{};
    ReplayImage& image = g_images[kWatchedImage];
    switch (ReadWhole(path, image)) {
        case FileRead::Read: break;
        case FileRead::TooLarge: return ReplayStatus::TrailingBytes;
        default: return ReplayStatus::CannotOpen;
    }
    const ReplayStatus status = ReadReplay(image.bytes, image.size, info);
    if (status != ReplayStatus::Ok) image.size = 0;
    return status;
}

const ReplayImage& WatchedImage() { return g_images[kWatchedImage]; }

ReplayVerdict VerifyReplayFile(const char* path, char* message, size_t size) {
    ReplayImage& image = g_images[kWatchedImage];
    ReplayStatus unread = ReplayStatus::Ok;
    switch (ReadWhole(path, image)) {
        case FileRead::Read: break;
        case FileRead::TooLarge: unread = ReplayStatus::TrailingBytes; break;
        default: unread = ReplayStatus::CannotOpen; break;
    }
    char verdictText[400];
    ReplayVerdict verdict = ReplayVerdict::Refused;
    if (unread != ReplayStatus::Ok) {
        image.size = 0;
        std::snprintf(verdictText, sizeof verdictText, "%s", ReplayStatusText(unread));
    } else {
        verdict = VerifyReplay(image.bytes, image.size, verdictText, sizeof verdictText);
    }
    std::snprintf(message, size, "%s: %s", path, verdictText);
    return verdict;
}

void ResetRankingReplays() {
    for (ReplayImage& image : g_images) image.size = 0;
    g_state = RankingReplayState{};
}
