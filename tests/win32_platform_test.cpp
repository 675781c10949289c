// The Windows layer through the boundary, on the real system calls (under Wine in CI): saves
// that replace a file, texts widened for the wide-character calls, the error box, the window
// procedure fed by real window messages, the single-instance test by window class, and the
// resources linked into plusrail.exe. Built only for Windows.
#include "hosts/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/platform_window.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class Win32PlatformTest : public testing::Test {
protected:
    void SetUp() override {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(testing::TempDir()) /
               (std::string("win32_") + test->name() + "_" + std::to_string(PlatformProcessId()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        PlatformDestroyWindow();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    fs::path dir_;
};

// Saves: the new file takes the old one's place in one step.

TEST_F(Win32PlatformTest, ReplaceFileTakesThePlaceOfAnExistingFile) {
    const fs::path from = dir_ / "config.dat.tmp", to = dir_ / "config.dat";
    WriteFile(to, "old bytes");
    WriteFile(from, "new bytes");
    ASSERT_TRUE(PlatformReplaceFile(from.string().c_str(), to.string().c_str()));
    EXPECT_EQ(ReadFile(to), "new bytes");
    EXPECT_FALSE(fs::exists(from));
}

TEST_F(Win32PlatformTest, ReplaceFileThatFailsLeavesTheOldFileWhole) {
    const fs::path from = dir_ / "rank_n.dat.tmp", to = dir_ / "rank_n.dat";
    WriteFile(to, "the old table");
    WriteFile(from, "a new table");
    // Another program reading the file without letting it be deleted keeps it in place.
    HANDLE reader = CreateFileW(to.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(PlatformReplaceFile(from.string().c_str(), to.string().c_str()));
    CloseHandle(reader);
    EXPECT_EQ(ReadFile(to), "the old table");
    EXPECT_EQ(ReadFile(from), "a new table");
}

// Texts: UTF-8 in, UTF-16 out, whatever the system's ANSI code page.

TEST_F(Win32PlatformTest, JapaneseTextsReachTheWideCallsWhole) {
    wchar_t wide[64];
    Widen(wide, 64, "標準のデバイスを使用します");
    EXPECT_STREQ(wide, L"標準のデバイスを使用します");
    Widen(wide, 64, nullptr);
    EXPECT_STREQ(wide, L"");
}

TEST_F(Win32PlatformTest, TooLongTextsAreCutOnAWholeCharacter) {
    // Each of these characters takes three bytes in UTF-8 and one unit in UTF-16.
    const char* text = "強調レベルの設定に失敗しました";
    wchar_t wide[8];
    Widen(wide, 8, text);
    EXPECT_STREQ(wide, L"強調");
    wchar_t roomy[8];
    Widen(roomy, 8, "ab強調");
    EXPECT_STREQ(roomy, L"ab強調");
}

// The error box: English first, a blank line, then the Japanese, both titles.

struct BoxSeen {
    std::atomic<bool> found{false};
    wchar_t title[256] = {};
    wchar_t text[1024] = {};
};

void ReadAndCloseBox(BoxSeen* seen) {
    for (int tries = 0; tries < 200 && !seen->found; ++tries) {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (box) {
            GetWindowTextW(box, seen->title, 256);
            // The box's text is its static control, numbered 0xFFFF.
            GetDlgItemTextW(box, 0xFFFF, seen->text, 1024);
            seen->found = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(50);
    }
}

TEST_F(Win32PlatformTest, ErrorBoxShowsTheEnglishAboveTheJapanese) {
    BoxSeen seen;
    std::thread reader(ReadAndCloseBox, &seen);
    PlatformErrorBox("エラー", "DirectDrawの作成に失敗しました", "Error",
                     "Could not create DirectDraw.");
    reader.join();
    ASSERT_TRUE(seen.found);
    EXPECT_STREQ(seen.title, L"Error / エラー");
    EXPECT_STREQ(seen.text, L"Could not create DirectDraw.\n\nDirectDrawの作成に失敗しました");
}

// The advice a failed start ends with is Windows' own: nothing of another platform's driver,
// command line or browser.
TEST_F(Win32PlatformTest, AdviceSpeaksOfWindowsOnly) {
    for (PlatformTrouble trouble : {PlatformTrouble::NoSoundDevice, PlatformTrouble::SoundRefused,
                                    PlatformTrouble::DisplayMode}) {
        const char* advice = PlatformAdvice(trouble);
        ASSERT_NE(advice, nullptr);
        const std::string text = advice;
        EXPECT_EQ(text.find("SDL"), std::string::npos) << text;
        EXPECT_EQ(text.find("Linux"), std::string::npos) << text;
        EXPECT_EQ(text.find("browser"), std::string::npos) << text;
    }
    EXPECT_NE(std::string(PlatformAdvice(PlatformTrouble::NoSoundDevice)).find("Windows"),
              std::string::npos);
    // The way out is a file shipped beside the game, started with a double click.
    for (PlatformTrouble trouble :
         {PlatformTrouble::NoSoundDevice, PlatformTrouble::SoundRefused}) {
        const std::string text = PlatformAdvice(trouble);
        EXPECT_NE(text.find("\"Play without sound.cmd\""), std::string::npos) << text;
        EXPECT_EQ(text.find("--no-sound"), std::string::npos) << text;
    }
    const std::string window = PlatformAdvice(PlatformTrouble::DisplayMode);
    EXPECT_NE(window.find("\"Play in a window.cmd\""), std::string::npos) << window;
    EXPECT_EQ(window.find("--window"), std::string::npos) << window;
}

// The window procedure: real window messages become the frame's messages, in order.

TEST_F(Win32PlatformTest, WindowMessagesBecomeTheFramesMessages) {
    ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel Messages"));
    ASSERT_TRUE(PlatformCreateWindow("Class Kestrel Messages", "Untitled", 0, 0, 640, 480));
    HWND window = Win32MainWindow();
    ASSERT_NE(window, nullptr);
    PlatformMessage m;
    while (PlatformPeekMessage(&m)) {}  // what the creation itself sent

    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(window, WM_SYSKEYDOWN, VK_RETURN, 1 << 29);
    PostMessageW(window, WM_SYSKEYUP, VK_RETURN, 1 << 29);
    PostMessageW(window, WM_KEYUP, VK_ESCAPE, 0);
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
    PostMessageW(window, WM_ACTIVATEAPP, FALSE, 0);
    PostMessageW(window, WM_ACTIVATEAPP, TRUE, 0);
    PostMessageW(window, WM_CLOSE, 0, 0);
    const PlatformMessage expected[] = {
        {MsgKeyDown, VK_ESCAPE, 0, 0},  {MsgSysKeyDown, VK_RETURN, 0, 0},
        {MsgSysKeyUp, VK_RETURN, 0, 0}, {MsgKeyUp, VK_ESCAPE, 0, 0},
        {MsgMouseMove, 0, 12, 34},      {MsgDeactivate, 0, 0, 0},
        {MsgActivate, 0, 0, 0},         {MsgClose, 0, 0, 0},
    };
    for (const PlatformMessage& want : expected) {
        ASSERT_TRUE(PlatformPeekMessage(&m)) << "missing message " << want.type;
        // Messages the system adds on its own (a paint, a move) may come between.
        while ((m.type == MsgPaint || m.type == MsgMove) && m.type != want.type)
            ASSERT_TRUE(PlatformPeekMessage(&m));
        EXPECT_EQ(m.type, want.type);
        EXPECT_EQ(m.key, want.key);
        EXPECT_EQ(m.x, want.x);
        EXPECT_EQ(m.y, want.y);
    }
    // The close is the frame's to decide: the window is still there.
    EXPECT_TRUE(IsWindow(window));
    PlatformPostQuit();
    bool quit = false;
    while (PlatformPeekMessage(&m)) quit = quit || m.type == MsgQuit;
    EXPECT_TRUE(quit);
}

// The windowed display: the frame's RGB565 picture, rows apart by its pitch, blitted into the
// client area, in whatever format the desktop has.

constexpr int32_t kWidth = 640, kHeight = 480;
constexpr int32_t kPitchPixels = 656;  // wider than a row, as the frame's surfaces may be
uint16_t g_picture[kHeight * kPitchPixels];

struct Quadrant {
    uint16_t pixel;
    COLORREF seen;
};
constexpr Quadrant kQuadrants[4] = {
    {0xF800, RGB(255, 0, 0)},
    {0x07E0, RGB(0, 255, 0)},
    {0x001F, RGB(0, 0, 255)},
    {0x8410, RGB(132, 130, 132)},  // mid grey: 16/31, 32/63, 16/31
};

int Distance(COLORREF a, COLORREF b) {
    const int dr = GetRValue(a) - GetRValue(b), dg = GetGValue(a) - GetGValue(b),
              db = GetBValue(a) - GetBValue(b);
    return std::max({dr, -dr, dg, -dg, db, -db});
}

TEST_F(Win32PlatformTest, WindowedPresentShowsThePictureInTheClientArea) {
    ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel Display"));
    ASSERT_TRUE(PlatformCreateWindow("Class Kestrel Display", "Untitled", 0, 0, kWidth, kHeight));
    // The steps in the order the frame asks for them in a window.
    ASSERT_TRUE(PlatformGrantDisplayStep(DisplayStepDevice));
    ASSERT_TRUE(PlatformGrantDisplayStep(DisplayStepCooperation));
    ASSERT_TRUE(PlatformSetFullScreen(false));
    for (int32_t step : {DisplayStepFrontBuffer, DisplayStepBackBuffer, DisplayStepClipper,
                         DisplayStepClipperWindow, DisplayStepClipperTaken, DisplayStepPixelFormat,
                         DisplayStepTextAccess})
        ASSERT_TRUE(PlatformGrantDisplayStep(step)) << "step " << step;
    for (int32_t y = 0; y < kHeight; ++y)
        for (int32_t x = 0; x < kPitchPixels; ++x)
            g_picture[y * kPitchPixels + x] =
                x >= kWidth ? 0xFFFF : kQuadrants[(y >= kHeight / 2) * 2 + (x >= kWidth / 2)].pixel;
    // The window is on the screen once its first messages are through.
    PlatformMessage m;
    for (int i = 0; i < 20; ++i) {
        while (PlatformPeekMessage(&m)) {}
        Sleep(10);
    }
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    // What the player sees: the screen's pixels where the client area lies. The system may
    // finish the blit after the call returns; it is waited for, not timed.
    POINT origin{0, 0};
    ClientToScreen(Win32MainWindow(), &origin);
    HDC dc = GetDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (int i = 0; i < 200 && GetPixel(dc, origin.x + kWidth / 4, origin.y + kHeight / 4) == 0;
         ++i)
        Sleep(10);
    for (int q = 0; q < 4; ++q) {
        const int x = (q % 2) * kWidth / 2 + kWidth / 4, y = (q / 2) * kHeight / 2 + kHeight / 4;
        const COLORREF seen = GetPixel(dc, origin.x + x, origin.y + y);
        // The desktop may hold fewer bits than the picture: a step of the coarsest channel.
        EXPECT_LE(Distance(seen, kQuadrants[q].seen), 8)
            << "quadrant " << q << " at " << PlatformDesktopBitsPerPixel() << " bits: " << std::hex
            << seen;
    }
    // The right edge shows the picture's last column, not what lies beyond it in the row.
    EXPECT_LE(
        Distance(GetPixel(dc, origin.x + kWidth - 1, origin.y + kHeight / 4), kQuadrants[1].seen),
        8);
    ReleaseDC(nullptr, dc);
    Win32ReleaseDisplay();
}

// One game at a time: a second start finds the first window by its class.

TEST_F(Win32PlatformTest, SecondStartFindsTheFirstWindowByItsClass) {
    EXPECT_TRUE(PlatformClaimInstance("Class Kestrel Instance"));
    EXPECT_FALSE(PlatformShowOtherInstance("Class Kestrel Instance"));
    ASSERT_TRUE(PlatformRegisterWindowClass("Class Kestrel Instance"));
    ASSERT_TRUE(PlatformCreateWindow("Class Kestrel Instance", "Untitled", 0, 0, 640, 480));
    EXPECT_FALSE(PlatformClaimInstance("Class Kestrel Instance"));
    EXPECT_TRUE(PlatformShowOtherInstance("Class Kestrel Instance"));
    PlatformDestroyWindow();
    EXPECT_TRUE(PlatformClaimInstance("Class Kestrel Instance"));
}

// The executable's resources: DPI awareness, the icon and the version information.

std::string Resource(HMODULE module, LPCWSTR type, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return "";
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return "";
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

TEST_F(Win32PlatformTest, GameDeclaresDpiAwarenessAndCarriesItsIconAndVersion) {
    HMODULE game = LoadLibraryExW(fs::path(PLUSRAIL_GAME_EXE).wstring().c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(game, nullptr) << PLUSRAIL_GAME_EXE;
    const std::string manifest = Resource(game, MAKEINTRESOURCEW(24), 1);
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find(">true</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    // The icon group lists the 16, 32 and 48 pixel images.
    const std::string icons = Resource(game, MAKEINTRESOURCEW(14), 1);
    ASSERT_GE(icons.size(), 6u + 3u * 14u);
    EXPECT_EQ(static_cast<uint8_t>(icons[4]), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(static_cast<uint8_t>(icons[6 + 14 * i]), 16 * (i + 1)) << "image " << i;
    const std::string version = Resource(game, MAKEINTRESOURCEW(16), 1);
    const std::wstring wideVersion(reinterpret_cast<const wchar_t*>(version.data()),
                                   version.size() / sizeof(wchar_t));
    EXPECT_NE(wideVersion.find(L"plusrail.exe"), std::wstring::npos);
    FreeLibrary(game);
}

}  // namespace
