// The generated pictures and sounds: the generator runs once into a fresh folder and every
// file the game loads is read back and checked as the game and the player would meet it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/fresh.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// FNV-1a over every file name (relative, sorted) and its bytes. Changes whenever any
// picture or sound changes; update it together with a deliberate change of the artwork.
constexpr uint64_t kExpectedDigest = 0x54711A4B9CC6F55Full;

const char* const kFonts[] = {"font_1/font_1", "font_2/font_2", "font_1/font_3", "font_2/font_4"};
const char kColours[] = "wrygcbp";
const char* const kSounds[] = {"erasing.wav", "linefall.wav", "lineset.wav", "newline1.wav",
                               "newline26.wav", "newline3.wav", "newline47.wav", "newline5.wav",
                               "prerotate.wav", "chissoku.wav", "levelchange.wav", "choice.wav",
                               "select.wav", "pinch.wav", "medal.wav"};

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Picture {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgb key() const { return at(0, 0); }
};

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le(const Bytes& b, size_t at, int n = 4) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + i];
    return v;
}

// The 24-bit, bottom-up, uncompressed form the generator promises; empty for anything else.
Picture ReadBmp(const fs::path& path) {
    const Bytes b = ReadFile(path);
    Picture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || Le(b, 2) != b.size() || Le(b, 10) != 54 ||
        Le(b, 14) != 40 || Le(b, 26) != (1u | 24u << 16) || Le(b, 30) != 0)
        return p;
    const int w = static_cast<int32_t>(Le(b, 18)), h = static_cast<int32_t>(Le(b, 22));
    const size_t row = (static_cast<size_t>(w) * 3 + 3) & ~size_t{3};
    if (w <= 0 || h <= 0 || b.size() != 54 + row * h) return p;
    p.width = w;
    p.height = h;
    for (int y = 0; y < h; ++y)
        for (size_t at = 54 + row * (h - 1 - y), x = 0; x < static_cast<size_t>(w); ++x, at += 3)
            p.pixels.push_back({b[at + 2], b[at + 1], b[at]});
    return p;
}

// The samples of a mono 16-bit 22050 Hz PCM file with a plain header; empty for anything else.
std::vector<int> ReadWave(const fs::path& path) {
    const Bytes b = ReadFile(path);
    std::vector<int> samples;
    // The tags "RIFF", "WAVE", "fmt " and "data" read as little-endian numbers.
    const bool pcm = b.size() >= 44 && Le(b, 0) == 0x46464952 && Le(b, 8) == 0x45564157 &&
                     Le(b, 12) == 0x20746D66 && Le(b, 36) == 0x61746164 && Le(b, 16) == 16 &&
                     Le(b, 4) == b.size() - 8 && Le(b, 40) == b.size() - 44 && Le(b, 24) == 22050 &&
                     Le(b, 20) == 0x10001 && Le(b, 28) == 44100 && Le(b, 32) == 0x100002;
    for (size_t at = 44; pcm && at + 1 < b.size(); at += 2)
        samples.push_back(static_cast<int16_t>(Le(b, at, 2)));
    return samples;
}

double Luminance(Rgb c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

// Summed luminance of the pixels of a rectangle that are not the colour key.
double Light(const Picture& p, int left, int top, int w, int h) {
    double sum = 0.0;
    for (int y = top; y < top + h; ++y)
        for (int x = left; x < left + w; ++x)
            if (!(p.at(x, y) == p.key())) sum += Luminance(p.at(x, y));
    return sum;
}

// Enclosed background regions of a glyph (the counters of "0", "8", "B"): bright pixels
// are ink, the dark outline belongs to the background.
int CountHoles(const Picture& font, char glyph) {
    const int cell = font.width / 16, g = glyph - 32;
    const auto ink = [&](int i) {
        const Rgb p = font.at(g % 16 * cell + i % cell, g / 16 * cell + i / cell);
        return Luminance(p) > 80.0 && !(p == font.key());
    };
    std::vector<bool> seen(static_cast<size_t>(cell) * cell);
    int holes = 0;
    for (int start = 0; start < cell * cell; ++start) {
        if (seen[start] || ink(start)) continue;
        bool open = false;
        std::vector<int> stack{start};
        seen[start] = true;
        while (!stack.empty()) {
            const int i = stack.back(), x = i % cell, y = i / cell;
            stack.pop_back();
            open |= x == 0 || y == 0 || x == cell - 1 || y == cell - 1;
            const int next[4] = {x > 0 ? i - 1 : i, x < cell - 1 ? i + 1 : i, y > 0 ? i - cell : i,
                                 y < cell - 1 ? i + cell : i};
            for (int n : next) {
                if (seen[n] || ink(n)) continue;
                seen[n] = true;
                stack.push_back(n);
            }
        }
        holes += !open;
    }
    return holes;
}

fs::path GeneratorPath() {
    // Run by hand from build/tests, the generator lies one folder up.
    const char* dir = std::getenv("PLUSRAIL_BINARY_DIR");
    return (dir ? fs::path(dir) : fs::read_symlink("/proc/self/exe").parent_path().parent_path()) /
           "plusrail-assetgen";
}

class Assets : public testing::Test {
protected:
    // One run of the generator serves every case of the process.
    static void SetUpTestSuite() {
        dir_ = testing::TempDir() + "plusrail-assets-XXXXXX";
        if (mkdtemp(dir_.data()) == nullptr) return;
        const std::string command = "\"" + GeneratorPath().string() + "\" \"" + dir_ + "\"";
        generated_ = std::system((command + " 2>/dev/null").c_str()) == 0;
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    void SetUp() override {
        FreshProcess();
        ASSERT_TRUE(generated_) << "could not run " << GeneratorPath();
    }
    static Picture Bmp(const std::string& name) { return ReadBmp(fs::path(dir_) / "bmp" / name); }
    static std::vector<int> Wave(const char* n) { return ReadWave(fs::path(dir_) / "wave" / n); }
    static inline std::string dir_;
    static inline bool generated_ = false;
};

TEST_F(Assets, EveryCatalogueFileIsWrittenWithItsSizeAndTheSameBytes) {
    struct Expected {
        std::string name;
        int width, height;
    };
    std::vector<Expected> pictures = {{"game/frame.bmp", 640, 480}, {"game/line_x.bmp", 129, 91},
                                      {"game/line_y.bmp", 91, 129}};
    for (const char* stem : kFonts)
        for (const char* c = kColours; *c; ++c)
            pictures.push_back({stem + (*c + std::string(".bmp")), stem[12] > '2' ? 512 : 256,
                                stem[12] > '2' ? 192 : 96});
    for (int tier = 0; tier < 4; ++tier)
        pictures.push_back({"game/medal_" + std::to_string(tier) + ".bmp", 128, 192});
    for (int i = 0; i <= 12; ++i)
        pictures.push_back({"back/back" + std::to_string(100 + i).substr(1) + ".bmp", 640, 480});
    for (const Expected& e : pictures) {
        const Picture p = Bmp(e.name);
        EXPECT_TRUE(p.width == e.width && p.height == e.height)
            << e.name << ": " << p.width << " x " << p.height;
    }
    for (const char* name : kSounds) EXPECT_FALSE(Wave(name).empty()) << name;

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), dir_));
    EXPECT_EQ(files.size(), pictures.size() + std::size(kSounds)) << "no stray files";
    std::sort(files.begin(), files.end());
    uint64_t digest = 0xCBF29CE484222325ull;
    const auto feed = [&](uint8_t byte) { digest = (digest ^ byte) * 0x100000001B3ull; };
    for (const fs::path& file : files) {
        for (char c : file.generic_string()) feed(static_cast<uint8_t>(c));
        feed(0);
        for (uint8_t byte : ReadFile(fs::path(dir_) / file)) feed(byte);
    }
    EXPECT_EQ(digest, kExpectedDigest) << std::hex << "digest 0x" << digest;
}

TEST_F(Assets, GlyphsKeepClearOfTheColourKeyAndSitOnTheGrid) {
    for (const char* stem : kFonts)
        for (const char* c = kColours; *c; ++c) {
            const std::string name = stem + (*c + std::string(".bmp"));
            const Picture font = Bmp(name);
            ASSERT_GT(font.width, 0) << name;
            EXPECT_EQ(font.key(), (Rgb{255, 0, 255})) << name;
            // A 16-bit display compares the key after dropping low bits: ink must differ there.
            const auto asKey = [&](Rgb p) {
                return !(p == font.key()) && p.r >> 3 == 31 && p.g >> 2 == 0 && p.b >> 3 == 31;
            };
            EXPECT_EQ(std::count_if(font.pixels.begin(), font.pixels.end(), asKey), 0) << name;
            const int cell = font.width / 16;
            for (int code = 32; code < 128; ++code) {
                const int left = (code - 32) % 16 * cell, top = (code - 32) / 16 * cell;
                EXPECT_EQ(Light(font, left, top, cell, cell) > 0.0, code != 32 && code != 127)
                    << name << " code " << code;
            }
            // Counters tell the glyphs apart: "0" at row 1 column 0, "8" two before ":".
            if (*c != 'w' && *c != 'y') continue;
            for (auto [glyph, holes] : {std::pair{'0', 1}, {'1', 0}, {'8', 2}, {'A', 1}, {'B', 2}})
                EXPECT_EQ(CountHoles(font, glyph), holes) << name << " '" << glyph << "'";
        }
}

TEST_F(Assets, LineSheetShadowsAreFainterThanTheLines) {
    const Picture x = Bmp("game/line_x.bmp"), y = Bmp("game/line_y.bmp");
    ASSERT_TRUE(x.width == 129 && y.width == 91);
    for (int row = 0; row < 129; ++row)
        for (int column = 0; column < 91; ++column)
            ASSERT_EQ(y.at(column, row), x.at(row, column)) << "line_y is line_x turned";
    // Images of 33 x 11 on a grid of 32 x 10: column 2 the settled lines of colours 1..8,
    // column 3 their shadows.
    for (int colour = 1; colour <= 8; ++colour) {
        EXPECT_GT(Light(x, 64, 10 * colour, 33, 11), 0.0) << colour;
        EXPECT_LT(Light(x, 96, 10 * colour, 33, 11), 0.6 * Light(x, 64, 10 * colour, 33, 11))
            << colour;
    }
}

TEST_F(Assets, SoundsStartAndEndInSilenceAndErasingLoopsSeamlessly) {
    for (const char* name : kSounds) {
        const std::vector<int> s = Wave(name);
        ASSERT_GT(s.size(), 22050u / 50) << name;
        int peak = 0;
        for (int v : s) peak = std::max(peak, std::abs(v));
        EXPECT_TRUE(peak > 32767 / 3 && peak < 32767 * 95 / 100) << name << " peaks at " << peak;
        EXPECT_LE(std::abs(s.front()), 64) << name << " clicks as it starts";
        if (std::string(name) != "erasing.wav") {
            EXPECT_EQ(s.back(), 0) << name;
            for (size_t i = s.size() - 22; i < s.size(); ++i) EXPECT_LE(std::abs(s[i]), 200) << i;
            continue;
        }
        // Looped: the jump from the last sample back to the first is no larger than the steps
        // the sound takes anyway around its start and end.
        int step = 0;
        for (size_t i = 1, n = s.size(); i < 64; ++i)
            step = std::max({step, std::abs(s[i] - s[i - 1]), std::abs(s[n - i] - s[n - i - 1])});
        EXPECT_LE(std::abs(s.back() - s.front()), step) << name;
    }
}

}  // namespace
