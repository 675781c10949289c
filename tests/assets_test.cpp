// The generated pictures and sounds: the generator runs once into a fresh folder and every
// file the game loads is read back and checked as the game and the player would meet it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "frame/bmp_reader.h"
#include "support/fresh.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// FNV-1a over every file name (relative, sorted) and its bytes. Changes whenever any
// picture or sound changes; update it together with a deliberate change of the artwork.
constexpr uint64_t kExpectedDigest = 0xD7551B42E8BE95DBull;

const char* const kFonts[] = {"font_1/font_1", "font_2/font_2", "font_1/font_3", "font_2/font_4"};
const char kColours[] = "wrygcbp";
const char* const kSounds[] = {"erasing.wav",   "linefall.wav", "lineset.wav",     "newline1.wav",
                               "newline26.wav", "newline3.wav", "newline47.wav",   "newline5.wav",
                               "prerotate.wav", "chissoku.wav", "levelchange.wav", "choice.wav",
                               "select.wav",    "pinch.wav",    "medal.wav"};
constexpr uint32_t kMagenta = 0xFF00FF;  // the fonts' colour key

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const Bytes& b, size_t at) { return ReadU32(b.data() + at); }

// The picture as the game decodes it, if it is the 24-bit uncompressed BMP the generator
// promises; empty otherwise.
DecodedPicture ReadBmp(const fs::path& path) {
    const Bytes b = ReadFile(path);
    DecodedPicture p;
    const bool bmp24 = b.size() >= 54 && ReadU16(b.data() + 28) == 24 && Le32(b, 30) == 0;
    return bmp24 && DecodeBmpFile(b.data(), b.size(), &p) ? p : DecodedPicture{};
}

// The samples of a mono 16-bit 22050 Hz PCM file with a plain header; empty for anything else.
std::vector<int> ReadWave(const fs::path& path) {
    const Bytes b = ReadFile(path);
    std::vector<int> samples;
    // The tags "RIFF", "WAVE", "fmt " and "data" read as little-endian numbers.
    const bool pcm = b.size() >= 44 && Le32(b, 0) == 0x46464952 && Le32(b, 8) == 0x45564157 &&
                     Le32(b, 12) == 0x20746D66 && Le32(b, 36) == 0x61746164 && Le32(b, 16) == 16 &&
                     Le32(b, 20) == 0x10001 && Le32(b, 24) == 22050 && Le32(b, 28) == 44100 &&
                     Le32(b, 32) == 0x100002 && Le32(b, 4) == b.size() - 8 &&
                     Le32(b, 40) == b.size() - 44;
    for (size_t at = 44; pcm && at + 1 < b.size(); at += 2)
        samples.push_back(static_cast<int16_t>(ReadU16(b.data() + at)));
    return samples;
}

// Pixel i, row by row, of a character's cell in a font sheet of 16 cells a row from " ".
uint32_t CellPixel(const DecodedPicture& font, int code, int i) {
    const int cell = font.width / 16, x = (code - 32) % 16 * cell + i % cell;
    const int y = (code - 32) / 16 * cell + i / cell;
    return font.pixels[static_cast<size_t>(y) * font.width + x];
}

// Bright pixels are ink; the dark outline, like the colour key, belongs to the background.
bool IsInk(uint32_t p) {
    const double luminance = 0.2126 * (p >> 16) + 0.7152 * (p >> 8 & 0xFF) + 0.0722 * (p & 0xFF);
    return p != kMagenta && luminance > 80.0;
}

// Enclosed background regions of a glyph: the counters of "0", "8", "B".
int CountHoles(const DecodedPicture& font, char glyph) {
    const int cell = font.width / 16;
    std::vector<bool> seen(static_cast<size_t>(cell) * cell);  // ink counts as seen
    for (int i = 0; i < cell * cell; ++i) seen[i] = IsInk(CellPixel(font, glyph, i));
    // Fills the background region around a pixel; answers whether it reaches the cell's edge.
    const auto fill = [&](auto& self, int x, int y) -> bool {
        if (x < 0 || y < 0 || x >= cell || y >= cell) return true;
        if (seen[y * cell + x]) return false;
        seen[y * cell + x] = true;
        const bool open = self(self, x - 1, y) | self(self, x + 1, y);  // |, not ||: fill it all
        return self(self, x, y - 1) | self(self, x, y + 1) | open;
    };
    int holes = 0;
    for (int i = 0; i < cell * cell; ++i) holes += !seen[i] && !fill(fill, i % cell, i / cell);
    return holes;
}

fs::path GeneratorPath() {
    // Run by hand from build/tests, the generator lies one folder up.
    const char* dir = std::getenv("PLUSRAIL_BINARY_DIR");
    return (dir ? fs::path(dir) : fs::read_symlink("/proc/self/exe").parent_path().parent_path()) /
           "plusrail-assetgen";
}

class AssetsTest : public testing::Test {
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
    static DecodedPicture Bmp(const std::string& n) { return ReadBmp(fs::path(dir_) / "bmp" / n); }
    static std::vector<int> Wave(const char* n) { return ReadWave(fs::path(dir_) / "wave" / n); }
    static inline std::string dir_;
    static inline bool generated_ = false;
};

TEST_F(AssetsTest, EveryCatalogueFileIsWrittenWithItsSizeAndTheSameBytes) {
    std::vector<std::tuple<std::string, int, int>> pictures = {
        {"game/frame.bmp", 640, 480}, {"game/line_x.bmp", 129, 91}, {"game/line_y.bmp", 91, 129}};
    for (const char* stem : kFonts)
        for (const char* c = kColours; *c; ++c)
            pictures.push_back({stem + (*c + std::string(".bmp")), stem[12] > '2' ? 512 : 256,
                                stem[12] > '2' ? 192 : 96});
    for (int tier = 0; tier < 4; ++tier)
        pictures.push_back({"game/medal_" + std::to_string(tier) + ".bmp", 128, 192});
    for (int i = 0; i <= 12; ++i)
        pictures.push_back({"back/back" + std::to_string(100 + i).substr(1) + ".bmp", 640, 480});
    for (const auto& [name, width, height] : pictures) {
        const DecodedPicture p = Bmp(name);
        EXPECT_TRUE(p.width == width && p.height == height)
            << name << ": " << p.width << " x " << p.height;
    }

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

TEST_F(AssetsTest, GlyphsKeepClearOfTheColourKeyAndSitOnTheGrid) {
    for (const char* stem : kFonts)
        for (const char* c = kColours; *c; ++c) {
            const std::string name = stem + (*c + std::string(".bmp"));
            const DecodedPicture font = Bmp(name);
            ASSERT_GT(font.width, 0) << name;
            EXPECT_EQ(font.pixels[0], kMagenta) << name;
            // A 16-bit display compares the key after dropping low bits: ink must differ there.
            const auto asKey = [](uint32_t p) {
                return p != kMagenta && (p & 0xF8FCF8) == (kMagenta & 0xF8FCF8);
            };
            EXPECT_EQ(std::count_if(font.pixels.begin(), font.pixels.end(), asKey), 0) << name;
            const int cellPixels = font.width / 16 * (font.width / 16);
            for (int code = 32; code < 128; ++code) {
                bool ink = false;
                for (int i = 0; i < cellPixels; ++i) ink |= IsInk(CellPixel(font, code, i));
                EXPECT_EQ(ink, code != ' ' && code != 127) << name << " code " << code;
            }
            // Counters tell the glyphs apart: "0" at row 1 column 0, "8" two before ":".
            if (*c != 'w' && *c != 'y') continue;
            for (auto [glyph, holes] : {std::pair{'0', 1}, {'1', 0}, {'8', 2}, {'A', 1}, {'B', 2}})
                EXPECT_EQ(CountHoles(font, glyph), holes) << name << " '" << glyph << "'";
        }
}

TEST_F(AssetsTest, SoundsStartAndEndInSilenceAndErasingLoopsSeamlessly) {
    for (const char* name : kSounds) {
        const std::vector<int> s = Wave(name);
        ASSERT_GT(s.size(), 22050u / 50) << name;
        EXPECT_LE(std::abs(s.front()), 64) << name << " clicks as it starts";
        if (std::string(name) == "erasing.wav") continue;  // it loops instead
        EXPECT_EQ(s.back(), 0) << name;
        for (size_t i = s.size() - 22; i < s.size(); ++i) EXPECT_LE(std::abs(s[i]), 200) << name;
    }
    // Looped, erasing.wav jumps from its last sample back to its first by no more than the
    // steps it takes anyway around its start and end.
    const std::vector<int> s = Wave("erasing.wav");
    int step = 0;
    for (size_t i = 1, n = s.size(); i < 64; ++i)
        step = std::max({step, std::abs(s[i] - s[i - 1]), std::abs(s[n - i] - s[n - i - 1])});
    EXPECT_LE(std::abs(s.back() - s.front()), step);
}

}  // namespace
