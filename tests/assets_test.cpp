// The generated pictures and sounds: the generator is run into a fresh folder and every file
// the game loads is read back and checked as the game and the player would meet it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/fresh.h"

namespace {

namespace fs = std::filesystem;

// FNV-1a over every file name (relative, sorted) and its bytes. Changes whenever any
// picture or sound changes; update it together with a deliberate change of the artwork.
constexpr uint64_t kExpectedDigest = 0x0149E017B752DEB4ull;

const char kColourSuffixes[] = "wrygcbp";

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

struct Bmp {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgb key() const { return at(0, 0); }
};

struct Wave {
    int formatTag = 0, channels = 0, sampleRate = 0, bitsPerSample = 0;
    std::vector<int> samples;
};

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// Reads the 24-bit bottom-up uncompressed form the generator promises, and nothing else.
Bmp ReadBmp(const fs::path& path) {
    const std::vector<uint8_t> b = ReadFile(path);
    Bmp bmp;
    EXPECT_GE(b.size(), 54u) << path;
    if (b.size() < 54) return bmp;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size()) << path;
    EXPECT_EQ(Le32(b, 10), 54u) << path;
    EXPECT_EQ(Le32(b, 14), 40u) << path;
    const int32_t width = static_cast<int32_t>(Le32(b, 18));
    const int32_t height = static_cast<int32_t>(Le32(b, 22));
    EXPECT_EQ(Le16(b, 26), 1) << path;
    EXPECT_EQ(Le16(b, 28), 24) << path;
    EXPECT_EQ(Le32(b, 30), 0u) << path;
    EXPECT_GT(height, 0) << path << " must be stored bottom-up";
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    EXPECT_EQ(b.size(), 54 + rowBytes * height) << path;
    if (width <= 0 || height <= 0 || b.size() != 54 + rowBytes * height) return bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = 54 + rowBytes * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const size_t p = row + 3 * x;
            bmp.pixels[static_cast<size_t>(y) * width + x] = {b[p + 2], b[p + 1], b[p]};
        }
    }
    return bmp;
}

Wave ReadWave(const fs::path& path) {
    const std::vector<uint8_t> b = ReadFile(path);
    Wave wave;
    EXPECT_GE(b.size(), 44u) << path;
    if (b.size() < 44) return wave;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8) << path;
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 16u);
    wave.formatTag = Le16(b, 20);
    wave.channels = Le16(b, 22);
    wave.sampleRate = static_cast<int>(Le32(b, 24));
    EXPECT_EQ(Le32(b, 28), static_cast<uint32_t>(wave.sampleRate * 2)) << path;
    EXPECT_EQ(Le16(b, 32), 2) << path;
    wave.bitsPerSample = Le16(b, 34);
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const uint32_t dataBytes = Le32(b, 40);
    EXPECT_EQ(dataBytes, b.size() - 44) << path;
    if (dataBytes != b.size() - 44) return wave;
    for (size_t at = 44; at + 1 < b.size(); at += 2) wave.samples.push_back(static_cast<int16_t>(Le16(b, at)));
    return wave;
}

// What a 16-bit display does with a colour before comparing it with the key.
bool SameOn16Bit(Rgb a, Rgb b) { return a.r >> 3 == b.r >> 3 && a.g >> 2 == b.g >> 2 && a.b >> 3 == b.b >> 3; }

double Luminance(Rgb c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }
int Chroma(Rgb c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

struct Cut {
    int x, y, w, h;
};

int CountInk(const Bmp& bmp, Cut c) {
    int ink = 0;
    for (int y = c.y; y < c.y + c.h; ++y) {
        for (int x = c.x; x < c.x + c.w; ++x) ink += !(bmp.at(x, y) == bmp.key());
    }
    return ink;
}

double MeanLuminanceOfInk(const Bmp& bmp, Cut c) {
    double sum = 0.0;
    int n = 0;
    for (int y = c.y; y < c.y + c.h; ++y) {
        for (int x = c.x; x < c.x + c.w; ++x) {
            if (bmp.at(x, y) == bmp.key()) continue;
            sum += Luminance(bmp.at(x, y));
            ++n;
        }
    }
    return n == 0 ? 0.0 : sum / n;
}

// Enclosed background regions of a glyph: the counters of "0", "8", "A"...
// Bright pixels are ink; the dark outline belongs to the background here.
int CountHoles(const Bmp& bmp, Cut c) {
    std::vector<int> seen(static_cast<size_t>(c.w) * c.h, 0);
    auto ink = [&](int x, int y) { return Luminance(bmp.at(c.x + x, c.y + y)) > 80.0 && !(bmp.at(c.x + x, c.y + y) == bmp.key()); };
    int holes = 0;
    for (int sy = 0; sy < c.h; ++sy) {
        for (int sx = 0; sx < c.w; ++sx) {
            if (seen[sy * c.w + sx] || ink(sx, sy)) continue;
            bool touchesEdge = false;
            std::vector<std::pair<int, int>> stack{{sx, sy}};
            seen[sy * c.w + sx] = 1;
            while (!stack.empty()) {
                auto [x, y] = stack.back();
                stack.pop_back();
                if (x == 0 || y == 0 || x == c.w - 1 || y == c.h - 1) touchesEdge = true;
                const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
                for (const auto& s : steps) {
                    const int nx = x + s[0], ny = y + s[1];
                    if (nx < 0 || ny < 0 || nx >= c.w || ny >= c.h || seen[ny * c.w + nx] || ink(nx, ny)) continue;
                    seen[ny * c.w + nx] = 1;
                    stack.push_back({nx, ny});
                }
            }
            holes += !touchesEdge;
        }
    }
    return holes;
}

fs::path GeneratorPath() {
    if (const char* dir = std::getenv("PLUSRAIL_BINARY_DIR")) return fs::path(dir) / "plusrail-assetgen";
    // Run by hand from build/tests: the generator lies one folder up.
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "plusrail-assetgen";
}

fs::path MakeTempDir() {
    std::string pattern = testing::TempDir() + "plusrail-assets-XXXXXX";
    const char* made = mkdtemp(pattern.data());
    return made == nullptr ? fs::path() : fs::path(made);
}

int RunGenerator(const std::string& arguments) {
    const std::string command = "\"" + GeneratorPath().string() + "\" " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

class Assets : public testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new fs::path(MakeTempDir());
        generated_ = !dir_->empty() && RunGenerator("\"" + dir_->string() + "\"") == 0;
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*dir_, ignored);
        delete dir_;
    }
    void SetUp() override {
        FreshProcess();
        ASSERT_TRUE(generated_) << "could not run " << GeneratorPath();
    }
    static Bmp Picture(const std::string& name) { return ReadBmp(*dir_ / "bmp" / name); }
    static Wave Sound(const std::string& name) { return ReadWave(*dir_ / "wave" / name); }
    static fs::path* dir_;
    static bool generated_;
};

fs::path* Assets::dir_ = nullptr;
bool Assets::generated_ = false;

std::vector<std::string> FontFiles() {
    std::vector<std::string> names;
    for (const char* stem : {"font_1/font_1", "font_2/font_2", "font_1/font_3", "font_2/font_4"}) {
        for (int c = 0; c < 7; ++c) names.push_back(std::string(stem) + kColourSuffixes[c] + ".bmp");
    }
    return names;
}

const char* const kWaveFiles[] = {"erasing.wav",  "linefall.wav",  "lineset.wav",  "newline1.wav",
                                  "newline26.wav", "newline3.wav",  "newline47.wav", "newline5.wav",
                                  "prerotate.wav", "chissoku.wav",  "levelchange.wav", "choice.wav",
                                  "select.wav",    "pinch.wav",     "medal.wav"};

std::string BackName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "back/back%02d.bmp", index);
    return name;
}

}  // namespace

TEST_F(Assets, EveryCatalogueFileIsWrittenWithItsSize) {
    struct Expected {
        std::string name;
        int width, height;
    };
    std::vector<Expected> expected;
    for (const std::string& font : FontFiles()) {
        const bool large = font.find("font_3") != std::string::npos || font.find("font_4") != std::string::npos;
        expected.push_back({font, large ? 512 : 256, large ? 192 : 96});
    }
    expected.push_back({"game/frame.bmp", 640, 480});
    expected.push_back({"game/line_x.bmp", 129, 91});
    expected.push_back({"game/line_y.bmp", 91, 129});
    for (int tier = 0; tier < 4; ++tier) expected.push_back({"game/medal_" + std::to_string(tier) + ".bmp", 128, 192});
    for (int index = 0; index <= 12; ++index) expected.push_back({BackName(index), 640, 480});
    for (const Expected& e : expected) {
        const Bmp bmp = Picture(e.name);
        EXPECT_EQ(bmp.width, e.width) << e.name;
        EXPECT_EQ(bmp.height, e.height) << e.name;
    }
    for (const char* name : kWaveFiles) EXPECT_TRUE(fs::is_regular_file(*dir_ / "wave" / name)) << name;

    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(*dir_)) files += entry.is_regular_file();
    EXPECT_EQ(files, static_cast<int>(expected.size()) + 15) << "no stray files";
}

TEST_F(Assets, OutputIsTheSameByteForByte) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(*dir_)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), *dir_));
    }
    std::sort(files.begin(), files.end());
    uint64_t digest = 0xCBF29CE484222325ull;
    auto feed = [&](uint8_t byte) {
        digest ^= byte;
        digest *= 0x100000001B3ull;
    };
    for (const fs::path& file : files) {
        for (char c : file.generic_string()) feed(static_cast<uint8_t>(c));
        feed(0);
        for (uint8_t byte : ReadFile(*dir_ / file)) feed(byte);
    }
    EXPECT_EQ(digest, kExpectedDigest) << std::hex << "digest 0x" << digest;
}

TEST_F(Assets, GeneratorRefusesAMissingOrUnwritableTarget) {
    EXPECT_NE(RunGenerator(""), 0);
    const fs::path blocker = *dir_ / "wave" / "erasing.wav";  // a file, not a folder
    EXPECT_NE(RunGenerator("\"" + blocker.string() + "\""), 0);
}

TEST_F(Assets, FontsKeepTheirBackgroundOutOfEveryGlyph) {
    for (const std::string& name : FontFiles()) {
        const Bmp font = Picture(name);
        ASSERT_GT(font.width, 0) << name;
        EXPECT_EQ(font.key(), (Rgb{255, 0, 255})) << name;
        const int cell = font.width / 16;
        for (int code = 32; code <= 127; ++code) {
            const int g = code - 32;
            const Cut c{(g % 16) * cell, (g / 16) * cell, cell, cell};
            int ink = 0;
            for (int y = c.y; y < c.y + c.h; ++y) {
                for (int x = c.x; x < c.x + c.w; ++x) {
                    const Rgb p = font.at(x, y);
                    if (p == font.key()) continue;
                    ++ink;
                    EXPECT_FALSE(SameOn16Bit(p, font.key())) << name << " code " << code;
                    const bool onEdge = x == c.x || y == c.y || x == c.x + c.w - 1 || y == c.y + c.h - 1;
                    EXPECT_FALSE(onEdge && Luminance(p) > 80.0) << name << " code " << code << " is cut by its cell";
                }
            }
            if (code == 32 || code == 127) {
                EXPECT_EQ(ink, 0) << name << " code " << code << " must stay blank";
            } else {
                EXPECT_GT(ink, 0) << name << " code " << code;
            }
        }
    }
}

TEST_F(Assets, GlyphsSitOnTheGridByTheirShapes) {
    // Counters identify the glyphs: "0" at row 1 column 0, "1" next to it, "8" two places
    // before ":", "A" and "B" at the start of row 2.
    struct Shape {
        char ch;
        int holes;
    };
    const Shape shapes[] = {{'0', 1}, {'1', 0}, {'8', 2}, {'4', 1}, {'A', 1}, {'B', 2}, {'L', 0}, {'O', 1}, {'-', 0}};
    for (const std::string& name : {std::string("font_1/font_3w.bmp"), std::string("font_2/font_4w.bmp"),
                                    std::string("font_1/font_1y.bmp"), std::string("font_2/font_2c.bmp")}) {
        const Bmp font = Picture(name);
        ASSERT_GT(font.width, 0);
        const int cell = font.width / 16;
        for (const Shape& s : shapes) {
            const int g = s.ch - 32;
            EXPECT_EQ(CountHoles(font, {(g % 16) * cell, (g / 16) * cell, cell, cell}), s.holes)
                << name << " '" << s.ch << "'";
        }
    }
}

TEST_F(Assets, FontColoursAndTypefacesDiffer) {
    // Mean ink colour of the capitals: each suffix shows its colour.
    auto meanColour = [&](const std::string& name) {
        const Bmp font = Picture(name);
        double r = 0, g = 0, b = 0;
        int n = 0;
        const int cell = font.width / 16;
        for (int y = 2 * cell; y < 4 * cell; ++y) {
            for (int x = 0; x < font.width; ++x) {
                const Rgb p = font.at(x, y);
                if (p == font.key() || Luminance(p) < 80.0) continue;
                r += p.r, g += p.g, b += p.b, ++n;
            }
        }
        return Rgb{static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
    };
    for (const char* stem : {"font_1/font_1", "font_2/font_4"}) {
        const std::string base(stem);
        const Rgb w = meanColour(base + "w.bmp"), red = meanColour(base + "r.bmp"), y = meanColour(base + "y.bmp"),
                  g = meanColour(base + "g.bmp"), c = meanColour(base + "c.bmp"), b = meanColour(base + "b.bmp"),
                  p = meanColour(base + "p.bmp");
        EXPECT_LT(Chroma(w), 50) << stem;
        EXPECT_TRUE(red.r > red.g + 60 && red.r > red.b + 60) << stem;
        EXPECT_TRUE(y.r > y.b + 60 && y.g > y.b + 60) << stem;
        EXPECT_TRUE(g.g > g.r + 60 && g.g > g.b + 40) << stem;
        EXPECT_TRUE(c.b > c.r + 60 && c.g > c.r + 60) << stem;
        EXPECT_TRUE(b.b > b.r + 60 && b.b > b.g + 40) << stem;
        EXPECT_TRUE(p.r > p.g + 40 && p.b > p.g + 60) << stem;
    }
    // The two typefaces draw "A" differently at both sizes.
    for (auto [one, two] : {std::pair{"font_1/font_1w.bmp", "font_2/font_2w.bmp"},
                            std::pair{"font_1/font_3w.bmp", "font_2/font_4w.bmp"}}) {
        const Bmp a = Picture(one), b = Picture(two);
        const int cell = a.width / 16;
        int differing = 0;
        for (int y = 2 * cell; y < 3 * cell; ++y) {
            for (int x = cell; x < 2 * cell; ++x) differing += !(a.at(x, y) == b.at(x, y));
        }
        EXPECT_GT(differing, cell * cell / 8) << one << " vs " << two;
    }
}

TEST_F(Assets, LineSheetsHoldEveryImageTheFieldCuts) {
    const Bmp sheetX = Picture("game/line_x.bmp");
    const Bmp sheetY = Picture("game/line_y.bmp");
    ASSERT_EQ(sheetX.width, 129);
    ASSERT_EQ(sheetY.width, 91);
    EXPECT_EQ(sheetX.key(), (Rgb{255, 0, 255}));
    for (int y = 0; y < 129; ++y) {
        for (int x = 0; x < 91; ++x) ASSERT_EQ(sheetY.at(x, y), sheetX.at(y, x)) << "line_y is line_x turned";
    }
    // Column 0: grey in row 0, the moving colours in 1..8; column 2 settled; column 3 shadow.
    auto image = [](int column, int row) { return Cut{32 * column, 10 * row, 33, 11}; };
    EXPECT_GT(CountInk(sheetX, image(0, 0)), 100);
    EXPECT_LT(Chroma(sheetX.at(16, 5)), 30) << "the floor line is grey";
    std::vector<Rgb> settledColours;
    for (int row = 1; row <= 8; ++row) {
        for (int column : {0, 2, 3}) {
            const Cut c = image(column, row);
            EXPECT_GT(CountInk(sheetX, c), 60) << column << "," << row;
            // Shared border pixels stay clear, so each image is whole when cut out alone.
            for (int x = 0; x < 33; ++x) {
                EXPECT_EQ(sheetX.at(c.x + x, c.y), sheetX.key()) << column << "," << row;
                EXPECT_EQ(sheetX.at(c.x + x, c.y + 10), sheetX.key()) << column << "," << row;
            }
            for (int y = 0; y < 11; ++y) {
                EXPECT_EQ(sheetX.at(c.x, c.y + y), sheetX.key()) << column << "," << row;
                EXPECT_EQ(sheetX.at(c.x + 32, c.y + y), sheetX.key()) << column << "," << row;
            }
        }
        const double settled = MeanLuminanceOfInk(sheetX, image(2, row)) * CountInk(sheetX, image(2, row));
        const double shadow = MeanLuminanceOfInk(sheetX, image(3, row)) * CountInk(sheetX, image(3, row));
        EXPECT_LT(shadow, settled * 0.6) << "the shadow of colour " << row << " is clearly fainter";
        EXPECT_GE(MeanLuminanceOfInk(sheetX, image(0, row)), MeanLuminanceOfInk(sheetX, image(2, row)))
            << "a moving line is at least as bright as a settled one, colour " << row;
        settledColours.push_back(sheetX.at(32 * 2 + 16, 10 * row + 5));
    }
    for (size_t i = 0; i < settledColours.size(); ++i) {
        EXPECT_GT(Chroma(settledColours[i]), 60) << "colour " << i + 1;
        for (size_t j = i + 1; j < settledColours.size(); ++j) {
            const Rgb a = settledColours[i], b = settledColours[j];
            EXPECT_GT(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b), 60)
                << "colours " << i + 1 << " and " << j + 1 << " look alike";
        }
    }
}

TEST_F(Assets, MedalsFlashBrighterAndTiersClimb) {
    double restLuminance[4] = {};
    for (int tier = 0; tier < 4; ++tier) {
        const Bmp sheet = Picture("game/medal_" + std::to_string(tier) + ".bmp");
        ASSERT_EQ(sheet.width, 128);
        EXPECT_EQ(sheet.key(), (Rgb{255, 0, 255}));
        for (int kind = 0; kind < 6; ++kind) {
            double previous = 0.0;
            for (int frame = 3; frame >= 0; --frame) {
                const Cut c{32 * frame, 32 * kind, 32, 32};
                EXPECT_GT(CountInk(sheet, c), 500) << "tier " << tier << " kind " << kind << " frame " << frame;
                const double light = MeanLuminanceOfInk(sheet, c);
                EXPECT_GT(light, previous) << "tier " << tier << " kind " << kind << " frame " << frame;
                previous = light;
            }
            restLuminance[tier] += MeanLuminanceOfInk(sheet, {96, 32 * kind, 32, 32}) / 6.0;
            // Each kind carries its own emblem.
            for (int other = 0; other < kind; ++other) {
                int differing = 0;
                for (int y = 0; y < 32; ++y) {
                    for (int x = 0; x < 32; ++x) differing += !(sheet.at(96 + x, 32 * kind + y) == sheet.at(96 + x, 32 * other + y));
                }
                EXPECT_GT(differing, 40) << "tier " << tier << " kinds " << other << " and " << kind;
            }
        }
    }
    EXPECT_LT(restLuminance[0] * 2.0, restLuminance[1]) << "the empty socket is dark";
    const Bmp bronze = Picture("game/medal_1.bmp"), gold = Picture("game/medal_3.bmp"), silver = Picture("game/medal_2.bmp");
    const Rgb b = bronze.at(96 + 16, 4), s = silver.at(96 + 16, 4), g = gold.at(96 + 16, 4);
    EXPECT_GT(g.g - g.b, s.g - s.b + 60) << "gold is yellow, silver is not";
    EXPECT_GT(b.r - b.b, s.r - s.b + 60) << "bronze is warm";
}

TEST_F(Assets, FrameLeavesTheWellOpenAndBacksEveryFigure) {
    const Bmp frame = Picture("game/frame.bmp");
    ASSERT_EQ(frame.width, 640);
    EXPECT_EQ(frame.key(), (Rgb{255, 0, 255}));
    // Where the lines are drawn: x-lines from x 207, y-lines from x 202, rows up to the
    // preview at the top. Only the small lattice studs may be there.
    const Cut well{202, 26, 437 - 202, 453 - 26};
    const int open = well.w * well.h - CountInk(frame, well);
    EXPECT_GT(open, well.w * well.h * 95 / 100);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const Rgb p = frame.at(x, y);
            if (!(p == frame.key())) {
                EXPECT_FALSE(SameOn16Bit(p, frame.key())) << x << "," << y;
            }
        }
    }
    // Dark opaque panels behind SCORE/LINES/LEVEL and their figures, the time and the medals.
    const Cut panels[] = {{16, 112, 80, 16},  {0, 144, 160, 16}, {16, 192, 80, 16}, {0, 224, 160, 16},
                          {16, 272, 80, 16},  {0, 304, 160, 16}, {256, 464, 128, 16}, {448, 160, 64, 96}};
    for (const Cut& c : panels) {
        EXPECT_EQ(CountInk(frame, c), c.w * c.h) << "panel at " << c.x << "," << c.y;
        EXPECT_LT(MeanLuminanceOfInk(frame, c), 40.0) << "panel at " << c.x << "," << c.y;
    }
}

TEST_F(Assets, BackgroundsAreDistinctDarkAndGrowWithTheLevel) {
    std::vector<std::vector<Rgb>> seen;
    double chroma[13] = {};
    for (int index = 0; index <= 12; ++index) {
        const Bmp back = Picture(BackName(index));
        ASSERT_EQ(back.width, 640);
        double luminance = 0.0;
        int bright = 0;
        for (const Rgb& p : back.pixels) {
            luminance += Luminance(p);
            bright += Luminance(p) > 110.0;
            chroma[index] += Chroma(p);
        }
        luminance /= back.pixels.size();
        chroma[index] /= back.pixels.size();
        EXPECT_LT(luminance, 50.0) << BackName(index);
        EXPECT_LT(bright, static_cast<int>(back.pixels.size() / 50)) << BackName(index);
        for (const auto& other : seen) EXPECT_NE(other, back.pixels) << BackName(index);
        seen.push_back(back.pixels);
    }
    // back01.. back12 follow the level bands: the late ones are clearly more vivid.
    auto band = [&](int first, int last) {
        double sum = 0.0;
        for (int i = first; i <= last; ++i) sum += chroma[i];
        return sum / (last - first + 1);
    };
    EXPECT_LT(band(1, 4), band(5, 8));
    EXPECT_LT(band(5, 8), band(9, 12));
}

TEST_F(Assets, SoundsAreShortCleanPcm) {
    std::vector<std::vector<int>> seen;
    for (const char* name : kWaveFiles) {
        const Wave wave = Sound(name);
        EXPECT_EQ(wave.formatTag, 1) << name;
        EXPECT_EQ(wave.channels, 1) << name;
        EXPECT_EQ(wave.sampleRate, 22050) << name;
        EXPECT_EQ(wave.bitsPerSample, 16) << name;
        const std::vector<int>& s = wave.samples;
        ASSERT_GT(s.size(), 22050u / 50) << name;
        EXPECT_LT(s.size(), 22050u * 3 / 2) << name;
        int peak = 0;
        for (int v : s) peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 32767 / 3) << name << " is too quiet";
        EXPECT_LT(peak, 32767 * 95 / 100) << name << " may clip";
        const bool looped = std::string(name) == "erasing.wav";
        // Starting from silence: no click when the sound begins.
        EXPECT_LE(std::abs(s.front()), 64) << name;
        if (!looped) {
            for (size_t i = s.size() - 22; i < s.size(); ++i) EXPECT_LE(std::abs(s[i]), 200) << name << " ends abruptly";
            EXPECT_EQ(s.back(), 0) << name;
        } else {
            // Seamless loop: the jump from the last sample back to the first is no larger than
            // the steps the sound takes anyway around its start and end.
            int step = 0;
            for (size_t i = 1; i < 64; ++i) step = std::max({step, std::abs(s[i] - s[i - 1]), std::abs(s[s.size() - i] - s[s.size() - i - 1])});
            EXPECT_LE(std::abs(s.back() - s.front()), step) << name;
        }
        for (const auto& other : seen) EXPECT_NE(other, s) << name;
        seen.push_back(s);
    }
}
