// The levels of the generated sounds. In play several sounds start together (a lock with the
// next piece's chime, a level rise with its medal and the settling stack, the top-out over
// the warning) and the mixer adds their 16-bit samples: any three of them must fit under full
// scale together. The mix's last stage gives the level back, so each sound alone is exactly
// as loud as before, and what does not fit is turned down there instead of clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/mix_bus.h"
#include "sound/wave_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSampleRate = 22050;
constexpr int kLoudnessWindow = kSampleRate / 20;  // 50 ms
// A little under full scale: the mixer's resampling to the device's rate may overshoot.
constexpr int kMixCeiling = 32767 * 98 / 100;

struct SoundLevel {
    const char* file;
    double before;  // dB of full scale
};

// The loudness each sound measured when it was normalised alone to the whole of full scale
// (the RMS of its loudest 50 ms), read from the files generated before the sounds made room
// for each other.
const SoundLevel kLevels[] = {
    {"erasing.wav", -13.39},   {"linefall.wav", -9.09},     {"lineset.wav", -19.24},
    {"newline1.wav", -13.66},  {"newline26.wav", -13.58},   {"newline3.wav", -13.47},
    {"newline47.wav", -13.65}, {"newline5.wav", -11.44},    {"prerotate.wav", -12.83},
    {"chissoku.wav", -6.99},   {"levelchange.wav", -11.32}, {"choice.wav", -19.53},
    {"select.wav", -13.51},    {"pinch.wav", -7.56},        {"medal.wav", -12.43},
};
constexpr int kSounds = sizeof(kLevels) / sizeof(kLevels[0]);

fs::path WaveDir() {
    // Run by hand from build/tests, the generated game lies one folder up.
    const char* dir = std::getenv("PLUSRAIL_BINARY_DIR");
    return (dir ? fs::path(dir) : fs::read_symlink("/proc/self/exe").parent_path().parent_path()) /
           "game" / "wave";
}

// The samples of a mono 16-bit file as the game loads it; empty for anything else.
std::vector<int> ReadSamples(const fs::path& path) {
    WaveFile file;
    std::vector<int> samples;
    if (ReadWaveFile(path.string().c_str(), &file) != WaveRead) return samples;
    const WaveLayout& at = file.layout;
    if (at.format.channels != 1 || at.format.bitsPerSample != 16 ||
        at.format.samplesPerSecond != kSampleRate)
        return samples;
    for (uint32_t i = 0; i + 1 < at.dataBytes; i += 2) {
        const uint8_t* p = file.bytes.data() + at.dataOffset + i;
        samples.push_back(static_cast<int16_t>(p[0] | p[1] << 8));
    }
    return samples;
}

int Peak(const std::vector<int>& s) {
    int peak = 0;
    for (int v : s) peak = std::max(peak, std::abs(v));
    return peak;
}

// The RMS of the loudest 50 ms, in dB of full scale.
double LoudnessDb(const std::vector<int>& s) {
    double sum = 0.0;
    double loudest = 0.0;
    for (size_t i = 0; i < s.size(); ++i) {
        sum += static_cast<double>(s[i]) * s[i];
        if (i >= kLoudnessWindow)
            sum -= static_cast<double>(s[i - kLoudnessWindow]) * s[i - kLoudnessWindow];
        loudest = std::max(loudest, sum);
    }
    return 20.0 * std::log10(std::sqrt(loudest / kLoudnessWindow) / 32767.0);
}

class SoundLevelsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        for (int i = 0; i < kSounds; ++i) samples_[i] = ReadSamples(WaveDir() / kLevels[i].file);
    }
    void SetUp() override {
        for (int i = 0; i < kSounds; ++i)
            ASSERT_GT(samples_[i].size(), 0u) << "no sound in " << WaveDir() / kLevels[i].file;
    }
    // The three sounds first by `key`, greatest first.
    template <typename Key>
    static std::vector<int> TopThree(Key key) {
        std::vector<int> order;
        for (int i = 0; i < kSounds; ++i) order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return key(samples_[a]) > key(samples_[b]); });
        order.resize(3);
        return order;
    }
    static inline std::vector<int> samples_[kSounds];
};

// No mix of three can peak above the sum of their peaks, however they line up.
TEST_F(SoundLevelsTest, TheThreeHighestPeaksFitUnderFullScaleHoweverTheyLineUp) {
    const std::vector<int> top = TopThree(Peak);
    int sum = 0;
    for (int id : top) sum += Peak(samples_[id]);
    EXPECT_LE(sum, kMixCeiling) << kLevels[top[0]].file << " " << kLevels[top[1]].file << " "
                                << kLevels[top[2]].file;
}

// Mono samples through the mix's last stage as the device's stereo mix, the look-ahead flushed.
std::vector<int> ThroughLastStage(const std::vector<int>& mono) {
    static MixBus bus;
    MixBusReset(&bus);
    std::vector<int16_t> stereo;
    for (int v : mono) {
        const int16_t s16 = static_cast<int16_t>(std::clamp(v, -32768, 32767));
        stereo.push_back(s16);
        stereo.push_back(s16);
    }
    stereo.resize(stereo.size() + 2 * kMixBusLookAhead, 0);
    MixBusProcess(&bus, stereo.data(), static_cast<int32_t>(stereo.size() / 2));
    std::vector<int> out;
    for (size_t i = 2 * kMixBusLookAhead; i < stereo.size(); i += 2) {
        EXPECT_EQ(stereo[i], stereo[i + 1]);
        out.push_back(stereo[i]);
    }
    return out;
}

TEST_F(SoundLevelsTest, AloneEachSoundIsAsLoudAsBeforeOnceTheMixGivesTheLevelBack) {
    const double headroomDb = 20.0 * std::log10(kSoundHeadroom);
    for (int i = 0; i < kSounds; ++i) {
        const SoundLevel& level = kLevels[i];
        // The file leaves the same headroom for every sound: the balance between them stays.
        EXPECT_NEAR(LoudnessDb(samples_[i]), level.before + headroomDb, 0.1) << level.file;
        const std::vector<int> played = ThroughLastStage(samples_[i]);
        EXPECT_NEAR(LoudnessDb(played), level.before, 0.1) << level.file;
        // Alone, nothing is turned down: the sound comes out as it is, only louder.
        for (size_t n = 0; n < samples_[i].size(); ++n)
            ASSERT_NEAR(played[n], samples_[i][n] * kSoundMakeup, 1.5) << level.file << " at " << n;
    }
}

TEST_F(SoundLevelsTest, ManyTogetherAreTurnedDownSmoothlyInsteadOfClipping) {
    // The five loudest started together: more than the files leave room for.
    std::vector<int> top = TopThree(Peak);
    for (int i = 0; i < kSounds && top.size() < 5; ++i)
        if (std::find(top.begin(), top.end(), i) == top.end()) top.push_back(i);
    size_t length = 0;
    for (int id : top) length = std::max(length, samples_[id].size());
    std::vector<int> mix(length, 0);
    for (int id : top)
        for (size_t n = 0; n < samples_[id].size(); ++n) mix[n] += samples_[id][n];
    ASSERT_GT(Peak(mix) * kSoundMakeup, 32767.0) << "the case would clip without the stage";
    const std::vector<int> played = ThroughLastStage(mix);
    int clipped = 0, biggestStep = 0;
    for (size_t n = 0; n < played.size(); ++n) {
        clipped += std::abs(played[n]) >= 32767;
        if (n > 0) biggestStep = std::max(biggestStep, std::abs(played[n] - played[n - 1]));
    }
    EXPECT_EQ(clipped, 0);
    EXPECT_LE(Peak(played), 32100);
    // No jump that the input itself (made louder) does not have.
    int inputStep = 0;
    for (size_t n = 1; n < mix.size(); ++n)
        inputStep = std::max(inputStep, std::abs(mix[n] - mix[n - 1]));
    EXPECT_LE(biggestStep, inputStep * kSoundMakeup + 2);
}

}  // namespace
