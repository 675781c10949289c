// Every text the program shows in a box or a debug line reaches the platform unchanged, with
// its English beside it; the table of translations covers every such text in the sources.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "frame/diagnostics.h"
#include "frame/messages.h"
#include "hosts/headless/headless.h"
#include "support/fresh.h"

namespace {

using Lines = std::vector<std::string>;

// The printf conversions of a format, in order ("%s", "%d", ...; "%%" is no conversion).
std::string Conversions(const std::string& format) {
    std::string out;
    for (size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] != '%') continue;
        size_t j = i + 1;
        while (j < format.size() &&
               std::string("-+ #0123456789.lhz").find(format[j]) != std::string::npos)
            ++j;
        if (j < format.size() && format[j] != '%') out += format.substr(i, j - i + 1) + " ";
        i = j;
    }
    return out;
}

// The string literals holding anything but ASCII in one source file, with their escapes
// (\n only, the one the program's texts use) turned into their characters.
std::vector<std::string> NonAsciiLiterals(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            i = text.find('\n', i);  // a comment is no text of the program's
            if (i == std::string::npos) break;
            continue;
        }
        if (text[i] != '"' || (i > 0 && text[i - 1] == '\'')) continue;
        std::string literal;
        bool nonAscii = false;
        size_t j = i + 1;
        for (; j < text.size() && text[j] != '"'; ++j) {
            if (text[j] == '\\' && j + 1 < text.size()) {
                literal += text[j + 1] == 'n' ? '\n' : text[j + 1];
                ++j;
                continue;
            }
            nonAscii |= static_cast<unsigned char>(text[j]) >= 0x80;
            literal += text[j];
        }
        if (nonAscii) found.push_back(literal);
        i = j;
    }
    return found;
}

TEST(MessagesTest, EveryTextInTheSourcesHasEnglishWithTheSameConversions) {
    const char* sourceDir = std::getenv("PLUSRAIL_SOURCE_DIR");
    ASSERT_NE(sourceDir, nullptr) << "PLUSRAIL_SOURCE_DIR names the source directory";
    // Held by the program but never shown: the text face's name.
    const std::set<std::string> notShown = {"標準ゴシック"};
    int checked = 0;
    for (const char* folder : {"rules", "frame", "input", "sound", "app", "shell", "options",
                               "game", "scenes", "program"}) {
        for (const auto& entry :
             std::filesystem::directory_iterator(std::filesystem::path(sourceDir) / folder)) {
            if (entry.path().extension() != ".cpp" || entry.path().filename() == "messages.cpp")
                continue;
            for (const std::string& text : NonAsciiLiterals(entry.path())) {
                if (notShown.count(text)) continue;
                const char* english = EnglishFor(text.c_str());
                EXPECT_NE(english, nullptr)
                    << entry.path() << ": no English for \"" << text << "\"";
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 40);  // the scan found the program's texts at all
    int32_t count = 0;
    const MessageTranslation* table = MessageTranslations(&count);
    std::set<std::string> seen;
    for (int32_t i = 0; i < count; ++i) {
        EXPECT_EQ(Conversions(table[i].japanese), Conversions(table[i].english))
            << table[i].japanese;
        const std::string japanese = table[i].japanese, english = table[i].english;
        EXPECT_EQ(japanese.back() == '\n', english.back() == '\n') << japanese;
        EXPECT_TRUE(seen.insert(japanese).second) << "twice in the table: " << japanese;
        for (unsigned char c : english) EXPECT_LT(c, 0x80) << "not plain English: " << english;
    }
}

TEST(MessagesTest, BoxesAndLinesKeepTheirTextAndCarryTheEnglish) {
    FreshProcess();
    DebugLine("WAVE[%s]のオープンに失敗しました。\n", "wave/choice.wav");
    DebugLine("%d個のジョイスティックが使用可能です\n", 2);
    DebugLine("untranslated %d", 7);
    ErrorBox("%s", "クリッパーの作成に失敗しました");
    ErrorBox("DirectSoundの構築に失敗しました。");
    const HeadlessRecord& r = HeadlessRecorded();
    EXPECT_EQ(r.debugLines, (Lines{"WAVE[wave/choice.wav]のオープンに失敗しました。\n",
                                   "2個のジョイスティックが使用可能です\n", "untranslated 7"}));
    EXPECT_EQ(r.debugEnglish, (Lines{"Could not open the sound WAVE[wave/choice.wav].\n",
                                     "2 joystick(s) can be used.\n", ""}));
    EXPECT_EQ(r.errorBoxes, (Lines{"メッセージ: クリッパーの作成に失敗しました",
                                   "メッセージ: DirectSoundの構築に失敗しました。"}));
    ASSERT_EQ(r.errorBoxesEnglish.size(), 2u);
    EXPECT_EQ(r.errorBoxesEnglish[0], "Message: Could not create the window's clipper.");
    // No sound device: the sentence alone, since the headless host has no advice of its own;
    // the desktop and browser hosts add theirs (another host's advice never appears).
    EXPECT_EQ(r.errorBoxesEnglish[1],
              "Message: Could not open a sound device, so the game cannot start.");
    ErrorBoxAdvised(PlatformTrouble::NoSoundDevice, "DirectSoundの構築に失敗しました。");
    EXPECT_EQ(r.errorBoxesEnglish.back(), r.errorBoxesEnglish[1]);
    HeadlessSetAdvice("Play it another way.");
    ErrorBoxAdvised(PlatformTrouble::NoSoundDevice, "DirectSoundの構築に失敗しました。");
    EXPECT_EQ(r.errorBoxesEnglish.back(),
              "Message: Could not open a sound device, so the game cannot start. Play it another "
              "way.");
    EXPECT_EQ(r.errorBoxes.back(), "メッセージ: DirectSoundの構築に失敗しました。");
}

}  // namespace
