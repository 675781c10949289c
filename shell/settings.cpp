#include "shell/settings.h"

#include <algorithm>
#include <cstdio>

#include "frame/diagnostics.h"
#include "input/buttons.h"
#include "platform/platform.h"
#include "shell/data_file.h"
#include "shell/ranking_replays.h"

SettingsRecord Settings;
RankingTable NormalRanking;
RankingTable ExpertRanking;
int32_t SaveBuffer[kSaveBufferWords];

namespace {

constexpr const char* kConfigFile = "config.dat";
constexpr const char* kNormalRankingFile = "rank_n.dat";
constexpr const char* kExpertRankingFile = "rank_e.dat";

constexpr int kWordBytes = 4;
constexpr int kSettingsWords = 5;
constexpr int kEntryWords = 11;
constexpr int kRankingWords = kRankingEntries * kEntryWords;
static_assert(kRankingWords == kSaveBufferWords);

// The default entries: three NameLetters, the score and the second figure; medals all 0.
struct DefaultEntry {
    int32_t name[3];
    int32_t score;
    int32_t lines;
};

constexpr DefaultEntry kDefaultNormal[kRankingEntries] = {
    {{17, 20, 22}, 1000000, 1000},  // QTV
    {{12, 2, 18}, 810000, 729},     // LBR
    {{26, 14, 6}, 640000, 512},     // ZNF
    {{16, 23, 4}, 490000, 343},     // PWD
    {{7, 25, 12}, 360000, 216},     // GYL
    {{22, 8, 17}, 250000, 125},     // VHQ
    {{4, 24, 18}, 160000, 64},      // DXR
    {{6, 10, 2}, 90000, 27},        // FJB
    {{25, 16, 13}, 40000, 8},       // YPM
    {{28, 31, 28}, 10000, 1},       // 252
};

constexpr DefaultEntry kDefaultExpert[kRankingEntries] = {
    {{18, 31, 34}, 500, 300000},  // R58
    {{30, 27, 33}, 450, 285000},  // 417
    {{8, 22, 11}, 400, 270000},   // HVK
    {{23, 17, 12}, 350, 255000},  // WQL
    {{2, 26, 6}, 300, 240000},    // BZF
    {{7, 24, 14}, 250, 225000},   // GXN
    {{16, 12, 25}, 200, 210000},  // PLY
    {{20, 22, 4}, 150, 195000},   // TVD
    {{19, 6, 17}, 100, 180000},   // SFQ
    {{33, 29, 32}, 50, 165000},   // 736
};

SaveTraceFn g_saveTrace = nullptr;

enum DataFile { ConfigFile, NormalRankingFile, ExpertRankingFile, kDataFiles };
constexpr const char* kFileNames[kDataFiles] = {kConfigFile, kNormalRankingFile,
                                                kExpertRankingFile};
bool g_keepFile[kDataFiles];  // there at the load but not read: never saved over

void TraceSave(const char* name) {
    if (g_saveTrace) g_saveTrace(name);
}

void FillRanking(RankingTable& table, const DefaultEntry (&defaults)[kRankingEntries]) {
    for (int i = 0; i < kRankingEntries; ++i) {
        RankingEntry& entry = table.entries[i];
        for (int c = 0; c < 3; ++c) entry.name[c] = defaults[i].name[c];
        entry.score = defaults[i].score;
        entry.lines = defaults[i].lines;
        for (auto& medal : entry.medals) medal = 0;
    }
}

// The files are little-endian whatever the host is, so words are packed byte by byte.
int32_t DecodeWord(const uint8_t* bytes) {
    uint32_t word = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                    static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return static_cast<int32_t>(word);
}

void EncodeWord(int32_t value, unsigned char* bytes) {
    uint32_t word = static_cast<uint32_t>(value);
    for (int b = 0; b < kWordBytes; ++b) bytes[b] = static_cast<unsigned char>(word >> (8 * b));
}

void PutSettings() {
    SaveBuffer[0] = Settings.keyConfig;
    SaveBuffer[1] = Settings.fpsDisplay;
    SaveBuffer[2] = Settings.useVram;
    SaveBuffer[3] = Settings.showLineShadow;
    SaveBuffer[4] = Settings.eraseProperty;
}

void TakeSettings() {
    Settings.keyConfig = SaveBuffer[0];
    Settings.fpsDisplay = SaveBuffer[1];
    Settings.useVram = SaveBuffer[2];
    Settings.showLineShadow = SaveBuffer[3];
    Settings.eraseProperty = SaveBuffer[4];
}

void PutRanking(const RankingTable& table) {
    for (int i = 0; i < kRankingEntries; ++i) {
        const RankingEntry& entry = table.entries[i];
        int32_t* words = SaveBuffer + kEntryWords * i;
        for (int c = 0; c < 3; ++c) words[c] = entry.name[c];
        words[3] = entry.score;
        words[4] = entry.lines;
        for (int m = 0; m < kMedalKinds; ++m) words[5 + m] = entry.medals[m];
    }
}

void TakeRanking(RankingTable& table) {
    for (int i = 0; i < kRankingEntries; ++i) {
        RankingEntry& entry = table.entries[i];
        const int32_t* words = SaveBuffer + kEntryWords * i;
        for (int c = 0; c < 3; ++c) entry.name[c] = words[c];
        entry.score = words[3];
        entry.lines = words[4];
        for (int m = 0; m < kMedalKinds; ++m) entry.medals[m] = words[5 + m];
    }
}

// Takes the whole words of `bytes`, up to `words` of them, into SaveBuffer. Words past the end
// of a short file keep what the caller put there (the record's defaults); bytes past `words`
// are ignored. The count of words taken.
int TakeWords(const uint8_t* bytes, size_t size, int words) {
    const size_t whole = std::min(size / kWordBytes, static_cast<size_t>(words));
    for (size_t i = 0; i < whole; ++i) SaveBuffer[i] = DecodeWord(bytes + kWordBytes * i);
    return static_cast<int>(whole);
}

enum class ReadResult { Missing, Read, Unreadable };

// Reads the file's first `size` bytes into `bytes`; `*got` is how many there were. Read access
// only: a file we may read but not write (another owner, a read-only medium) is still the
// player's and must be read, not taken for missing. Something there that is not a file (a
// FIFO, a device) cannot be read, and is never waited on.
ReadResult ReadBytes(const char* path, uint8_t* bytes, size_t size, size_t* got) {
    *got = 0;
    bool missing = false;
    std::FILE* file = PlatformOpenRegularFile(path, &missing);
    if (!file) return missing ? ReadResult::Missing : ReadResult::Unreadable;
    *got = std::fread(bytes, 1, size, file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return failed ? ReadResult::Unreadable : ReadResult::Read;
}

// Writes SaveBuffer words 0..words - 1 through WriteDataFile.
bool WriteWords(const char* path, int words) {
    unsigned char bytes[kSaveBufferWords * kWordBytes];
    for (int i = 0; i < words; ++i) EncodeWord(SaveBuffer[i], bytes + kWordBytes * i);
    return WriteDataFile(path, bytes, static_cast<size_t>(words) * kWordBytes);
}

// Loads one file through `parse`; remembers whether a save may replace it.
void LoadFile(DataFile which, int words, void (*parse)(const uint8_t*, size_t)) {
    uint8_t bytes[kSaveBufferWords * kWordBytes];
    size_t got = 0;
    const ReadResult result =
        ReadBytes(kFileNames[which], bytes, static_cast<size_t>(words) * kWordBytes, &got);
    // A file that is there but could not be read whole keeps the defaults, and the save
    // leaves it alone: writing the defaults over it would lose what it holds.
    g_keepFile[which] = result == ReadResult::Unreadable;
    parse(bytes, result == ReadResult::Read ? got : 0);
}

// Whether the file now holds what the program holds.
bool SaveFile(DataFile which, int words) {
    const char* name = kFileNames[which];
    if (g_keepFile[which]) {
        DebugLine("DAT[%s]を読み込めなかったので保存しません。\n", name);
        return false;
    }
    if (WriteWords(name, words)) {
        TraceSave(name);
        return true;
    }
    DebugLine("DAT[%s]の保存に失敗しました。\n", name);
    return false;
}

}  // namespace

void DefaultNormalRanking() { FillRanking(NormalRanking, kDefaultNormal); }

void DefaultExpertRanking() { FillRanking(ExpertRanking, kDefaultExpert); }

int ParseSettingsBytes(const uint8_t* bytes, size_t size) {
    Settings = SettingsRecord{};
    PutSettings();
    const int taken = TakeWords(bytes, size, kSettingsWords);
    TakeSettings();
    // Every reader indexes the key layouts with it, so a number from a foreign file must not
    // reach them.
    if (Settings.keyConfig < 0 || Settings.keyConfig >= kKeyConfigCount) Settings.keyConfig = 0;
    return taken;
}

int ParseRankingBytes(RankingTable* table, bool expert, const uint8_t* bytes, size_t size) {
    FillRanking(*table, expert ? kDefaultExpert : kDefaultNormal);
    PutRanking(*table);
    const int taken = TakeWords(bytes, size, kRankingWords);
    TakeRanking(*table);
    return taken;
}

void LoadSettings() {
    // What a save cut short left behind goes before anything is read.
    RemoveStaleTemporaryFiles(".", kFileNames, kDataFiles);
    LoadFile(ConfigFile, kSettingsWords,
             [](const uint8_t* bytes, size_t size) { ParseSettingsBytes(bytes, size); });
    LoadFile(NormalRankingFile, kRankingWords, [](const uint8_t* bytes, size_t size) {
        ParseRankingBytes(&NormalRanking, false, bytes, size);
    });
    LoadRankingReplays(NormalRanking);
    LoadFile(ExpertRankingFile, kRankingWords, [](const uint8_t* bytes, size_t size) {
        ParseRankingBytes(&ExpertRanking, true, bytes, size);
    });
}

void SaveSettings() {
    PutSettings();
    SaveFile(ConfigFile, kSettingsWords);
    PutRanking(NormalRanking);
    // The replays follow the table they belong to, and only when it was written.
    if (SaveFile(NormalRankingFile, kRankingWords)) SaveRankingReplays();
    PutRanking(ExpertRanking);
    SaveFile(ExpertRankingFile, kRankingWords);
}

void SetSaveTrace(SaveTraceFn fn) { g_saveTrace = fn; }

void ResetSettings() {
    Settings = SettingsRecord{};
    NormalRanking = RankingTable{};
    ExpertRanking = RankingTable{};
    for (int32_t& word : SaveBuffer) word = 0;
    g_saveTrace = nullptr;
    for (bool& keep : g_keepFile) keep = false;
}
