// The program's one entry on the headless platform: what its command line takes, what it
// prints, how it starts (in a window, without sound) and the status each way of ending gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/start_choice.h"
#include "hosts/headless/headless.h"
#include "hosts/headless/headless_audio.h"
#include "hosts/headless/headless_window.h"
#include "platform/platform_window.h"
#include "program/program.h"
#include "program/version.h"
#include "support/fresh.h"
#include "support/work_dir.h"

namespace {

constexpr const char* kAdvice = "Try the way out this platform offers.";

// The whole run with these arguments after the program's name; the loop, if it starts, ends
// at its first look at the queue.
int StartWith(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "plusrail");
    PlatformPostQuit();
    return RunGame(static_cast<int>(arguments.size()), arguments.data());
}

// What the program told whoever started it, one text: the problems, or the rest.
std::string Reported(bool problems) {
    std::string text;
    for (const std::string& report : HeadlessRecorded().reports) {
        const bool problem = report.rfind("problem: ", 0) == 0;
        if (problem == problems) text += (problem ? report.substr(9) : report) + "\n";
    }
    return text;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        FreshProcess();
        HeadlessSetAdvice(kAdvice);
    }
    ScopedWorkDir dir_;
};

TEST_F(ProgramTest, HelpGivesTheUsageTheKeysAndTheStatusesAndStartsNothing) {
    EXPECT_EQ(StartWith({"--help"}), kExitDone);
    const std::string help = Reported(false);
    EXPECT_TRUE(Reported(true).empty()) << Reported(true);
    for (const char* says :
         {"usage: plusrail [--window] [--no-sound] [--replay FILE]", "--help", "--version",
          // The keys a newcomer looks for: the confirming keys, what Enter does, the rest.
          "Z, C        KEY 1, KEY 4        confirm", "S, X        KEY 2, KEY 3",
          "W, E        KEY 5, KEY 6", "Q, R        KEY 7, KEY 8", "Enter", "nothing", "Escape",
          "Alt+Enter", "A-1: UP instant fall, DOWN speedy fall",
          "EXPERT MODE on the mode select starts no game",
          // The statuses, as the program ends with them.
          "0 the game ran", "1 the replay cannot be watched", "2 an argument",
          "3 the game could not start"})
        EXPECT_NE(help.find(says), std::string::npos) << says << "\n" << help;
    // No line is wider than a terminal.
    for (const std::string& line : HeadlessRecorded().reports) EXPECT_LE(line.size(), 88u) << line;
    EXPECT_FALSE(HeadlessWindow().classRegistered);
    EXPECT_FALSE(HeadlessAudioIsOpen());

    // Beside other options it is still the help alone.
    FreshProcess();
    EXPECT_EQ(StartWith({"--window", "--help", "--no-sound"}), kExitDone);
    EXPECT_EQ(Reported(false), help);
    EXPECT_FALSE(HeadlessWindow().classRegistered);
}

TEST_F(ProgramTest, VersionNamesTheProgramItsRulesAndItsReplays) {
    EXPECT_EQ(StartWith({"--version"}), kExitDone);
    EXPECT_EQ(Reported(false), std::string("plusrail ") + kProgramVersion +
                                   " (rules version 1, replay format version 1)\n");
    EXPECT_TRUE(Reported(true).empty());
    EXPECT_FALSE(HeadlessWindow().classRegistered);
    const std::string version = kProgramVersion;
    ASSERT_FALSE(version.empty());
    EXPECT_TRUE(version[0] >= '0' && version[0] <= '9') << version;

    // Asked for with the help, it follows it.
    FreshProcess();
    EXPECT_EQ(StartWith({"--help", "--version"}), kExitDone);
    const std::string both = Reported(false);
    EXPECT_EQ(both.rfind("usage: plusrail", 0), 0u);
    EXPECT_NE(both.find(std::string("plusrail ") + kProgramVersion), std::string::npos);
}

TEST_F(ProgramTest, WrongArgumentsGiveTheUsageAsAProblemAndStatusTwo) {
    const std::vector<std::vector<const char*>> calls = {
        {"--bogus"},
        {"-h"},
        {"window"},
        {"--replay"},
        {"--window", "--replay"},
        {"--replay", "a.rpl", "--replay", "b.rpl"},
        {"--help=1"},
        {"--no-sound", "extra"},
    };
    for (const std::vector<const char*>& call : calls) {
        FreshProcess();
        SCOPED_TRACE(call.back());
        EXPECT_EQ(StartWith(call), kExitUsage);
        EXPECT_TRUE(Reported(false).empty()) << Reported(false);
        const std::string problem = Reported(true);
        EXPECT_EQ(problem.rfind("plusrail: ", 0), 0u) << problem;
        EXPECT_NE(problem.find("usage: plusrail [--window] [--no-sound] [--replay FILE]"),
                  std::string::npos)
            << problem;
        EXPECT_FALSE(HeadlessWindow().classRegistered);
    }
}

// Each start-up that ends the program ends it with status 3 after its box; where the
// platform has a way out of the trouble, the box ends with it.
TEST_F(ProgramTest, FailedStartEndsWithStatusThreeAndThePlatformsWayOut) {
    const struct {
        HeadlessWindowFault fault;
        int32_t refusedStep;  // a PlatformDisplayStep, or -1
        int32_t audioOpen;
        const char* box;
        bool advised;
    } cases[] = {
        {HeadlessFaultRegisterClass, -1, AudioOpened, "ウインドウクラスの登録に失敗しました",
         false},
        {HeadlessFaultCreateWindow, -1, AudioOpened, "ウインドウの作成に失敗しました", false},
        {HeadlessFaultNone, DisplayStepDevice, AudioOpened, "DirectDrawの作成に失敗しました",
         false},
        {HeadlessFaultFullScreen, -1, AudioOpened, "ディスプレイモードが変更できません", true},
        {HeadlessFaultNone, -1, AudioNoDevice, "DirectSoundの構築に失敗しました。", true},
        {HeadlessFaultNone, -1, AudioRefused, "DirectSoundの協調レベル設定が拒否されました。",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        FreshProcess();
        HeadlessSetAdvice(kAdvice);
        HeadlessSetWindowFault(c.fault);
        if (c.refusedStep >= 0) HeadlessRefuseDisplayStep(c.refusedStep);
        HeadlessAudioFailOpen(c.audioOpen);
        EXPECT_EQ(StartWith({}), kExitStartFailed);
        const HeadlessRecord& seen = HeadlessRecorded();
        ASSERT_EQ(seen.errorBoxes, std::vector<std::string>{std::string("メッセージ: ") + c.box});
        const std::string english = seen.errorBoxesEnglish[0];
        const std::string ending = std::string(" ") + kAdvice;
        const bool endsWithAdvice =
            english.size() > ending.size() &&
            english.compare(english.size() - ending.size(), ending.size(), ending) == 0;
        EXPECT_EQ(endsWithAdvice, c.advised) << english;
        EXPECT_EQ(HeadlessWindow().presentedFrames, 0u);
    }
}

// A copy already running is no failure: it is brought forward and this start ends well.
TEST_F(ProgramTest, SecondStartEndsWithStatusZero) {
    HeadlessSetOtherInstance(true);
    EXPECT_EQ(StartWith({}), kExitDone);
    EXPECT_FALSE(HeadlessWindow().created);
    EXPECT_EQ(HeadlessWindow().otherInstanceShown, 1u);
}

TEST_F(ProgramTest, WindowStartsInAWindowWhereTheDisplayModeCannotBeSet) {
    EXPECT_EQ(StartWith({}), kExitDone);
    EXPECT_TRUE(HeadlessWindow().fullScreen) << "full screen unless a window is asked for";

    FreshProcess();
    HeadlessSetWindowFault(HeadlessFaultFullScreen);
    EXPECT_EQ(StartWith({"--window"}), kExitDone);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
    EXPECT_TRUE(HeadlessWindow().created);
    EXPECT_FALSE(HeadlessWindow().fullScreen);
    EXPECT_EQ(HeadlessWindow().width, 640);
    EXPECT_TRUE(StartChoice.windowed);
}

TEST_F(ProgramTest, NoSoundStartsWithoutADeviceWhereThereIsNone) {
    HeadlessAudioFailOpen(AudioNoDevice);
    EXPECT_EQ(StartWith({"--no-sound"}), kExitDone);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
    EXPECT_TRUE(HeadlessWindow().created);
    EXPECT_EQ(HeadlessAudioReached().opens, 0);

    // Both at once, on a machine that has neither.
    FreshProcess();
    HeadlessAudioFailOpen(AudioNoDevice);
    HeadlessSetWindowFault(HeadlessFaultFullScreen);
    EXPECT_EQ(StartWith({"--no-sound", "--window"}), kExitDone);
    EXPECT_TRUE(HeadlessRecorded().errorBoxes.empty());
    EXPECT_FALSE(HeadlessWindow().fullScreen);
    EXPECT_EQ(HeadlessAudioReached().opens, 0);
}

}  // namespace
