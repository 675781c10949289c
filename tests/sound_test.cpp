#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "sound/sound.h"
#include "support/fresh.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutId(Bytes& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}
void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A chunk whose size field says `size` (the body as given, however long it really is).
Bytes ChunkSized(const char* id, uint32_t size, const Bytes& body) {
    Bytes out;
    PutId(out, id);
    Put32(out, size);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}
Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out = ChunkSized(id, static_cast<uint32_t>(body.size()), body);
    if (body.size() % 2) out.push_back(0);
    return out;
}

Bytes FormatBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes out;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    Put16(out, tag);
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * align);
    Put16(out, align);
    Put16(out, bits);
    return out;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
    Bytes body;
    PutId(body, "WAVE");
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return ChunkSized("RIFF", static_cast<uint32_t>(body.size()), body);
}

Bytes Samples(size_t count, uint8_t first) {
    Bytes out(count);
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(first + i * 7);
    return out;
}

Bytes PcmWave(uint16_t channels, uint16_t bits, const Bytes& data, uint32_t rate = 22050) {
    return Riff({Chunk("fmt ", FormatBody(1, channels, rate, bits)), Chunk("data", data)});
}

class SoundTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        std::string pattern = testing::TempDir() + "sound_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern + "/";
    }

    std::string Write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir_ + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return path;
    }

    // A device and a one-second 8-bit mono sound at 1000 Hz in the slot.
    std::string Ready(uint16_t slot) {
        EXPECT_EQ(CreateSound(), 1);
        const std::string path = Write("beep" + std::to_string(slot) + ".wav",
                                       PcmWave(1, 8, Samples(1000, 3), 1000));
        EXPECT_EQ(LoadWave(slot, path.c_str()), 1);
        return path;
    }

    static const std::vector<std::string>& Lines() { return HeadlessRecorded().debugLines; }

    std::string dir_;
};

struct Traced {
    WaveOp op;
    uint16_t slot;
    int32_t loop, result;
};
std::vector<Traced> g_traced;
void Trace(WaveOp op, uint16_t slot, int32_t loop, int32_t result) {
    g_traced.push_back({op, slot, loop, result});
}

}  // namespace

TEST_F(SoundTest, DeviceThatCannotBeBuiltEndsStartUpWithItsBox) {
    const struct {
        int32_t answer;
        const char* box;
    } rows[] = {
        {AudioNoDevice, "メッセージ: DirectSoundの構築に失敗しました。"},
        {AudioRefused, "メッセージ: DirectSoundの協調レベル設定が拒否されました。"},
    };
    for (const auto& row : rows) {
        FreshProcess();
        HeadlessAudioFailOpen(row.answer);
        EXPECT_EQ(CreateSound(), 0);
        EXPECT_FALSE(HeadlessAudioIsOpen());
        ASSERT_EQ(HeadlessRecorded().errorBoxes.size(), 1u);
        EXPECT_EQ(HeadlessRecorded().errorBoxes[0], row.box);
    }
    FreshProcess();
    EXPECT_EQ(CreateSound(), 1);
    EXPECT_TRUE(HeadlessAudioIsOpen());
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
}

TEST_F(SoundTest, PcmLayoutsLoadTheirSamplesWhole) {
    const struct {
        uint16_t channels, bits;
        uint32_t rate;
    } rows[] = {{1, 8, 11025}, {2, 8, 22050}, {1, 16, 44100}, {2, 16, 8000}};
    ASSERT_EQ(CreateSound(), 1);
    uint16_t slot = 0;
    for (const auto& row : rows) {
        const Bytes data = Samples(row.channels * row.bits / 8 * 50u, static_cast<uint8_t>(slot));
        const std::string path = Write("pcm" + std::to_string(slot) + ".wav",
                                       PcmWave(row.channels, row.bits, data, row.rate));
        EXPECT_EQ(LoadWave(slot, path.c_str()), 1) << path;
        const HeadlessWaveSlot& wave = HeadlessAudioSlot(slot);
        ASSERT_TRUE(wave.hasBuffer);
        EXPECT_EQ(wave.format.channels, row.channels);
        EXPECT_EQ(wave.format.bitsPerSample, row.bits);
        EXPECT_EQ(wave.format.samplesPerSecond, row.rate);
        EXPECT_EQ(wave.format.blockAlign, row.channels * row.bits / 8);
        EXPECT_EQ(wave.samples, data);
        ++slot;
    }
    EXPECT_TRUE(Lines().empty());
}

TEST_F(SoundTest, ChunkLayoutsTheRiffReaderAccepts) {
    const Bytes data = Samples(64, 9);
    const Bytes fmt = FormatBody(1, 1, 22050, 8);
    Bytes fmt18 = fmt;
    Put16(fmt18, 0);
    const std::vector<Bytes> files = {
        // An 18-byte format chunk with its extra size.
        Riff({Chunk("fmt ", fmt18), Chunk("data", data)}),
        // Whatever the first chunk is called, it is read as the format.
        Riff({Chunk("abcd", fmt), Chunk("data", data)}),
        // Chunks between the format and the data, one of odd length with its pad byte.
        Riff({Chunk("fmt ", fmt), Chunk("fact", Samples(4, 0)), Chunk("LIST", Samples(5, 1)),
              Chunk("data", data)}),
        // Another chunk before the RIFF chunk at the top level.
        [&] {
            Bytes b = Chunk("JUNK", Samples(6, 2));
            const Bytes r = Riff({Chunk("fmt ", fmt), Chunk("data", data)});
            b.insert(b.end(), r.begin(), r.end());
            return b;
        }(),
    };
    ASSERT_EQ(CreateSound(), 1);
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string path = Write("layout" + std::to_string(i) + ".wav", files[i]);
        EXPECT_EQ(LoadWave(3, path.c_str()), 1) << "layout " << i;
        EXPECT_EQ(HeadlessAudioSlot(3).samples, data) << "layout " << i;
    }
}

TEST_F(SoundTest, NonPcmFormatIsRefusedByName) {
    ASSERT_EQ(CreateSound(), 1);
    const std::string path =
        Write("float.wav", Riff({Chunk("fmt ", FormatBody(3, 1, 22050, 32)),
                                 Chunk("data", Samples(64, 0))}));
    EXPECT_EQ(LoadWave(5, path.c_str()), 0);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], "WAVE[" + path + "]はPCMフォーマットではありません。\n");
    EXPECT_FALSE(HeadlessAudioSlot(5).hasBuffer);
    EXPECT_EQ(PlayWave(5, 0), 0);
}

TEST_F(SoundTest, EveryTruncationOfAWaveIsRefusedQuietly) {
    ASSERT_EQ(CreateSound(), 1);
    const Bytes whole = PcmWave(2, 16, Samples(40, 1));
    for (size_t length = 0; length < whole.size(); ++length) {
        const std::string path =
            Write("cut.wav", Bytes(whole.begin(), whole.begin() + static_cast<long>(length)));
        EXPECT_EQ(LoadWave(1, path.c_str()), 0) << "cut at " << length;
        EXPECT_FALSE(HeadlessAudioSlot(1).hasBuffer);
    }
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(LoadWave(1, Write("whole.wav", whole).c_str()), 1);
}

TEST_F(SoundTest, LyingAndEmptyChunksAreRefused) {
    const Bytes fmt = FormatBody(1, 1, 22050, 8);
    const Bytes data = Samples(32, 4);
    const Bytes good = PcmWave(1, 8, data);
    auto patched = [&](size_t at, uint32_t value) {
        Bytes b = good;
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
        return b;
    };
    // Offsets in the plain layout: RIFF size 4, fmt size 16, data size 40.
    const struct {
        const char* what;
        Bytes bytes;
    } rows[] = {
        {"RIFF size past the end", patched(4, static_cast<uint32_t>(good.size()))},
        {"RIFF size negative", patched(4, 0x80000000u)},
        {"format size past the RIFF", patched(16, 0x7FFFFFF0u)},
        {"format size all ones", patched(16, 0xFFFFFFFFu)},
        {"format record cut short", Riff({Chunk("fmt ", Bytes(fmt.begin(), fmt.begin() + 14)),
                                          Chunk("data", data)})},
        {"data size past the end", patched(40, 33)},
        {"data size negative", patched(40, 0xFFFFFFF8u)},
        {"no data at all", Riff({Chunk("fmt ", fmt), Chunk("data", {})})},
        {"too few bytes for one buffer", Riff({Chunk("fmt ", fmt), Chunk("data", Samples(2, 0))})},
        {"no data chunk", Riff({Chunk("fmt ", fmt), Chunk("LIST", data)})},
        {"not a WAVE form", [&] { Bytes b = good; b[8] = 'A'; return b; }()},
        {"no RIFF chunk", Chunk("LIST", data)},
        {"no channels", Riff({Chunk("fmt ", FormatBody(1, 0, 22050, 8)), Chunk("data", data)})},
        {"24-bit samples", Riff({Chunk("fmt ", FormatBody(1, 1, 22050, 24)), Chunk("data", data)})},
        {"zero sample rate", Riff({Chunk("fmt ", FormatBody(1, 1, 0, 8)), Chunk("data", data)})},
    };
    ASSERT_EQ(CreateSound(), 1);
    for (const auto& row : rows) {
        // A sound already in the slot is gone even though the new one fails.
        ASSERT_EQ(LoadWave(2, Write("good.wav", good).c_str()), 1);
        EXPECT_EQ(LoadWave(2, Write("bad.wav", row.bytes).c_str()), 0) << row.what;
        EXPECT_FALSE(HeadlessAudioSlot(2).hasBuffer) << row.what;
        EXPECT_EQ(PlayWave(2, 0), 0) << row.what;
    }
    EXPECT_TRUE(Lines().empty());
}

TEST_F(SoundTest, NamesThatCannotBeOpened) {
    ASSERT_EQ(CreateSound(), 1);
    const std::string missing = dir_ + "missing.wav";
    const std::string folder = dir_ + "folder.wav";
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    const std::string tooLong = dir_ + std::string(300, 'a') + ".wav";
    // A name without a dot is a program resource, never a file, even when such a file exists.
    Write("erasing", PcmWave(1, 8, Samples(16, 0)));
    const std::string resource = "erasing";
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    for (const std::string& name : {missing, folder, resource, tooLong}) {
        HeadlessClearRecord();
        EXPECT_EQ(LoadWave(4, name.c_str()), 0) << name;
        EXPECT_FALSE(HeadlessAudioSlot(4).hasBuffer);
        ASSERT_EQ(Lines().size(), 1u);
        // Debug lines are cut to 255 characters; the front of the text shows which name failed.
        const std::string expected = "WAVE[" + name + "]のオープンに失敗しました。\n";
        EXPECT_EQ(Lines()[0], expected.substr(0, 255)) << name;
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(LoadWave(kWaveSlots, missing.c_str()), 0);
}

TEST_F(SoundTest, PlayRestartsStopsAndLoops) {
    Ready(6);
    SetWaveTrace(Trace);
    g_traced.clear();
    EXPECT_EQ(PlayWave(6, 0), 1);
    HeadlessAdvanceClock(400);
    EXPECT_TRUE(HeadlessAudioSounding(6));
    // Played again while sounding: back to the start, still one instance.
    EXPECT_EQ(PlayWave(6, 0), 1);
    EXPECT_EQ(HeadlessAudioSlot(6).starts, 2);
    HeadlessAdvanceClock(900);
    EXPECT_TRUE(HeadlessAudioSounding(6));   // 900 ms into the restarted second
    HeadlessAdvanceClock(200);
    EXPECT_FALSE(HeadlessAudioSounding(6));

    // Looping keeps sounding until stopped; the next plain play sounds once again.
    EXPECT_EQ(PlayWave(6, 1), 1);
    HeadlessAdvanceClock(60000);
    EXPECT_TRUE(HeadlessAudioSounding(6));
    EXPECT_EQ(StopWave(6), 1);
    EXPECT_FALSE(HeadlessAudioSounding(6));
    EXPECT_EQ(PlayWave(6, 0), 1);
    EXPECT_FALSE(HeadlessAudioSlot(6).looping);
    HeadlessAdvanceClock(1100);
    EXPECT_FALSE(HeadlessAudioSounding(6));
    // Only a loop argument of exactly 1 loops.
    EXPECT_EQ(PlayWave(6, 2), 1);
    EXPECT_FALSE(HeadlessAudioSlot(6).looping);

    const std::vector<std::pair<WaveOp, int32_t>> expected = {
        {WaveOpPlay, 0}, {WaveOpPlay, 0}, {WaveOpPlay, 1}, {WaveOpStop, 0},
        {WaveOpPlay, 0}, {WaveOpPlay, 2}};
    ASSERT_EQ(g_traced.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(g_traced[i].op, expected[i].first);
        EXPECT_EQ(g_traced[i].loop, expected[i].second);
        EXPECT_EQ(g_traced[i].slot, 6);
        EXPECT_EQ(g_traced[i].result, 1);
    }
}

TEST_F(SoundTest, EmptyAndOutOfRangeSlotsStaySilent) {
    Ready(0);
    SetWaveTrace(Trace);
    g_traced.clear();
    for (uint16_t slot : {uint16_t{20}, uint16_t{31}, uint16_t{32}, uint16_t{65535}}) {
        EXPECT_EQ(PlayWave(slot, 0), 0) << slot;
        EXPECT_EQ(StopWave(slot), 0) << slot;
        EXPECT_EQ(SetWaveVolume(slot, 50), 0) << slot;
        EXPECT_EQ(SetWavePan(slot, 50), 0) << slot;
        EXPECT_EQ(SetWaveFrequency(slot, 8000), 0) << slot;
        EXPECT_EQ(ShiftWaveFrequency(slot, 100), 0) << slot;
    }
    EXPECT_TRUE(HeadlessAudioEvents().empty());
    ASSERT_EQ(g_traced.size(), 8u);
    for (const Traced& t : g_traced) EXPECT_EQ(t.result, 0);
    EXPECT_EQ(g_traced[4].slot, 32);
}

TEST_F(SoundTest, LostBufferIsReloadedAndHeardOnTheNextPlay) {
    const std::string path = Ready(7);
    const Bytes samples = HeadlessAudioSlot(7).samples;
    HeadlessAudioLoseBuffer(7);
    EXPECT_EQ(PlayWave(7, 0), 1);
    EXPECT_TRUE(HeadlessAudioEvents().empty());   // not heard this time
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], "WAVE[" + path + "]をリロードしました\n");
    EXPECT_EQ(HeadlessAudioSlot(7).samples, samples);
    EXPECT_EQ(PlayWave(7, 0), 1);
    ASSERT_EQ(HeadlessAudioEvents().size(), 1u);
    EXPECT_EQ(HeadlessAudioEvents()[0].slot, 7);

    // When the file has gone meanwhile, the slot ends up empty.
    std::remove(path.c_str());
    HeadlessAudioLoseBuffer(7);
    HeadlessClearRecord();
    EXPECT_EQ(PlayWave(7, 0), 1);
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[0], "WAVE[" + path + "]のオープンに失敗しました。\n");
    EXPECT_EQ(Lines()[1], "WAVE[" + path + "]のリロードに失敗しました\n");
    EXPECT_EQ(PlayWave(7, 0), 0);
}

TEST_F(SoundTest, VolumeAndPanBecomeHundredthsOfADecibel) {
    Ready(9);
    // The ends of the scales are exact.
    ASSERT_EQ(SetWaveVolume(9, 100), 1);
    EXPECT_EQ(HeadlessAudioSlot(9).volume, 0);
    ASSERT_EQ(SetWaveVolume(9, 0), 1);
    EXPECT_EQ(HeadlessAudioSlot(9).volume, -10000);
    ASSERT_EQ(SetWavePan(9, -100), 1);
    EXPECT_EQ(HeadlessAudioSlot(9).pan, -10000);
    ASSERT_EQ(SetWavePan(9, 100), 1);
    EXPECT_EQ(HeadlessAudioSlot(9).pan, 10000);
    // In between, the power law may land on the square or one below it.
    const struct {
        int32_t in, out;
    } volumes[] = {{100, 0}, {0, -10000}, {101, 0}, {-1, -10000}, {50, -2500}, {90, -100}};
    for (const auto& row : volumes) {
        EXPECT_EQ(SetWaveVolume(9, row.in), 1);
        EXPECT_GE(HeadlessAudioSlot(9).volume, row.out) << row.in;
        EXPECT_LE(HeadlessAudioSlot(9).volume, row.out == 0 ? 0 : row.out + 1) << row.in;
    }
    const struct {
        int32_t in, out;
    } pans[] = {{-100, -10000}, {100, 10000}, {0, 0}, {150, 10000}, {-150, -10000},
                {10, 100},      {-50, -2500}};
    for (const auto& row : pans) {
        EXPECT_EQ(SetWavePan(9, row.in), 1);
        const int32_t size = row.out < 0 ? -HeadlessAudioSlot(9).pan : HeadlessAudioSlot(9).pan;
        const int32_t want = row.out < 0 ? -row.out : row.out;
        EXPECT_LE(size, want) << row.in;
        EXPECT_GE(size, want - 1) << row.in;
        EXPECT_EQ(HeadlessAudioSlot(9).pan < 0, row.out < 0) << row.in;
    }
}

TEST_F(SoundTest, FrequencyIsClampedToThePlayableRange) {
    Ready(10);   // a 1000 Hz sound
    const struct {
        uint32_t in, out;
    } sets[] = {{0, 0}, {1, 100}, {99, 100}, {100, 100}, {44100, 44100}, {100001, 100000},
                {0xFFFFFFFFu, 100000}};
    for (const auto& row : sets) {
        EXPECT_EQ(SetWaveFrequency(10, row.in), 1);
        EXPECT_EQ(HeadlessAudioSlot(10).frequency, row.out) << row.in;
    }
    ASSERT_EQ(SetWaveFrequency(10, 0), 1);
    const struct {
        int32_t delta;
        uint32_t out;
    } shifts[] = {{500, 1500}, {-1450, 100}, {-1000, 0}, {INT32_MAX, 100000}, {INT32_MIN, 100}};
    for (const auto& row : shifts) {
        ASSERT_EQ(SetWaveFrequency(10, 1000), 1);
        EXPECT_EQ(ShiftWaveFrequency(10, row.delta), 1);
        EXPECT_EQ(HeadlessAudioSlot(10).frequency, row.out) << row.delta;
    }
}

TEST_F(SoundTest, ReleaseEmptiesEverySlotAndClosesTheDevice) {
    Ready(0);
    const std::string path = Write("b.wav", PcmWave(1, 8, Samples(8, 0)));
    ASSERT_EQ(LoadWave(31, path.c_str()), 1);
    ReleaseWave(31);
    EXPECT_FALSE(HeadlessAudioSlot(31).hasBuffer);
    EXPECT_EQ(PlayWave(31, 0), 0);
    ReleaseWave(32);   // out of range: nothing happens
    ReleaseSound();
    EXPECT_FALSE(HeadlessAudioIsOpen());
    EXPECT_FALSE(HeadlessAudioSlot(0).hasBuffer);
    EXPECT_EQ(PlayWave(0, 0), 0);
    // Without a device nothing can be loaded.
    EXPECT_EQ(LoadWave(0, path.c_str()), 0);
    EXPECT_FALSE(HeadlessAudioSlot(0).hasBuffer);
}
