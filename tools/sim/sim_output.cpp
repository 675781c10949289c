#include "sim_output.h"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "frame/display.h"
#include "frame/sprite.h"
#include "platform/platform.h"
#include "rules/field.h"
#include "shell/scene.h"
#include "shell/settings.h"

namespace {

using Json = nlohmann::ordered_json;

template <typename T, size_t N>
Json Array(const T (&values)[N]) {
    Json a = Json::array();
    for (const T& v : values) a.push_back(v);
    return a;
}

template <typename T, size_t I, size_t J>
Json Grid(const T (&grid)[I][J]) {
    Json a = Json::array();
    for (size_t i = 0; i < I; ++i) a.push_back(Array(grid[i]));
    return a;
}

Json Ranking(const RankingTable& table) {
    Json entries = Json::array();
    for (const RankingEntry& e : table.entries)
        entries.push_back(Json{{"name", Array(e.name)},
                               {"score", e.score},
                               {"lines", e.lines},
                               {"medals", Array(e.medals)}});
    return entries;
}

Json GameJson() {
    const GameState& g = Game;
    Json sequence = Json::array();
    for (int8_t kind : g.sequence) sequence.push_back(kind);
    return Json{
        {"phase", g.phase},
        {"score", g.score},
        {"lines", g.lines},
        {"level", g.level},
        {"levelLines", g.levelLines},
        {"elapsedMs", g.elapsedMs},
        {"seed", g.seed},
        {"sequence", sequence},
        {"dealt", g.dealt},
        {"piece",
         {{"kind", g.piece.kind},
          {"rotation", g.piece.rotation},
          {"x", g.piece.x},
          {"y", g.piece.y}}},
        {"fallTimer", g.fallTimer},
        {"lockTimer", g.lockTimer},
        {"eraseTimer", g.eraseTimer},
        {"nextTimer", g.nextTimer},
        {"stepLines", g.stepLines},
        {"chainLines", g.chainLines},
        {"chain", g.chain},
        {"stepPoints", g.stepPoints},
        {"streak", g.streak},
        {"medals", Array(g.medals)},
        {"medalFlash", Array(g.medalFlash)},
        {"popupTimer", g.popupTimer},
        {"popupX", g.popupX},
        {"popupY", g.popupY},
        {"bannerTimer", g.bannerTimer},
        {"bannerLevel", g.bannerLevel},
        {"shadowRow", g.shadowRow},
        {"LevelParams",
         {{"fallDelay", g.params.fallDelay},
          {"lockDelay", g.params.lockDelay},
          {"eraseDelay", g.params.eraseDelay},
          {"nextDelay", g.params.nextDelay},
          {"scoreFactor", g.params.scoreFactor},
          {"instantGravity", g.params.instantGravity}}},
    };
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint8_t Widen(uint32_t value, int bits) {
    return static_cast<uint8_t>((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

}  // namespace

bool WriteState(const std::string& path, int64_t framesRun, bool ended) {
    Json state{
        {"frames", framesRun},
        {"ended", ended},
        {"clockMs", PlatformMilliseconds()},
        {"SceneId", Scene.id},
        {"SceneFrame", Scene.frame},
        {"SceneEnterTimer", Scene.enterTimer},
        {"SceneLeaveTimer", Scene.leaveTimer},
        {"MenuCursor", Scene.menuCursor},
        {"BackgroundIndex", Scene.backgroundIndex},
        {"StartLevel", Scene.startLevel},
        {"NewRank", Scene.newRank},
        {"FadeLevel", FadeLevel},
        {"Settings",
         {{"keyConfig", Settings.keyConfig},
          {"fpsDisplay", Settings.fpsDisplay},
          {"useVram", Settings.useVram},
          {"showLineShadow", Settings.showLineShadow},
          {"eraseProperty", Settings.eraseProperty}}},
        {"NormalRanking", Ranking(NormalRanking)},
        {"ExpertRanking", Ranking(ExpertRanking)},
        {"Game", GameJson()},
        {"XLineGrid", Grid(XLineGrid)},
        {"YLineGrid", Grid(YLineGrid)},
    };
    std::ofstream out(path, std::ios::binary);
    out << state.dump(1) << '\n';
    return static_cast<bool>(out);
}

bool WriteShot(const std::string& path) {
    constexpr int32_t w = kScreenWidth, h = kScreenHeight;
    constexpr uint32_t rowBytes = w * 3;  // already a multiple of four
    constexpr uint32_t dataBytes = rowBytes * h;
    std::vector<uint8_t> out;
    out.reserve(54 + dataBytes);
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian(out, 54 + dataBytes, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 54, 4);
    PutLittleEndian(out, 40, 4);
    PutLittleEndian(out, w, 4);
    PutLittleEndian(out, h, 4);
    PutLittleEndian(out, 1, 2);
    PutLittleEndian(out, 24, 2);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, dataBytes, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 2835, 4);
    PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0, 4);

    const Surface* back = DisplayDevice.back;
    const bool usable =
        back && back->pixels && !back->lost && back->width >= w && back->height >= h;
    for (int32_t y = h - 1; y >= 0; --y) {
        const uint16_t* row =
            usable
                ? reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(back->pixels) +
                                                    static_cast<size_t>(y) * back->pitch)
                : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = row ? row[x] : 0;
            out.push_back(Widen(p & 0x1F, 5));
            out.push_back(Widen((p >> 5) & 0x3F, 6));
            out.push_back(Widen(p >> 11, 5));
        }
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}

std::string BackBufferDigest() {
    const Surface* back = DisplayDevice.back;
    if (!back || !back->pixels || back->lost || back->width < kScreenWidth ||
        back->height < kScreenHeight)
        return "none";
    uint64_t hash = 0xcbf29ce484222325ull;
    for (int32_t y = 0; y < kScreenHeight; ++y) {
        const uint8_t* row =
            reinterpret_cast<const uint8_t*>(back->pixels) + static_cast<size_t>(y) * back->pitch;
        for (int32_t i = 0; i < kScreenWidth * 2; ++i) {
            hash ^= row[i];
            hash *= 0x100000001b3ull;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}
