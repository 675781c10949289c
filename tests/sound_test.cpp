// Loading wave files into the 32 slots, playing them, and the device's failures, on the
// headless audio device.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "sound/sound.h"
#include "support/fresh.h"
#include "support/fuzz_corpus.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Lines = std::vector<std::string>;

void Put(Bytes& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A chunk with its true size and, after an odd body, its pad byte.
Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    Put(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);
    return out;
}

Bytes Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes body;
    Put(body, tag, 2);
    Put(body, channels, 2);
    Put(body, rate, 4);
    Put(body, rate * channels * bits / 8, 4);
    Put(body, channels * bits / 8, 2);
    Put(body, bits, 2);
    return Chunk("fmt ", body);
}

// The RIFF chunk of form WAVE, after whatever top-level chunks come first.
Bytes Riff(const std::vector<Bytes>& chunks, Bytes before = {}) {
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    const Bytes riff = Chunk("RIFF", body);
    before.insert(before.end(), riff.begin(), riff.end());
    return before;
}

Bytes Samples(size_t count) {
    Bytes out(count);
    std::iota(out.begin(), out.end(), uint8_t{3});
    return out;
}

const Lines& Debug() { return HeadlessRecorded().debugLines; }

class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        // A folder of this test's own, named so that two runs at once do not share it.
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = testing::TempDir() + "sound_" + test->name() + "_" + std::to_string(getpid());
        std::filesystem::remove_all(dir_);
        ASSERT_TRUE(std::filesystem::create_directories(dir_));
        dir_ += '/';
    }
    std::string Write(const std::string& name, const Bytes& bytes) {
        std::ofstream(dir_ + name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
        return dir_ + name;
    }
    // A device and a one-second 8-bit mono sound at 1000 Hz in the slot, in a file whose
    // odd chunks before and between the ones that matter are walked over.
    std::string Ready(uint16_t slot) {
        EXPECT_EQ(CreateSound(), 1);
        const Bytes beep =
            Riff({Fmt(1, 1, 1000, 8), Chunk("LIST", Samples(5)), Chunk("data", Samples(1000))},
                 Chunk("JUNK", Samples(3)));
        EXPECT_EQ(LoadWave(slot, Write("beep.wav", beep).c_str()), 1);
        EXPECT_EQ(HeadlessAudioSlot(slot).samples, Samples(1000));
        return dir_ + "beep.wav";
    }
    std::string dir_;
};

TEST_F(SoundTest, DeviceThatCannotBeBuiltSaysWhyInABox) {
    HeadlessAudioFailOpen(AudioNoDevice);
    EXPECT_EQ(CreateSound(), 0);
    HeadlessAudioFailOpen(AudioRefused);
    EXPECT_EQ(CreateSound(), 0);
    EXPECT_EQ(HeadlessRecorded().errorBoxes,
              (Lines{"メッセージ: DirectSoundの構築に失敗しました。",
                     "メッセージ: DirectSoundの協調レベル設定が拒否されました。"}));
}

// Short reads, sizes that lie and formats no buffer can play are all refused without a
// word; only a format that is not PCM says so.
TEST_F(SoundTest, BadFilesAreRefusedAndEmptyTheirSlot) {
    const Bytes fmt = Fmt(1, 1, 22050, 8), sound = Chunk("data", Samples(32));
    const Bytes good = Riff({fmt, sound});
    auto patched = [&](size_t at, uint32_t value) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return b;
    };
    // Size fields: RIFF at 4, format at 16, data at 40; the form name at 8.
    std::vector<Bytes> rows = {
        patched(4, static_cast<uint32_t>(good.size())),
        patched(16, 0x7FFFFFF0u),
        patched(16, 0xFFFFFFFFu),
        patched(40, 33),
        patched(40, 0xFFFFFFF8u),
        patched(8, 0),
        Riff({Chunk("fmt ", Bytes(14, 1)), sound}),
        Riff({fmt, Chunk("data", {})}),
        Riff({fmt}),
        Riff({Fmt(1, 0, 22050, 8), sound}),
        Riff({Fmt(1, 1, 22050, 24), sound}),
        Riff({Fmt(1, 1, 0, 8), sound}),
        Riff({fmt, Chunk("LIST", Samples(32))}),
    };
    for (size_t length = 0; length < good.size(); ++length)
        rows.emplace_back(good.begin(), good.begin() + static_cast<long>(length));
    ASSERT_EQ(CreateSound(), 1);
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(LoadWave(2, Write("good.wav", good).c_str()), 1);
        EXPECT_EQ(LoadWave(2, Write("bad.wav", rows[i]).c_str()), 0) << "row " << i;
        EXPECT_EQ(PlayWave(2, 0), 0) << "row " << i;
    }
    EXPECT_TRUE(Debug().empty());
    const std::string path = Write("float.wav", Riff({Fmt(3, 1, 22050, 32), sound}));
    EXPECT_EQ(LoadWave(5, path.c_str()), 0);
    EXPECT_EQ(Debug(), Lines{"WAVE[" + path + "]はPCMフォーマットではありません。\n"});
    // A name too long to keep for a reload is refused rather than cut.
    EXPECT_EQ(LoadWave(2, (dir_ + std::string(300, 'a') + ".wav").c_str()), 0);
}

TEST_F(SoundTest, PlayRestartsLoopsAndStopsAndEmptySlotsStaySilent) {
    Ready(6);
    EXPECT_EQ(PlayWave(6, 0), 1);
    HeadlessAdvanceClock(400);
    EXPECT_EQ(PlayWave(6, 0), 1);  // from the start again, still one instance
    HeadlessAdvanceClock(900);
    EXPECT_TRUE(HeadlessAudioSounding(6));
    HeadlessAdvanceClock(200);
    EXPECT_FALSE(HeadlessAudioSounding(6));

    EXPECT_EQ(PlayWave(6, 1), 1);
    HeadlessAdvanceClock(60000);
    EXPECT_TRUE(HeadlessAudioSounding(6)) << "a loop sounds until stopped";
    EXPECT_EQ(StopWave(6), 1);
    EXPECT_FALSE(HeadlessAudioSounding(6));
    EXPECT_EQ(PlayWave(6, 2), 1);  // only a loop argument of exactly 1 loops
    EXPECT_FALSE(HeadlessAudioSlot(6).looping);

    for (uint16_t slot : {uint16_t{20}, uint16_t{32}, uint16_t{65535}}) {
        EXPECT_EQ(PlayWave(slot, 0) + StopWave(slot) + SetWaveVolume(slot, 50), 0) << slot;
        ReleaseWave(slot);
    }
    EXPECT_EQ(HeadlessAudioEvents().size(), 5u);  // only slot 6: four starts, one stop
}

TEST_F(SoundTest, LostBufferIsReloadedAndHeardOnTheNextPlay) {
    const std::string path = Ready(7);
    HeadlessAudioLoseBuffer(7);
    EXPECT_EQ(PlayWave(7, 0), 1);
    EXPECT_TRUE(HeadlessAudioEvents().empty()) << "not heard this time";
    EXPECT_EQ(Debug(), Lines{"WAVE[" + path + "]をリロードしました\n"});
    EXPECT_EQ(HeadlessAudioSlot(7).samples, Samples(1000));
    EXPECT_EQ(PlayWave(7, 0), 1);
    EXPECT_EQ(HeadlessAudioEvents().size(), 1u);

    // When the file has gone meanwhile, the slot ends up empty.
    std::remove(path.c_str());
    HeadlessAudioLoseBuffer(7);
    HeadlessClearRecord();
    EXPECT_EQ(PlayWave(7, 0), 1);
    EXPECT_EQ(Debug(), (Lines{"WAVE[" + path + "]のオープンに失敗しました。\n",
                              "WAVE[" + path + "]のリロードに失敗しました\n"}));
    EXPECT_EQ(PlayWave(7, 0), 0);
}

// 0..100 becomes hundredths of a decibel by a square law; its power may land one short.
TEST_F(SoundTest, VolumePanAndFrequencyConversions) {
    Ready(9);
    const struct {
        int32_t in, volume, pan;
    } rows[] = {{101, 0, 10000},  {100, 0, 10000}, {90, -100, 8100},     {50, -2500, 2500},
                {10, -8100, 100}, {0, -10000, 0},  {-50, -10000, -2500}, {-101, -10000, -10000}};
    for (const auto& row : rows) {
        ASSERT_EQ(SetWaveVolume(9, row.in) + SetWavePan(9, row.in), 2);
        EXPECT_NEAR(HeadlessAudioSlot(9).volume, row.volume, 1) << row.in;
        EXPECT_NEAR(HeadlessAudioSlot(9).pan, row.pan, 1) << row.in;
    }
    // Shifts are summed wide, so no shift wraps round into a playable rate.
    const struct {
        int32_t delta;
        uint32_t hz;
    } shifts[] = {{500, 1500}, {-950, 100}, {-1000, 0}, {INT32_MAX, 100000}, {INT32_MIN, 100}};
    for (const auto& row : shifts) {
        ASSERT_EQ(SetWaveFrequency(9, 1000) + ShiftWaveFrequency(9, row.delta), 2);
        EXPECT_EQ(HeadlessAudioSlot(9).frequency, row.hz) << row.delta;
    }
}

// Every fuzz seed loads, plays, and after its buffer is lost reloads to the same samples;
// every input that once crashed the reader is refused.
TEST_F(SoundTest, FuzzInputsLoadPlayAndReloadOrAreRefused) {
    ASSERT_EQ(CreateSound(), 1);
    int seeds = 0;
    for (const std::string& path : FuzzCorpus("fuzz_wave")) {
        SCOPED_TRACE(path);
        if (IsKeptCrash(path)) {
            EXPECT_EQ(LoadWave(3, path.c_str()), 0);
            EXPECT_EQ(PlayWave(3, 0), 0);
            continue;
        }
        ++seeds;
        ASSERT_EQ(LoadWave(3, path.c_str()), 1);
        const Bytes samples = HeadlessAudioSlot(3).samples;
        EXPECT_FALSE(samples.empty());
        EXPECT_EQ(PlayWave(3, 0), 1);
        EXPECT_TRUE(HeadlessAudioSounding(3));
        HeadlessAudioLoseBuffer(3);
        EXPECT_EQ(PlayWave(3, 0), 1);
        EXPECT_EQ(HeadlessAudioSlot(3).samples, samples);
        EXPECT_EQ(PlayWave(3, 0), 1);
        EXPECT_TRUE(HeadlessAudioSounding(3));
    }
    EXPECT_GE(seeds, 4);
}

}  // namespace
