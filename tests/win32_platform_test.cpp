// The Windows layer through the boundary, on the real system calls (under Wine in CI): saves
// that replace a file, texts widened for the wide-character calls, the error box, the window
// procedure fed by real window messages, the single-instance test by window class, and the
// resources linked into plusrail.exe. Built only for Windows.
#include "hosts/win32/win32_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
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

// The Japanese is shown where the box's font, or a font the system links to it, draws it;
// elsewhere (Wine without a Japanese font) the box says it in English alone rather than in a
// row of empty boxes.
TEST_F(Win32PlatformTest, ErrorBoxShowsTheJapaneseOnlyWhereItCanBeDrawn) {
    HFONT font = Win32BoxFont();
    ASSERT_NE(font, nullptr);
    const bool drawn = Win32FontDrawsText(font, L"DirectDrawの作成に失敗しました") &&
                       Win32FontDrawsText(font, L"エラー");
    DeleteObject(font);
    std::printf("the box font %s the Japanese\n", drawn ? "draws" : "cannot draw");
    BoxSeen seen;
    std::thread reader(ReadAndCloseBox, &seen);
    PlatformErrorBox("エラー", "DirectDrawの作成に失敗しました", "Error",
                     "Could not create DirectDraw.");
    reader.join();
    ASSERT_TRUE(seen.found);
    if (drawn) {
        EXPECT_STREQ(seen.title, L"Error / エラー");
        EXPECT_STREQ(seen.text, L"Could not create DirectDraw.\n\nDirectDrawの作成に失敗しました");
    } else {
        EXPECT_STREQ(seen.title, L"Error");
        EXPECT_STREQ(seen.text, L"Could not create DirectDraw.");
    }
}

// A text without a translation is shown as it is, whatever the font.
TEST_F(Win32PlatformTest, ErrorBoxWithoutEnglishShowsItsOwnText) {
    BoxSeen seen;
    std::thread reader(ReadAndCloseBox, &seen);
    PlatformErrorBox("Message", "Something went wrong.", nullptr, nullptr);
    reader.join();
    ASSERT_TRUE(seen.found);
    EXPECT_STREQ(seen.title, L"Message");
    EXPECT_STREQ(seen.text, L"Something went wrong.");
}

int CALLBACK KeepFirstFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) {
    lstrcpynW(reinterpret_cast<wchar_t*>(found), font->lfFaceName, LF_FACESIZE);
    return 0;
}

// The first font of the system that offers the Japanese character set, or an empty name.
void JapaneseFace(wchar_t (&face)[LF_FACESIZE]) {
    face[0] = L'\0';
    LOGFONTW wanted{};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, KeepFirstFace, reinterpret_cast<LPARAM>(face), 0);
    ReleaseDC(nullptr, screen);
}

TEST_F(Win32PlatformTest, AFontDrawsWhatItOrItsLinkedFontsHave) {
    HFONT box = Win32BoxFont();
    ASSERT_NE(box, nullptr);
    // Every box font has the English, line ends and all.
    EXPECT_TRUE(Win32FontDrawsText(box, L"Could not create DirectDraw.\n\nTry again."));
    // Code points no font has: what comes out is the missing glyph.
    EXPECT_FALSE(Win32FontDrawsText(box, L"ab\x0378\x0379"));
    wchar_t face[LF_FACESIZE];
    JapaneseFace(face);
    if (face[0]) {
        char name[LF_FACESIZE * 3];
        Narrow(name, sizeof name, face);
        std::printf("a Japanese font on the system: %s\n", name);
        // A Japanese font draws the Japanese itself.
        LOGFONTW japanese{};
        japanese.lfHeight = -12;
        japanese.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpynW(japanese.lfFaceName, face, LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&japanese);
        ASSERT_NE(font, nullptr);
        EXPECT_TRUE(Win32FontDrawsText(font, L"サウンドデバイスを開けませんでした")) << face;
        DeleteObject(font);
    } else {
        // No font on the system has it, so nothing can draw it, linked or not.
        EXPECT_FALSE(Win32FontDrawsText(box, L"サウンドデバイスを開けませんでした"));
    }
    DeleteObject(box);
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

// The window's messages, taken until the system has nothing more to say for now.
void TakeMessages() {
    PlatformMessage m;
    for (int i = 0; i < 20; ++i) {
        while (PlatformPeekMessage(&m)) {}
        Sleep(10);
    }
}

// A windowed display brought up in the order the frame asks for its steps, showing the four
// quadrants; its window's messages taken until it is on the screen.
void OpenWindowedDisplay(const char* className) {
    ASSERT_TRUE(PlatformRegisterWindowClass(className));
    ASSERT_TRUE(PlatformCreateWindow(className, "Untitled", 0, 0, kWidth, kHeight));
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
    TakeMessages();
}

SIZE ClientSize() {
    RECT client;
    GetClientRect(Win32MainWindow(), &client);
    return SIZE{client.right, client.bottom};
}

// The game's window as it stands: its outer rectangle, its client size and what its frame adds.
struct WindowFrame {
    HWND window;
    RECT outer;
    SIZE client;
    int frameWidth, frameHeight;
};
WindowFrame MeasureWindow() {
    WindowFrame w{Win32MainWindow(), {}, ClientSize(), 0, 0};
    GetWindowRect(w.window, &w.outer);
    w.frameWidth = w.outer.right - w.outer.left - w.client.cx;
    w.frameHeight = w.outer.bottom - w.outer.top - w.client.cy;
    return w;
}

// Presents the quadrants and reads the screen where the client area lies (the system may
// finish the blit after the call returns; it is waited for, not timed).
struct ScreenReader {
    HDC dc = GetDC(nullptr);
    POINT origin{0, 0};
    ScreenReader() { ClientToScreen(Win32MainWindow(), &origin); }
    ~ScreenReader() { ReleaseDC(nullptr, dc); }
    COLORREF At(int x, int y) const { return GetPixel(dc, origin.x + x, origin.y + y); }
    void WaitFor(int x, int y) const {
        for (int i = 0; i < 200 && At(x, y) == 0; ++i) Sleep(10);
    }
};

// The desktop may hold fewer bits than the picture: a step of the coarsest channel.
constexpr int kTolerance = 8;

TEST_F(Win32PlatformTest, WindowedPresentShowsThePictureInTheClientArea) {
    OpenWindowedDisplay("Class Kestrel Display");
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    // The window is at a whole factor; every picture pixel is a square of that many.
    const SIZE client = ClientSize();
    const int scale = client.cx / kWidth;
    ASSERT_GE(scale, 1);
    ASSERT_EQ(client.cx, kWidth * scale);
    ASSERT_EQ(client.cy, kHeight * scale);
    const ScreenReader screen;
    screen.WaitFor(client.cx / 4, client.cy / 4);
    for (int q = 0; q < 4; ++q) {
        const int x = (q % 2) * client.cx / 2 + client.cx / 4;
        const int y = (q / 2) * client.cy / 2 + client.cy / 4;
        const COLORREF seen = screen.At(x, y);
        EXPECT_LE(Distance(seen, kQuadrants[q].seen), kTolerance)
            << "quadrant " << q << " at " << PlatformDesktopBitsPerPixel() << " bits: " << std::hex
            << seen;
    }
    // The quadrants meet exactly where the picture's middle column is scaled to: the last
    // screen column of picture column 319 is red, the first of column 320 green.
    const int middle = kWidth / 2 * scale, row = client.cy / 4;
    EXPECT_LE(Distance(screen.At(middle - 1, row), kQuadrants[0].seen), kTolerance);
    EXPECT_LE(Distance(screen.At(middle, row), kQuadrants[1].seen), kTolerance);
    // The right edge shows the picture's last column, not what lies beyond it in the row.
    EXPECT_LE(Distance(screen.At(client.cx - 1, row), kQuadrants[1].seen), kTolerance);
    std::printf("the window opened at %dx: %ld x %ld\n", scale, client.cx, client.cy);
    Win32ReleaseDisplay();
}

// The window opens at the largest factor whose window fits the work area of its monitor.
TEST_F(Win32PlatformTest, WindowOpensAtTheLargestFactorThatFitsTheWorkArea) {
    OpenWindowedDisplay("Class Kestrel Factor");
    HWND window = Win32MainWindow();
    const SIZE client = ClientSize();
    RECT outer;
    GetWindowRect(window, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    const int scale = client.cx / kWidth;
    EXPECT_EQ(client.cx, kWidth * scale);
    EXPECT_EQ(client.cy, kHeight * scale);
    if (scale > 1) {
        EXPECT_GE(outer.left, work.left);
        EXPECT_GE(outer.top, work.top);
        EXPECT_LE(outer.right, work.right);
        EXPECT_LE(outer.bottom, work.bottom);
    }
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    EXPECT_TRUE(outerWidth + kWidth > work.right - work.left ||
                outerHeight + kHeight > work.bottom - work.top)
        << "a " << scale + 1 << "x window would have fitted";
    // Centred in the work area.
    EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1);
    Win32ReleaseDisplay();
}

// Dragging an edge snaps the window to the nearest whole factor of the side dragged; the
// opposite edge stays where it was.
TEST_F(Win32PlatformTest, DraggingAnEdgeSnapsToWholeFactors) {
    OpenWindowedDisplay("Class Kestrel Drag");
    auto [window, outer, client, frameWidth, frameHeight] = MeasureWindow();
    // The right edge dragged in to a third of the picture's width: 1x, the left edge stays.
    RECT drag = outer;
    drag.right = drag.left + frameWidth + kWidth / 3;
    EXPECT_TRUE(SendMessageW(window, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&drag)));
    EXPECT_EQ(drag.left, outer.left);
    EXPECT_EQ(drag.top, outer.top);
    EXPECT_EQ(drag.right - drag.left, kWidth + frameWidth);
    EXPECT_EQ(drag.bottom - drag.top, kHeight + frameHeight);
    // The top-left corner dragged out to 1.6 of the picture's height: 2x, the bottom-right
    // corner stays.
    drag = outer;
    drag.top = drag.bottom - frameHeight - kHeight * 16 / 10;
    EXPECT_TRUE(SendMessageW(window, WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&drag)));
    EXPECT_EQ(drag.right, outer.right);
    EXPECT_EQ(drag.bottom, outer.bottom);
    EXPECT_EQ(drag.right - drag.left, 2 * kWidth + frameWidth);
    EXPECT_EQ(drag.bottom - drag.top, 2 * kHeight + frameHeight);
    // The system never lets the window be dragged smaller than the picture.
    MINMAXINFO limits{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, kWidth + frameWidth);
    EXPECT_EQ(limits.ptMinTrackSize.y, kHeight + frameHeight);
    Win32ReleaseDisplay();
}

// A monitor of another DPI: the window keeps its size in proportion, where the system suggests.
TEST_F(Win32PlatformTest, AnotherDpiScalesTheWindowInProportion) {
    OpenWindowedDisplay("Class Kestrel Dpi");
    HWND window = Win32MainWindow();
    const int scale = ClientSize().cx / kWidth;
    HDC desktop = GetDC(nullptr);
    const UINT dpi = static_cast<UINT>(GetDeviceCaps(desktop, LOGPIXELSX));
    ReleaseDC(nullptr, desktop);
    // Half the DPI: half the factor, never below 1; at the suggested place.
    RECT suggested{40, 30, 40 + 400, 30 + 300};
    SendMessageW(window, 0x02E0, MAKEWPARAM(dpi / 2, dpi / 2),
                 reinterpret_cast<LPARAM>(&suggested));
    const int half = (scale + 1) / 2;
    EXPECT_EQ(ClientSize().cx, kWidth * half);
    EXPECT_EQ(ClientSize().cy, kHeight * half);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 40);
    EXPECT_EQ(outer.top, 30);
    // Back to the first DPI: twice that, as far as the work area allows.
    SendMessageW(window, 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ClientSize().cx, kWidth * std::min(2 * half, scale));
    // The picture follows: stretched to the new factor.
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    const SIZE client = ClientSize();
    const ScreenReader screen;
    screen.WaitFor(client.cx / 4, client.cy / 4);
    EXPECT_LE(Distance(screen.At(client.cx / 4, client.cy * 3 / 4), kQuadrants[2].seen),
              kTolerance);
    EXPECT_LE(Distance(screen.At(client.cx - 1, client.cy - 1), kQuadrants[3].seen), kTolerance);
    Win32ReleaseDisplay();
}

// A window the player made larger than it has ever been shows the whole picture at its new
// factor, up to its far corner.
TEST_F(Win32PlatformTest, AWindowMadeLargerShowsTheWholeLargerPicture) {
    OpenWindowedDisplay("Class Kestrel Larger");
    auto [window, outer, opened, frameWidth, frameHeight] = MeasureWindow();
    // Down to 1x first, as the player may have left it.
    SetWindowPos(window, nullptr, 0, 0, kWidth + frameWidth, kHeight + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    TakeMessages();
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    // Then larger than it opened: a client area holding the next factor, or more of this one.
    const SIZE larger{opened.cx + kWidth / 4, opened.cy + kHeight / 4};
    SetWindowPos(window, nullptr, 0, 0, larger.cx + frameWidth, larger.cy + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    TakeMessages();
    ASSERT_EQ(ClientSize().cx, larger.cx);
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    const int scale = std::min(larger.cx / kWidth, larger.cy / kHeight);
    const int left = (larger.cx - kWidth * scale) / 2, top = (larger.cy - kHeight * scale) / 2;
    const ScreenReader screen;
    screen.WaitFor(left + kWidth * scale - 1, top + kHeight * scale - 1);
    EXPECT_LE(Distance(screen.At(left, top), kQuadrants[0].seen), kTolerance);
    EXPECT_LE(Distance(screen.At(left + kWidth * scale - 1, top + kHeight * scale - 1),
                       kQuadrants[3].seen),
              kTolerance);
    Win32ReleaseDisplay();
}

// The mouse reaches the frame in the picture's pixels, however large the window shows it.
TEST_F(Win32PlatformTest, TheMouseIsInThePicturesPixelsInAScaledWindow) {
    OpenWindowedDisplay("Class Kestrel Mouse");
    HWND window = Win32MainWindow();
    const int scale = ClientSize().cx / kWidth;
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(100 * scale + scale - 1, 200 * scale));
    PlatformMessage m{};
    bool seen = false;
    while (PlatformPeekMessage(&m))
        if (m.type == MsgMouseMove) {
            seen = true;
            EXPECT_EQ(m.x, 100);
            EXPECT_EQ(m.y, 200);
        }
    EXPECT_TRUE(seen);
    Win32ReleaseDisplay();
}

// Alt+Enter: full screen and back gives the window the factor it had, where it still fits.
TEST_F(Win32PlatformTest, FullScreenAndBackKeepsTheWindowsFactor) {
    OpenWindowedDisplay("Class Kestrel Toggle");
    auto [window, outer, opened, frameWidth, frameHeight] = MeasureWindow();
    // The player drags it down to 1x.
    RECT drag = outer;
    drag.right = drag.left + frameWidth + kWidth;
    drag.bottom = drag.top + frameHeight + kHeight;
    SendMessageW(window, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&drag));
    SetWindowPos(window, nullptr, drag.left, drag.top, drag.right - drag.left,
                 drag.bottom - drag.top, SWP_NOZORDER | SWP_NOACTIVATE);
    TakeMessages();
    ASSERT_EQ(ClientSize().cx, kWidth);
    // The full-screen shape, then the window again: 1x, not the largest factor.
    Win32ShapeWindow(true, kWidth, kHeight);
    TakeMessages();
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, 0);
    Win32ShapeWindow(false, kWidth, kHeight);
    TakeMessages();
    EXPECT_NE(GetWindowLongPtrW(window, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(ClientSize().cx, kWidth);
    EXPECT_EQ(ClientSize().cy, kHeight);
    Win32ReleaseDisplay();
}

// A client area the picture does not fill (a size the system imposed): the largest whole
// picture, centred, black around it.
TEST_F(Win32PlatformTest, AnUnsnappedWindowShowsBlackBars) {
    OpenWindowedDisplay("Class Kestrel Bars");
    auto [window, outer, snapped, frameWidth, frameHeight] = MeasureWindow();
    SetWindowPos(window, nullptr, 0, 0, kWidth + 100 + frameWidth, kHeight + 60 + frameHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    TakeMessages();
    ASSERT_EQ(ClientSize().cx, kWidth + 100);
    ASSERT_TRUE(PlatformPresent(g_picture, kPitchPixels * 2, kWidth, kHeight));
    const ScreenReader screen;
    screen.WaitFor(50 + kWidth / 4, 30 + kHeight / 4);
    EXPECT_LE(Distance(screen.At(50 + kWidth / 4, 30 + kHeight / 4), kQuadrants[0].seen),
              kTolerance);
    EXPECT_LE(Distance(screen.At(50, 30), kQuadrants[0].seen), kTolerance);
    EXPECT_EQ(screen.At(49, 30 + kHeight / 4), RGB(0, 0, 0));
    EXPECT_EQ(screen.At(50 + kWidth / 4, 29), RGB(0, 0, 0));
    EXPECT_EQ(screen.At(50 + kWidth, 30 + kHeight / 4), RGB(0, 0, 0));
    EXPECT_EQ(screen.At(50 + kWidth / 4, 30 + kHeight), RGB(0, 0, 0));
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
